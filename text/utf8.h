#pragma once
// Strict UTF-8: which bytes form a character, and text made valid for
// output that must be UTF-8 (JSON, a terminal) whatever bytes it came with.

#include <cstdint>
#include <string>
#include <string_view>

namespace akkusim {

// Decodes a byte stream one byte at a time, across chunk boundaries. Strict:
// no overlong forms, no surrogates, nothing above U+10FFFF.
struct Utf8Decoder {
  char32_t value = 0;
  int missing = 0;              // continuation bytes still to come
  unsigned char lowest = 0x80;  // range of the next continuation byte
  unsigned char highest = 0xBF;
};

enum class Utf8Step { Pending, Character, Invalid };

// `character` is set for Utf8Step::Character. After Invalid the decoder
// starts afresh with the next byte.
Utf8Step feedUtf8(Utf8Decoder& decoder, unsigned char byte, char32_t& character);

// The text unchanged when it is valid UTF-8; otherwise every byte that is not
// part of a valid character becomes U+FFFD, the replacement character.
std::string validUtf8(std::string_view text);

}  // namespace akkusim
