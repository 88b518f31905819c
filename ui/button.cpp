#include "ui/button.h"

#include <algorithm>
#include <string_view>

#include "text/display_text.h"

namespace akkusim {

Button makeButton(Rect bounds, std::string label) {
  Button button;
  button.bounds = bounds;
  button.label = std::move(label);
  return button;
}

void drawButton(Screen& screen, const Button& button) {
  const uint32_t frame = button.active ? button.frameActive : button.frameInactive;
  const uint32_t fill = button.active ? button.fillActive : button.fillInactive;
  const uint32_t text = button.active ? button.textActive : button.textInactive;
  const Rect& box = button.bounds;
  // Labels are cut to the cells that fit the width.
  const auto cells = static_cast<std::size_t>(std::max(box.width / 8, 0));
  const std::string display = toDisplayText(button.label);
  const std::string_view shown =
      std::string_view(display).substr(0, std::min<std::size_t>(display.size(), cells));
  drawBox(screen.window, box.x, box.y, right(box), bottom(box), frame);
  const Rect inside = grown(box, -2);
  fillBox(screen.window, inside.x, inside.y, right(inside), bottom(inside), fill);
  const auto length = static_cast<int32_t>(shown.size());
  const Rect label = moved(box, box.width / 2 - 4 * length + 1, box.height / 2 - 3);
  drawText(screen.window, label.x, label.y, shown, text);
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

bool mouseInRect(const MouseState& mouse, const Rect& rect, int32_t wanted) {
  if (mouse.result != 0) return false;
  if (wanted != -1 && wanted != mouse.buttons) return false;
  return contains(rect, mouse.x, mouse.y);
}

bool buttonPressed(const MouseState& mouse, const Button& button, int32_t wanted) {
  if (!button.active) return false;
  return mouseInRect(mouse, grown(button.bounds, 1), wanted);
}

int32_t waitForRelease(Screen& screen, MouseState& mouse) {
  do {
    pollMouse(screen, mouse);
    sleepMs(screen, 1);
  } while (mouse.buttons >= 1);
  return mouse.wheel;
}

}  // namespace akkusim
