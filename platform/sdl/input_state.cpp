#include "platform/sdl/input_state.h"

namespace akkusim {

void pushKey(InputState& input, Key key) {
  if (input.keyCount == input.keys.size()) {
    input.keyStart = (input.keyStart + 1) % input.keys.size();
    --input.keyCount;
  }
  input.keys[(input.keyStart + input.keyCount) % input.keys.size()] = key;
  ++input.keyCount;
}

std::optional<Key> popKey(InputState& input) {
  if (input.keyCount == 0) return std::nullopt;
  const Key key = input.keys[input.keyStart];
  input.keyStart = (input.keyStart + 1) % input.keys.size();
  --input.keyCount;
  return key;
}

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
  return MouseReading{input.x, input.y, input.wheel, input.buttons | pressed, 0};
}

}  // namespace akkusim
