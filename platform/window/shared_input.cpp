#include "platform/window/shared_input.h"

#include <cstddef>

namespace akkusim {

MouseReading readMouse(SharedInput& input, int32_t width, int32_t height) {
  std::lock_guard guard(input.lock);
  return readPointer(input.state, width, height);
}

std::optional<Key> readKey(SharedInput& input) {
  std::lock_guard guard(input.lock);
  return popKey(input.state.keys);
}

bool isKeyDown(SharedInput& input, int32_t scancode) {
  if (scancode < 0 || static_cast<std::size_t>(scancode) >= input.state.down.size()) return false;
  std::lock_guard guard(input.lock);
  return input.state.down[static_cast<std::size_t>(scancode)];
}

}  // namespace akkusim
