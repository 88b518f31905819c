#pragma once
// Text put into the JSON the command line prints.

#include <string>
#include <string_view>

namespace akkusim {

// A JSON string literal of UTF-8 text, quotes and control bytes escaped.
// Bytes that are no valid UTF-8 (a Latin-1 file name) become U+FFFD, so
// that one such name cannot make the whole document invalid.
std::string jsonString(std::string_view text);

}  // namespace akkusim
