#pragma once
// Letter case of the plain ASCII letters only: mnemonics, directives and the
// editor's case rules never touch the code page's upper half.

#include <string>
#include <string_view>

namespace akkusim {

constexpr char upperAscii(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

constexpr char lowerAscii(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

inline std::string lowerAscii(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) c = lowerAscii(c);
  return lower;
}

}  // namespace akkusim
