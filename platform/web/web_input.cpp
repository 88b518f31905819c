#include "platform/web/web_input.h"

#include "gfx/screen.h"
#include "platform/web/web_keys.h"

namespace akkusim {
namespace {

int32_t buttonBit(int32_t domButton) {
  switch (domButton) {
    case 0:
      return 1;
    case 2:
      return 2;
    case 1:
      return 4;
    default:
      return 0;
  }
}

void releaseAll(WebInput& input) {
  input.buttons = 0;
  input.pressedSinceRead = 0;
  input.readHeld = false;
  input.down.fill(false);
}

bool onCanvas(const WebInput& input) {
  return input.x >= 0 && input.y >= 0 && input.x < kScreenWidth && input.y < kScreenHeight;
}

}  // namespace

void applyKeyDown(WebInput& input, std::string_view key, std::string_view code,
                  uint32_t modifiers) {
  const int32_t scancode = scancodeFromBrowserCode(code);
  if (scancode > 0) input.down[static_cast<std::size_t>(scancode)] = true;
  const std::optional<Key> queued = keyFromBrowser(key, modifiers);
  if (!queued) return;
  pushKey(input.keys, *queued);
}

void applyKeyUp(WebInput& input, std::string_view code) {
  const int32_t scancode = scancodeFromBrowserCode(code);
  if (scancode > 0) input.down[static_cast<std::size_t>(scancode)] = false;
}

void applyPointerMove(WebInput& input, int32_t x, int32_t y) {
  input.x = x;
  input.y = y;
}

void applyButton(WebInput& input, int32_t x, int32_t y, int32_t button, bool pressed) {
  applyPointerMove(input, x, y);
  const int32_t bit = buttonBit(button);
  if (pressed) {
    input.buttons |= bit;
    input.pressedSinceRead |= bit;
  } else {
    input.buttons &= ~bit;
  }
}

void applyWheel(WebInput& input, int32_t notches) {
  input.wheel += notches;
}

void applyFocus(WebInput& input, bool focused) {
  input.focused = focused;
  releaseAll(input);
}

bool waitsForReading(const WebInput& input, PointerStep step) {
  if (input.pressedSinceRead != 0) return true;
  // With a button still held no reading in between would show a release.
  return step == PointerStep::Press && input.readHeld && input.buttons == 0;
}

MouseReading readMouse(WebInput& input) {
  if (!input.focused || !onCanvas(input)) {
    input.pressedSinceRead = 0;
    input.readHeld = false;
    return MouseReading{};
  }
  const int32_t buttons = input.buttons | input.pressedSinceRead;
  input.pressedSinceRead = 0;
  input.readHeld = buttons != 0;
  return MouseReading{true, input.x, input.y, input.wheel, mouseButtonsFromBits(buttons)};
}

std::optional<Key> readKey(WebInput& input) {
  return popKey(input.keys);
}

bool isKeyDown(const WebInput& input, int32_t scancode) {
  if (scancode < 0 || scancode > 127) return false;
  return input.down[static_cast<std::size_t>(scancode)];
}

}  // namespace akkusim
