#include "text/utf8.h"

namespace akkusim {

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

// Starts a character at a lead byte; false for a byte that cannot lead one.
bool startCharacter(Utf8Decoder& d, unsigned char lead) {
  d.lowest = 0x80;
  d.highest = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    d.missing = 1;
    d.value = lead & 0x1Fu;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    d.missing = 2;
    d.value = lead & 0x0Fu;
    if (lead == 0xE0) d.lowest = 0xA0;   // overlong otherwise
    if (lead == 0xED) d.highest = 0x9F;  // surrogates otherwise
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    d.missing = 3;
    d.value = lead & 0x07u;
    if (lead == 0xF0) d.lowest = 0x90;   // overlong otherwise
    if (lead == 0xF4) d.highest = 0x8F;  // past U+10FFFF otherwise
  } else {
    return false;
  }
  return true;
}

// The length of the valid character at the start of `text`, 0 for none.
std::size_t validCharacterLength(std::string_view text) {
  Utf8Decoder decoder;
  char32_t character = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const Utf8Step step = feedUtf8(decoder, static_cast<unsigned char>(text[i]), character);
    if (step == Utf8Step::Character) return i + 1;
    if (step == Utf8Step::Invalid) return 0;
  }
  return 0;
}

}  // namespace

Utf8Step feedUtf8(Utf8Decoder& d, unsigned char byte, char32_t& character) {
  if (d.missing == 0) {
    if (byte < 0x80) {
      character = byte;
      return Utf8Step::Character;
    }
    return startCharacter(d, byte) ? Utf8Step::Pending : Utf8Step::Invalid;
  }
  if (byte < d.lowest || byte > d.highest) {
    d = Utf8Decoder{};
    return Utf8Step::Invalid;
  }
  d.value = (d.value << 6) | (byte & 0x3Fu);
  d.lowest = 0x80;
  d.highest = 0xBF;
  if (--d.missing > 0) return Utf8Step::Pending;
  character = d.value;
  return Utf8Step::Character;
}

std::string validUtf8(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && static_cast<unsigned char>(text[i]) < 0x80) ++i;
  if (i == text.size()) return std::string(text);
  std::string valid(text.substr(0, i));
  while (i < text.size()) {
    const std::size_t length = validCharacterLength(text.substr(i));
    if (length == 0) {
      valid += kReplacement;
      ++i;
    } else {
      valid += text.substr(i, length);
      i += length;
    }
  }
  return valid;
}

}  // namespace akkusim
