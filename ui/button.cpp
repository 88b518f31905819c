#include "ui/button.h"

#include <algorithm>
#include <string_view>

#include "text/display_text.h"

namespace akkusim {

namespace {

// Button geometry is unsigned; drawing clips anything beyond int32 anyway.
int32_t coord(int64_t value) {
  return static_cast<int32_t>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
}

bool pointerIn(const MouseReading& mouse, int64_t x, int64_t y, int64_t w, int64_t h,
               ButtonFilter wanted) {
  if (!mouse.inside) return false;
  if (wanted == ButtonFilter::LeftAlone && mouse.buttons != MouseButtons{.left = true}) {
    return false;
  }
  return x < mouse.x && mouse.x < x + w && y < mouse.y && mouse.y < y + h;
}

}  // namespace

Button makeButton(uint32_t x, uint32_t y, uint32_t width, uint32_t height, std::string label) {
  Button button;
  button.x = x;
  button.y = y;
  button.width = width;
  button.height = height;
  button.label = std::move(label);
  return button;
}

void drawButton(Screen& screen, const Button& button) {
  const uint32_t frame = button.active ? button.frameActive : button.frameInactive;
  const uint32_t fill = button.active ? button.fillActive : button.fillInactive;
  const uint32_t text = button.active ? button.textActive : button.textInactive;
  const std::string display = toDisplayText(button.label);
  const std::string_view shown =
      std::string_view(display).substr(0, std::min<std::size_t>(display.size(), button.width / 8));
  const int64_t x = button.x;
  const int64_t y = button.y;
  const int64_t w = button.width;
  const int64_t h = button.height;
  drawBox(screen.window, coord(x), coord(y), coord(x + w), coord(y + h), frame);
  fillBox(screen.window, coord(x + 2), coord(y + 2), coord(x + w - 2), coord(y + h - 2), fill);
  const int64_t length = static_cast<int64_t>(shown.size());
  drawText(screen.window, coord(x + w / 2 - 4 * length + 1), coord(y + h / 2 - 3), shown, text);
}

void enableButton(Screen& screen, Button& button) {
  button.active = true;
  drawButton(screen, button);
}

void disableButton(Screen& screen, Button& button) {
  button.active = false;
  drawButton(screen, button);
}

bool mouseInRect(const MouseReading& mouse, int32_t x, int32_t y, int32_t w, int32_t h,
                 ButtonFilter wanted) {
  return pointerIn(mouse, x, y, w, h, wanted);
}

bool buttonPressed(const MouseReading& mouse, const Button& button, ButtonFilter wanted) {
  if (!button.active) return false;
  return pointerIn(mouse, int64_t{button.x} - 1, int64_t{button.y} - 1, int64_t{button.width} + 2,
                   int64_t{button.height} + 2, wanted);
}

int32_t waitForRelease(Screen& screen, MouseReading& mouse) {
  do {
    mouse = readMouse(screen);
    sleepMs(screen, 1);
  } while (anyHeld(mouse.buttons));
  return mouse.wheel;
}

}  // namespace akkusim
