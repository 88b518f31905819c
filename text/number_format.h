#pragma once
// Right-aligned decimal fields written into a caller's buffer, for the
// drawing code that formats thousands of numbers per frame.

#include <cstdint>
#include <string>
#include <string_view>

namespace akkusim {

// Room for any int32 (11 characters) in any width up to 16.
struct NumberField {
  char text[17];
};

// The value right-aligned in `width` characters ("-" for negatives), or
// `width` "#" characters when it does not fit. Width is capped at 16.
inline std::string_view formatNumberInto(NumberField& field, int32_t value, int32_t width) {
  if (width <= 0) return {};
  if (width > 16) width = 16;
  char digits[12];
  int32_t count = 0;
  int64_t magnitude = value < 0 ? -static_cast<int64_t>(value) : value;
  do {
    digits[count++] = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude > 0);
  if (value < 0) digits[count++] = '-';
  const auto size = static_cast<std::size_t>(width);
  if (count > width) {
    for (std::size_t i = 0; i < size; ++i) field.text[i] = '#';
    return {field.text, size};
  }
  std::size_t pos = 0;
  for (int32_t pad = width - count; pad > 0; --pad) field.text[pos++] = ' ';
  while (count > 0) field.text[pos++] = digits[--count];
  return {field.text, size};
}

// The same as a string, for the occasional caller.
inline std::string formatNumber(int32_t value, int32_t width) {
  NumberField field;
  return std::string(formatNumberInto(field, value, width));
}

}  // namespace akkusim
