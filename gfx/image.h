#pragma once
// Off-screen pixel rectangles and the window's framebuffer alike.

#include <cstdint>
#include <optional>
#include <vector>

namespace akkusim {

struct Image {
  int32_t width = 0;
  int32_t height = 0;
  std::vector<uint32_t> pixels;  // row-major, 0x00RRGGBB
  uint64_t version = 0;          // grows with every change, so presents can skip clean frames
};

// No image when width or height is below 1. Without a fill colour the
// content is unspecified (callers fill it by a grab).
std::optional<Image> createImage(int32_t width, int32_t height,
                                 std::optional<uint32_t> fill = std::nullopt);
void destroyImage(Image& image);

// 0 for coordinates outside the image (tests and tools only).
uint32_t pixelAt(const Image& image, int32_t x, int32_t y);

}  // namespace akkusim
