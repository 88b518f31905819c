#pragma once
// SDL's keys and buttons in the words of a PC keyboard and mouse.

#include <SDL.h>

#include <cstdint>
#include <optional>

#include "gfx/key.h"

namespace akkusim {

// The PC scancode (set 1) of a key, 0 where unmapped.
int set1Of(SDL_Scancode scancode);
// The key of the cursor block, nothing for other keys.
std::optional<Key> extendedKey(SDL_Keycode key);
// The one-character control keys (Enter, Backspace, Tab, Escape), 0 for others.
char controlByte(SDL_Keycode key);
// 1 left, 2 right, 4 middle, 0 for other buttons.
int32_t buttonBit(uint8_t button);

}  // namespace akkusim
