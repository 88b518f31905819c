#pragma once
// How many screen pixels a framebuffer pixel takes.

#include <cstdint>

namespace akkusim {

inline constexpr int kMaxScale = 4;

// The largest whole scale, 1 to kMaxScale, at which a window of
// `width` x `height` pixels plus its frame fits the display's usable area;
// 1 when not even that fits.
int chooseScale(int32_t usableWidth, int32_t usableHeight, int32_t width, int32_t height,
                int32_t frameWidth, int32_t frameHeight);

// A window coordinate back to a framebuffer coordinate; left of or above the
// window stays negative.
constexpr int32_t unscaled(int32_t value, int scale) {
  return value >= 0 ? value / scale : -1 - (-1 - value) / scale;
}

}  // namespace akkusim
