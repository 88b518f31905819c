#pragma once
// The input a window thread records and the polling thread reads, behind
// one lock: the window thread changes it as its events come, the polling
// calls take their readings from it.

#include <cstdint>
#include <mutex>
#include <optional>

#include "gfx/key.h"
#include "gfx/platform.h"
#include "platform/window/input_state.h"

namespace akkusim {

struct SharedInput {
  std::mutex lock;
  InputState state;
};

// The window thread's side: `change` gets the state under the lock, and
// what it returns is returned.
template <typename Change>
auto updateInput(SharedInput& input, Change change) {
  std::lock_guard guard(input.lock);
  return change(input.state);
}

// The polling side, for a `width` x `height` window.
MouseReading readMouse(SharedInput& input, int32_t width, int32_t height);
std::optional<Key> readKey(SharedInput& input);
// False for a scancode outside the held keys' table.
bool isKeyDown(SharedInput& input, int32_t scancode);

}  // namespace akkusim
