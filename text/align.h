#pragma once
// Right-aligned text columns, for the register panel and the command line's
// reports, which show the same fields.

#include <cstddef>
#include <string>
#include <string_view>

namespace akkusim {

// What a text longer than its field does: the panel's fixed cells keep the
// end (the digits that matter); a printed column just grows.
enum class Overflow { KeepEnd, Widen };

// `text` padded with spaces on the left to `width` characters (bytes).
inline std::string alignRight(std::string_view text, std::size_t width,
                              Overflow overflow = Overflow::KeepEnd) {
  if (text.size() >= width) {
    return std::string(overflow == Overflow::KeepEnd ? text.substr(text.size() - width) : text);
  }
  return std::string(width - text.size(), ' ') + std::string(text);
}

}  // namespace akkusim
