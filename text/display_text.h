#pragma once
// Conversion of UTF-8 texts into the bytes of the 8 x 8 font (code page 437).

#include <array>
#include <string>
#include <string_view>

namespace akkusim {

struct Replacement {
  std::string_view utf8;
  char displayByte;
};

using ReplacementTable = std::array<Replacement, 22>;

const ReplacementTable& replacementTable();

inline constexpr char kUnknownDisplayByte = static_cast<char>(0xA8);

std::string toDisplayText(std::string_view text);

}  // namespace akkusim
