#pragma once
// Checks that a text stands in an image exactly as the 8 x 8 font draws it.

#include <gtest/gtest.h>

#include <cstdint>
#include <string_view>

#include "gfx/image.h"

namespace akkusim {

// Every cell of `text` from (x, y) on, 8 pixels apart: the glyph's pixels in
// `ink` and all other pixels of the cell in `paper`.
::testing::AssertionResult textAt(const Image& image, int32_t x, int32_t y, std::string_view text,
                                  uint32_t ink, uint32_t paper);
// True if any pixel of the rectangle (both corners included) has `colour`.
bool anyPixel(const Image& image, int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t colour);
// True if every pixel of the rectangle (both corners included) has `colour`.
bool allPixels(const Image& image, int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t colour);

}  // namespace akkusim
