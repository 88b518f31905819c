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

bool mouseInRect(const MouseReading& mouse, const Rect& rect, ButtonFilter wanted) {
  if (!mouse.inside) return false;
  if (wanted == ButtonFilter::LeftAlone && mouse.buttons != MouseButtons{.left = true}) {
    return false;
  }
  return contains(rect, mouse.x, mouse.y);
}

bool buttonPressed(const MouseReading& mouse, const Button& button, ButtonFilter wanted) {
  if (!button.active) return false;
  return mouseInRect(mouse, grown(button.bounds, 1), wanted);
}

int32_t waitForRelease(Screen& screen, MouseReading& mouse) {
  do {
    mouse = readMouse(screen);
    sleepMs(screen, 1);
  } while (anyHeld(mouse.buttons));
  return mouse.wheel;
}

}  // namespace akkusim
