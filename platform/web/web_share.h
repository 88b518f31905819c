#pragma once
// The program of the link the page was opened with (its address's
// fragment, decoded by the page's share.js).

#include <optional>
#include <string>
#include <string_view>

namespace akkusim {

// The link's text; nothing when the page was opened without a program in
// its address, or the page has already said why the link shows nothing.
// Waits for the page to decode it.
std::optional<std::string> takeSharedLinkText();

// Tells the page the link's program is in the listing (`failure` empty), or
// why it is not.
void reportSharedLink(std::string_view failure);

}  // namespace akkusim
