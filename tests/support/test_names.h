#pragma once
// Names of parameterised test cases: gtest accepts only letters, digits and
// "_", and a name that says which case failed beats a byte dump of it.

#include <string>
#include <string_view>

inline std::string testNameOf(std::string_view text) {
  std::string name;
  for (const char c : text) {
    // ASCII only, whatever the locale says a letter is.
    const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
    name += plain ? c : '_';
  }
  return name.empty() ? std::string("_") : name;
}
