#include "platform/win32/win32_paint.h"

#include <algorithm>
#include <cstddef>

namespace akkusim {

void paintScaled(HDC dc, const std::vector<Rect>& rects, const uint32_t* shown, int32_t width,
                 int scale, std::vector<uint32_t>& scratch) {
  for (const Rect& rect : rects) {
    if (rect.width <= 0 || rect.height <= 0) continue;
    scratch.resize(static_cast<std::size_t>(rect.width) * static_cast<std::size_t>(rect.height));
    for (int32_t row = 0; row < rect.height; ++row) {
      const uint32_t* from =
          shown + static_cast<std::size_t>(rect.y + row) * static_cast<std::size_t>(width) +
          static_cast<std::size_t>(rect.x);
      std::copy(from, from + rect.width,
                scratch.begin() + static_cast<std::ptrdiff_t>(row) * rect.width);
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = rect.width;
    info.bmiHeader.biHeight = -rect.height;  // top-down, as the framebuffer
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    StretchDIBits(dc, rect.x * scale, rect.y * scale, rect.width * scale, rect.height * scale, 0, 0,
                  rect.width, rect.height, scratch.data(), &info, DIB_RGB_COLORS, SRCCOPY);
  }
  GdiFlush();
}

}  // namespace akkusim
