#include "ui/scroll_view.h"

#include <algorithm>

namespace akkusim {

namespace {

// Moves one offset and keeps it within the content.
int32_t scrolled(int32_t offset, int32_t delta, int32_t visible, int32_t content) {
  int64_t result = offset;
  if (content >= visible) result += delta;
  if (result < 0) result = 0;
  if (int64_t{visible} + result > content)
    result = std::max<int64_t>(int64_t{content} - visible, 0);
  return static_cast<int32_t>(result);  // between 0 and content
}

}  // namespace

ScrollView makeScrollView(Rect bounds, int32_t contentWidth, int32_t contentHeight,
                          bool wholeContentImage, uint32_t background) {
  ScrollView view;
  view.bounds = bounds;
  view.contentWidth = contentWidth > 0 ? contentWidth : bounds.width;
  view.contentHeight = contentHeight > 0 ? contentHeight : bounds.height;
  view.background = background;
  view.wholeContentImage = wholeContentImage;
  const int32_t imageWidth = wholeContentImage ? view.contentWidth : bounds.width;
  const int32_t imageHeight = wholeContentImage ? view.contentHeight : bounds.height;
  // A view of size 0 (or an impossible content size) keeps an empty image,
  // which draws and shows as nothing.
  if (std::optional<Image> image = createImage(imageWidth, imageHeight, background)) {
    view.image = std::move(*image);
  }
  return view;
}

void scrollBy(ScrollView& view, int32_t dx, int32_t dy) {
  view.scrollX = scrolled(view.scrollX, dx, view.bounds.width, view.contentWidth);
  view.scrollY = scrolled(view.scrollY, dy, view.bounds.height, view.contentHeight);
}

void showView(Screen& screen, const ScrollView& view, bool frame, bool scrollBar) {
  const Rect& box = view.bounds;
  const int32_t last = lastColumn(box);
  const int32_t lowest = lastRow(box);
  if (view.wholeContentImage) {
    putImageRegion(screen.window, box.x, box.y, view.image, view.scrollX, view.scrollY,
                   box.width - 1, box.height - 1);
  } else {
    putImage(screen.window, box.x, box.y, view.image);
  }
  if (scrollBar) {
    fillBox(screen.window, last - 3, box.y, last, lowest, kWhite);
    if (view.contentHeight > 0 && view.contentHeight > box.height) {
      drawBox(screen.window, last - 4, box.y, last, lowest, kBlack);
      const double content = view.contentHeight;
      const double h = box.height;
      const double top = static_cast<double>(box.y) + view.scrollY * h / content + 1;
      const double length = h * h / content - 2;
      fillBox(screen.window, last - 3, roundPixel(top), last - 1, roundPixel(top + length), kGrey);
    }
  }
  if (frame) drawBox(screen.window, box.x, box.y, last, lowest, screen.foreground);
}

void destroyScrollView(ScrollView& view) {
  destroyImage(view.image);
}

bool buttonPressed(const MouseReading& mouse, const ScrollView& view, ButtonFilter wanted) {
  if (!view.active) return false;
  return mouseInRect(mouse, grown(view.bounds, 1), wanted);
}

}  // namespace akkusim
