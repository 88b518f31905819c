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

struct MouseState {
  int32_t x = 0;
  int32_t y = 0;
  int32_t wheel = 0;
  int32_t buttons = 0;
  int32_t result = 0;  // 0 valid; otherwise the four values above are -1
};

void pollMouse(Screen& screen, MouseState& mouse);
// Strictly inside on all four sides; `wanted` -1 accepts any button mask.
bool mouseInRect(const MouseState& mouse, const Rect& rect, int32_t wanted);
// Active button with the pointer on it or its frame, buttons == wanted.
bool buttonPressed(const MouseState& mouse, const Button& button, int32_t wanted);
// Polls (sleeping 1 ms after each poll) until no button is down; returns
// the last poll's wheel count (-1 for a failed poll).
int32_t waitForRelease(Screen& screen, MouseState& mouse);

}  // namespace akkusim
