#include "text/display_text.h"

#include <cstddef>

namespace {

constexpr char b(unsigned value) {
  return static_cast<char>(value);
}

// The letters the font has glyphs for, in the order they are tried.
constexpr ReplacementTable kReplacements{{
    {"\xC3\xA4", b(0x84)},  // ä
    {"\xC3\xB6", b(0x94)},  // ö
    {"\xC3\xBC", b(0x81)},  // ü
    {"\xC3\x84", b(0x8E)},  // Ä
    {"\xC3\x96", b(0x99)},  // Ö
    {"\xC3\x9C", b(0x9A)},  // Ü
    {"\xC3\x9F", b(0xE1)},  // ß
    {"\xC3\xA1", b(0xA0)},  // á
    {"\xC3\xA0", b(0x85)},  // à
    {"\xC3\xA2", b(0x83)},  // â
    {"\xC3\xA9", b(0x82)},  // é
    {"\xC3\xA8", b(0x8A)},  // è
    {"\xC3\xAA", b(0x88)},  // ê
    {"\xC3\xAD", b(0xA1)},  // í
    {"\xC3\xAC", b(0x8D)},  // ì
    {"\xC3\xAE", b(0x8C)},  // î
    {"\xC3\xB3", b(0xA2)},  // ó
    {"\xC3\xB2", b(0x95)},  // ò
    {"\xC3\xB4", b(0x93)},  // ô
    {"\xC3\xBA", b(0xA3)},  // ú
    {"\xC3\xB9", b(0x97)},  // ù
    {"\xC3\xBB", b(0x96)},  // û
}};

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
