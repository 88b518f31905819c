#include "text/display_text.h"

#include <cstddef>

#include "text/cp437.h"

namespace akkusim {

namespace {

// The letters the font has glyphs for, in the order they are tried; every
// other character shows as kUnknownDisplayByte. Their bytes are the code
// page's, from its one table.
constexpr std::array<char32_t, 22> kLetters = {
    U'\u00E4', U'\u00F6', U'\u00FC', U'\u00C4', U'\u00D6', U'\u00DC', U'\u00DF', U'\u00E1',
    U'\u00E0', U'\u00E2', U'\u00E9', U'\u00E8', U'\u00EA', U'\u00ED', U'\u00EC', U'\u00EE',
    U'\u00F3', U'\u00F2', U'\u00F4', U'\u00FA', U'\u00F9', U'\u00FB'};

using TwoBytes = std::array<char, 2>;

constexpr std::array<TwoBytes, kLetters.size()> kLettersUtf8 = [] {
  std::array<TwoBytes, kLetters.size()> bytes{};
  for (std::size_t i = 0; i < kLetters.size(); ++i) {
    bytes[i] = {static_cast<char>(0xC0 | (kLetters[i] >> 6)),
                static_cast<char>(0x80 | (kLetters[i] & 0x3F))};
  }
  return bytes;
}();

constexpr ReplacementTable kReplacements = [] {
  ReplacementTable table{};
  for (std::size_t i = 0; i < kLetters.size(); ++i) {
    table[i] = {std::string_view(kLettersUtf8[i].data(), 2),
                static_cast<char>(cp437ByteOf(kLetters[i]))};
  }
  return table;
}();

static_assert(
    [] {
      for (const char32_t letter : kLetters) {
        if (letter < 0x80 || letter >= 0x800 || cp437ByteOf(letter) < 128) return false;
      }
      return true;
    }(),
    "two-byte letters of the code page's upper half only");

// Length of the sequence a lead byte announces; 0 for bytes that cannot
// begin a character (continuation bytes and 0xF8..0xFF).
std::size_t sequenceLength(unsigned char lead) {
  if (lead < 0x80) return 1;
  if (lead < 0xC0) return 0;
  if (lead < 0xE0) return 2;
  if (lead < 0xF0) return 3;
  if (lead < 0xF8) return 4;
  return 0;
}

}  // namespace

const ReplacementTable& replacementTable() {
  return kReplacements;
}

std::string toDisplayText(std::string_view text) {
  std::string shown;
  shown.reserve(text.size());
  std::size_t p = 0;
  while (p < text.size()) {
    const std::size_t n = sequenceLength(static_cast<unsigned char>(text[p]));
    if (n == 1) {
      shown.push_back(text[p]);
      ++p;
      continue;
    }
    if (n == 0) {
      ++p;  // dropped: it cannot start a character
      continue;
    }
    const std::string_view sequence = text.substr(p, n);  // shorter at the end of the text
    char replacement = kUnknownDisplayByte;
    std::size_t consumed = 1;  // an unknown character leaves its continuation bytes behind
    for (const Replacement& row : kReplacements) {
      if (row.utf8 == sequence) {
        replacement = row.displayByte;
        consumed = n;
        break;
      }
    }
    shown.push_back(replacement);
    p += consumed;
  }
  return shown;
}

}  // namespace akkusim
