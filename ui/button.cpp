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

bool pointerIn(const MouseState& mouse, int64_t x, int64_t y, int64_t w, int64_t h,
               int32_t wanted) {
  if (mouse.result != 0) return false;
  if (wanted != -1 && wanted != mouse.buttons) return false;
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

void pollMouse(Screen& screen, MouseState& mouse) {
  const MouseReading reading = readMouse(screen);
  mouse.result = reading.status;
  if (reading.status != 0) {
    mouse.x = mouse.y = mouse.wheel = mouse.buttons = -1;
    return;
  }
  mouse.x = reading.x;
  mouse.y = reading.y;
  mouse.wheel = reading.wheel;
  mouse.buttons = reading.buttons;
}

bool mouseInRect(const MouseState& mouse, int32_t x, int32_t y, int32_t w, int32_t h,
                 int32_t wanted) {
  return pointerIn(mouse, x, y, w, h, wanted);
}

bool buttonPressed(const MouseState& mouse, const Button& button, int32_t wanted) {
  if (!button.active) return false;
  return pointerIn(mouse, int64_t{button.x} - 1, int64_t{button.y} - 1, int64_t{button.width} + 2,
                   int64_t{button.height} + 2, wanted);
}

int32_t waitForRelease(Screen& screen, MouseState& mouse) {
  do {
    pollMouse(screen, mouse);
    sleepMs(screen, 1);
  } while (mouse.buttons >= 1);
  return mouse.wheel;
}

}  // namespace akkusim
