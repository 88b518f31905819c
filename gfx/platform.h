#pragma once
// The narrow interface between the Screen and a real or simulated window:
// the window, its input and the clock. Programs are kept elsewhere
// (files/program_store.h).

#include <cstdint>
#include <optional>
#include <string>

#include "base/result.h"
#include "gfx/image.h"
#include "gfx/key.h"

namespace akkusim {

struct MouseButtons {
  bool left = false;
  bool right = false;
  bool middle = false;
  friend bool operator==(const MouseButtons&, const MouseButtons&) = default;
};

// The platforms keep the held buttons as bits: 1 left, 2 right, 4 middle.
inline MouseButtons mouseButtonsFromBits(int32_t bits) {
  return MouseButtons{(bits & 1) != 0, (bits & 2) != 0, (bits & 4) != 0};
}

inline bool anyHeld(const MouseButtons& buttons) {
  return buttons.left || buttons.right || buttons.middle;
}

// One look at the pointer. Outside the window, or without the focus, it
// tells nothing: no buttons, and -1 for the position and the wheel.
struct MouseReading {
  bool inside = false;
  int32_t x = -1;
  int32_t y = -1;
  int32_t wheel = -1;
  MouseButtons buttons;
};

class Platform {
 public:
  virtual ~Platform() = default;
  // Creates the window, or says why it cannot.
  virtual Status openWindow(int32_t width, int32_t height) = 0;
  // Makes the window show these pixels.
  virtual void present(const Image& frame) = 0;
  virtual MouseReading readMouse() = 0;
  // Oldest queued key, nothing when the queue is empty; the window's close
  // button queues keys::kWindowClose.
  virtual std::optional<Key> readKey() = 0;
  virtual bool isKeyDown(int32_t scancode) = 0;
  virtual void sleepMs(int32_t milliseconds) = 0;
  virtual int64_t nowMicros() = 0;
};

}  // namespace akkusim
