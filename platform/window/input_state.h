#pragma once
// Input as the window thread last saw it, read by the polling calls: a short
// key queue, the pointer and its buttons, and which keys are held. Shared by
// the real windows; the platform guards it with its input lock.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "gfx/key.h"
#include "gfx/key_queue.h"
#include "gfx/platform.h"

namespace akkusim {

struct InputState {
  KeyQueue keys;
  int32_t x = 0;
  int32_t y = 0;
  int32_t wheel = 0;
  int32_t buttons = 0;
  // Buttons pressed since the last reading: a click shorter than one polling
  // pass is still seen once.
  int32_t pressedSinceRead = 0;
  bool inside = false;
  bool focused = false;
  std::array<bool, 128> down{};
};

// Buttons and held keys let go, as when the window loses the focus.
void releaseAll(InputState& input);
// The pointer over a `width` x `height` window, failing outside it or
// without the focus; either way the presses since the last reading are used up.
MouseReading readPointer(InputState& input, int32_t width, int32_t height);

}  // namespace akkusim
