#include "ui/scroll_view.h"

#include <algorithm>

namespace akkusim {

namespace {

int32_t coord(int64_t value) {
  return static_cast<int32_t>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
}

int32_t size(uint32_t value) {
  return static_cast<int32_t>(std::min<uint32_t>(value, INT32_MAX));
}

// Moves one offset and keeps it within the content.
int32_t scrolled(int32_t offset, int32_t delta, int32_t visible, int32_t content) {
  int64_t result = offset;
  if (content >= visible) result += delta;
  if (result < 0) result = 0;
  if (int64_t{visible} + result > content)
    result = std::max<int64_t>(int64_t{content} - visible, 0);
  return coord(result);
}

}  // namespace

ScrollView makeScrollView(uint32_t x, uint32_t y, uint32_t width, uint32_t height,
                          int32_t contentWidth, int32_t contentHeight, bool wholeContentImage,
                          uint32_t background) {
  ScrollView view;
  view.x = x;
  view.y = y;
  view.width = width;
  view.height = height;
  view.contentWidth = contentWidth > 0 ? contentWidth : size(width);
  view.contentHeight = contentHeight > 0 ? contentHeight : size(height);
  view.background = background;
  view.wholeContentImage = wholeContentImage;
  const int32_t imageWidth = wholeContentImage ? view.contentWidth : size(width);
  const int32_t imageHeight = wholeContentImage ? view.contentHeight : size(height);
  // A view of size 0 (or an impossible content size) keeps an empty image,
  // which draws and shows as nothing.
  if (std::optional<Image> image = createImage(imageWidth, imageHeight, background)) {
    view.image = std::move(*image);
  }
  return view;
}

void scrollBy(ScrollView& view, int32_t dx, int32_t dy) {
  view.scrollX = scrolled(view.scrollX, dx, size(view.width), view.contentWidth);
  view.scrollY = scrolled(view.scrollY, dy, size(view.height), view.contentHeight);
}

void showView(Screen& screen, const ScrollView& view, bool frame, bool scrollBar) {
  const int64_t x = view.x;
  const int64_t y = view.y;
  const int64_t w = view.width;
  const int64_t h = view.height;
  if (view.wholeContentImage) {
    putImageRegion(screen.window, coord(x), coord(y), view.image, view.scrollX, view.scrollY,
                   coord(w - 1), coord(h - 1));
  } else {
    putImage(screen.window, coord(x), coord(y), view.image);
  }
  if (scrollBar) {
    fillBox(screen.window, coord(x + w - 4), coord(y), coord(x + w - 1), coord(y + h - 1), kWhite);
    if (view.contentHeight > 0 && view.contentHeight > h) {
      drawBox(screen.window, coord(x + w - 5), coord(y), coord(x + w - 1), coord(y + h - 1),
              kBlack);
      const double content = view.contentHeight;
      const double top =
          static_cast<double>(y) + view.scrollY * static_cast<double>(h) / content + 1;
      const double length = static_cast<double>(h) * static_cast<double>(h) / content - 2;
      fillBox(screen.window, coord(x + w - 4), roundPixel(top), coord(x + w - 2),
              roundPixel(top + length), kGrey);
    }
  }
  if (frame) {
    drawBox(screen.window, coord(x), coord(y), coord(x + w - 1), coord(y + h - 1),
            screen.foreground);
  }
}

void destroyScrollView(ScrollView& view) {
  destroyImage(view.image);
}

bool buttonPressed(const MouseReading& mouse, const ScrollView& view, ButtonFilter wanted) {
  if (!view.active) return false;
  return mouseInRect(mouse, coord(int64_t{view.x} - 1), coord(int64_t{view.y} - 1),
                     coord(int64_t{view.width} + 2), coord(int64_t{view.height} + 2), wanted);
}

}  // namespace akkusim
