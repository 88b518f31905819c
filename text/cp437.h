#pragma once
// Typed characters into the font's character set (code page 437).

#include <cstdint>
#include <string_view>

// The byte of a typed Unicode character: itself for printable ASCII, its
// code page 437 byte for the upper half (0xE4 "ä" -> 132), -1 otherwise.
int cp437ByteOf(char32_t codePoint);

// Calls `emit` with the code page 437 byte of every character of a UTF-8
// text; characters outside code page 437 and malformed bytes are dropped.
template <typename Emit>
void forEachCp437Byte(std::string_view utf8, Emit emit);

namespace cp437_detail {
// Decodes one UTF-8 sequence at `text[i]`, advancing `i`; 0xFFFFFFFF for a
// malformed one.
char32_t decodeUtf8(std::string_view text, std::size_t& i);
}  // namespace cp437_detail

template <typename Emit>
void forEachCp437Byte(std::string_view utf8, Emit emit) {
  std::size_t i = 0;
  while (i < utf8.size()) {
    const int byte = cp437ByteOf(cp437_detail::decodeUtf8(utf8, i));
    if (byte >= 0) emit(static_cast<char>(byte));
  }
}
