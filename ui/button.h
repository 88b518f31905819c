#pragma once
// Push buttons and one poll of the mouse.

#include <cstdint>
#include <string>

#include "gfx/rect.h"
#include "gfx/screen.h"

namespace akkusim {

struct Button {
  Rect bounds;  // the frame runs along x..right and y..bottom, both included
  bool active = true;
  uint32_t frameActive = 0x000000;
  uint32_t frameInactive = 0x9F9F9F;
  uint32_t fillActive = 0xFFFFFF;
  uint32_t fillInactive = 0xFFFFFF;
  uint32_t textActive = 0x000000;
  uint32_t textInactive = 0x9F9F9F;
  std::string label;  // UTF-8
};

Button makeButton(Rect bounds, std::string label);
void drawButton(Screen& screen, const Button& button);
void enableButton(Screen& screen, Button& button);
void disableButton(Screen& screen, Button& button);

// Which buttons a hit test asks for: any (none held included), or the left
// one alone.
enum class ButtonFilter { Any, LeftAlone };

// Strictly inside on all four sides, with the wanted buttons.
bool mouseInRect(const MouseReading& mouse, const Rect& rect, ButtonFilter wanted);
// Active button with the pointer on it or its frame, with the wanted buttons.
bool buttonPressed(const MouseReading& mouse, const Button& button, ButtonFilter wanted);
// Reads the mouse (sleeping 1 ms after each reading) until no button is
// down or the pointer is outside; returns the last reading's wheel count
// (-1 outside).
int32_t waitForRelease(Screen& screen, MouseReading& mouse);

}  // namespace akkusim
