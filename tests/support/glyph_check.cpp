#include "support/glyph_check.h"

#include <iomanip>
#include <sstream>

#include "gfx/font.h"

namespace akkusim {

::testing::AssertionResult textAt(const Image& image, int32_t x, int32_t y, std::string_view text,
                                  uint32_t ink, uint32_t paper) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto& glyph = kFont8x8[static_cast<unsigned char>(text[i])];
    const int32_t cellX = x + 8 * static_cast<int32_t>(i);
    for (int32_t row = 0; row < 8; ++row) {
      for (int32_t column = 0; column < 8; ++column) {
        const bool set = (glyph[static_cast<std::size_t>(row)] >> (7 - column)) & 1;
        const uint32_t expected = set ? ink : paper;
        const uint32_t actual = pixelAt(image, cellX + column, y + row);
        if (actual != expected) {
          std::ostringstream message;
          message << "character " << i << " ('" << text[i] << "') of \"" << text << "\" at (" << x
                  << ", " << y << "): pixel (" << cellX + column << ", " << y + row << ") is 0x"
                  << std::hex << std::setw(6) << std::setfill('0') << actual << ", expected 0x"
                  << std::setw(6) << expected;
          return ::testing::AssertionFailure() << message.str();
        }
      }
    }
  }
  return ::testing::AssertionSuccess();
}

bool anyPixel(const Image& image, int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t colour) {
  for (int32_t y = y1; y <= y2; ++y) {
    for (int32_t x = x1; x <= x2; ++x) {
      if (pixelAt(image, x, y) == colour) return true;
    }
  }
  return false;
}

bool allPixels(const Image& image, int32_t x1, int32_t y1, int32_t x2, int32_t y2,
               uint32_t colour) {
  for (int32_t y = y1; y <= y2; ++y) {
    for (int32_t x = x1; x <= x2; ++x) {
      if (pixelAt(image, x, y) != colour) return false;
    }
  }
  return true;
}

}  // namespace akkusim
