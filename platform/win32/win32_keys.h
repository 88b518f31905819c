#pragma once
// The Windows keyboard's messages as the window records them. A key press
// (WM_KEYDOWN, WM_SYSKEYDOWN) gives the editor's keys and the learner aids'
// function keys by its virtual key; typed characters come as WM_CHAR once
// the layout has made them, so umlauts, ß and AltGr's @ { [ ] } \ ~ | need
// no table of their own. Plain numbers and no windows.h: the table is
// tested on Linux as well.

#include <cstdint>
#include <optional>

#include "gfx/key.h"
#include "platform/window/input_state.h"

namespace akkusim {

enum class KeyMessageKind : uint8_t { Down, Up, Character };

struct KeyMessage {
  KeyMessageKind kind = KeyMessageKind::Down;
  uint32_t code = 0;     // Down, Up: the virtual key; Character: one UTF-16 unit
  uint32_t keyData = 0;  // the message's lParam: bits 16..23 the scancode
};

// The key a press gives by itself: the cursor block, Delete, F1 F2 F8 F9
// and the one-character control keys; nothing for keys that type.
std::optional<Key> keyOfVirtualKey(uint32_t virtualKey);
// A typed character as its code page 437 byte; nothing for control
// characters (their keys are read from the press) and for characters the
// font lacks.
std::optional<Key> keyOfCharacter(uint32_t utf16);
// The PC scancode (set 1) a message names, 0 where there is none.
int32_t set1OfKeyData(uint32_t keyData);

// Queues the message's key and keeps the held keys.
void recordKeyMessage(InputState& input, const KeyMessage& message);

}  // namespace akkusim
