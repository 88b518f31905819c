#pragma once
// The 8 x 8 font with the 256 glyphs of code page 437; bit 7 of a row byte is
// the leftmost pixel.

#include <array>
#include <cstdint>

namespace akkusim {

extern const std::array<std::array<uint8_t, 8>, 256> kFont8x8;

}  // namespace akkusim
