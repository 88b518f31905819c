#include "gfx/image.h"

namespace akkusim {

namespace {

// Larger requests come only from corrupt sizes; refusing them keeps an
// allocation failure from ever throwing out of a drawing call.
constexpr int64_t kMaxImagePixels = int64_t{1} << 26;

}  // namespace

std::optional<Image> createImage(int32_t width, int32_t height, std::optional<uint32_t> fill) {
  if (width < 1 || height < 1) return std::nullopt;
  const int64_t count = int64_t{width} * height;
  if (count > kMaxImagePixels) return std::nullopt;
  Image image;
  image.width = width;
  image.height = height;
  image.pixels.assign(static_cast<std::size_t>(count), fill.value_or(0));
  image.version = 1;
  return image;
}

void destroyImage(Image& image) {
  image.pixels.clear();
  image.pixels.shrink_to_fit();
  image.width = 0;
  image.height = 0;
  ++image.version;
}

uint32_t pixelAt(const Image& image, int32_t x, int32_t y) {
  if (x < 0 || y < 0 || x >= image.width || y >= image.height) return 0;
  return image.pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(image.width) +
                      static_cast<std::size_t>(x)];
}

}  // namespace akkusim
