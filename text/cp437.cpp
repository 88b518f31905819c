#include "text/cp437.h"

namespace akkusim {

namespace cp437_detail {

char32_t decodeUtf8(std::string_view text, std::size_t& i) {
  constexpr char32_t kBad = 0xFFFFFFFF;
  const auto lead = static_cast<unsigned char>(text[i++]);
  if (lead < 0x80) return lead;
  int extra = 0;
  char32_t value = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    extra = 1;
    value = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    extra = 2;
    value = lead & 0x0F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    extra = 3;
    value = lead & 0x07;
  } else {
    return kBad;
  }
  for (int k = 0; k < extra; ++k) {
    if (i >= text.size()) return kBad;
    const auto next = static_cast<unsigned char>(text[i]);
    if ((next & 0xC0) != 0x80) return kBad;  // left for the next character
    value = (value << 6) | (next & 0x3F);
    ++i;
  }
  return value;
}

}  // namespace cp437_detail

std::string utf8FromCp437(std::string_view bytes) {
  std::string utf8;
  utf8.reserve(bytes.size());
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x80) {
      utf8 += c;
      continue;
    }
    const char32_t code = kCp437UpperHalf[byte - 0x80];
    if (code < 0x800) {
      utf8 += static_cast<char>(0xC0 | (code >> 6));
    } else {
      utf8 += static_cast<char>(0xE0 | (code >> 12));
      utf8 += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    }
    utf8 += static_cast<char>(0x80 | (code & 0x3F));
  }
  return utf8;
}

}  // namespace akkusim
