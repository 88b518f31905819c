#pragma once
// Unicode characters into the font's character set (code page 437).

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace akkusim {

// The one table of the font's character set: the Unicode character of each
// byte of code page 437's upper half, 128..255.
inline constexpr std::array<char32_t, 128> kCp437UpperHalf = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7, 0x00EA, 0x00EB, 0x00E8, 0x00EF,
    0x00EE, 0x00EC, 0x00C4, 0x00C5, 0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9,
    0x00FF, 0x00D6, 0x00DC, 0x00A2, 0x00A3, 0x00A5, 0x20A7, 0x0192, 0x00E1, 0x00ED, 0x00F3, 0x00FA,
    0x00F1, 0x00D1, 0x00AA, 0x00BA, 0x00BF, 0x2310, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB,
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x2561, 0x2562, 0x2556, 0x2555, 0x2563, 0x2551, 0x2557,
    0x255D, 0x255C, 0x255B, 0x2510, 0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x255E, 0x255F,
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x2567, 0x2568, 0x2564, 0x2565, 0x2559,
    0x2558, 0x2552, 0x2553, 0x256B, 0x256A, 0x2518, 0x250C, 0x2588, 0x2584, 0x258C, 0x2590, 0x2580,
    0x03B1, 0x00DF, 0x0393, 0x03C0, 0x03A3, 0x03C3, 0x00B5, 0x03C4, 0x03A6, 0x0398, 0x03A9, 0x03B4,
    0x221E, 0x03C6, 0x03B5, 0x2229, 0x2261, 0x00B1, 0x2265, 0x2264, 0x2320, 0x2321, 0x00F7, 0x2248,
    0x00B0, 0x2219, 0x00B7, 0x221A, 0x207F, 0x00B2, 0x25A0, 0x00A0,
};

// The byte of a Unicode character: itself for printable ASCII, its code page
// 437 byte for the upper half (0xE4 "ä" -> 132), -1 otherwise.
constexpr int cp437ByteOf(char32_t codePoint) {
  if (codePoint >= 32 && codePoint <= 126) return static_cast<int>(codePoint);
  for (std::size_t i = 0; i < kCp437UpperHalf.size(); ++i) {
    if (kCp437UpperHalf[i] == codePoint) return static_cast<int>(128 + i);
  }
  return -1;
}

// The UTF-8 of code page 437 text, for output outside the window (a program
// line in a report); bytes below 128 are kept as they are.
std::string utf8FromCp437(std::string_view bytes);

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

}  // namespace akkusim
