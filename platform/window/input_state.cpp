#include "platform/window/input_state.h"

namespace akkusim {

void releaseAll(InputState& input) {
  input.buttons = 0;
  input.pressedSinceRead = 0;
  input.down.fill(false);
}

MouseReading readPointer(InputState& input, int32_t width, int32_t height) {
  const int32_t pressed = input.pressedSinceRead;
  input.pressedSinceRead = 0;
  if (!input.inside || !input.focused || input.x < 0 || input.y < 0 || input.x >= width ||
      input.y >= height) {
    return MouseReading{};
  }
  return MouseReading{true, input.x, input.y, input.wheel,
                      mouseButtonsFromBits(input.buttons | pressed)};
}

}  // namespace akkusim
