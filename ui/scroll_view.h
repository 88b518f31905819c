#pragma once
// A rectangle of the window whose content lives in an off-screen image.

#include <cstdint>

#include "gfx/image.h"
#include "gfx/rect.h"
#include "gfx/screen.h"
#include "ui/button.h"

namespace akkusim {

struct ScrollView {
  Rect bounds;  // the visible part
  bool active = true;
  int32_t contentWidth = 0;
  int32_t contentHeight = 0;
  int32_t scrollX = 0;
  int32_t scrollY = 0;
  uint32_t background = 0xFFFFFF;
  bool wholeContentImage = false;
  Image image;
};

// A content size of 0 or less means the visible size.
ScrollView makeScrollView(Rect bounds, int32_t contentWidth, int32_t contentHeight,
                          bool wholeContentImage, uint32_t background);
void scrollBy(ScrollView& view, int32_t dx, int32_t dy);
void showView(Screen& screen, const ScrollView& view, bool frame, bool scrollBar);
void destroyScrollView(ScrollView& view);
// The view's rectangle tested like a button's.
bool buttonPressed(const MouseReading& mouse, const ScrollView& view, ButtonFilter wanted);

}  // namespace akkusim
