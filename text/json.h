#pragma once
// Text put into the JSON the command line prints.

#include <string>
#include <string_view>

namespace akkusim {

// A JSON string literal of UTF-8 text, quotes and control bytes escaped.
std::string jsonString(std::string_view text);

}  // namespace akkusim
