// The Windows keyboard's messages as the window records them, as a German
// layout sends them: presses by virtual key and scancode, typed characters
// as WM_CHAR after them (umlauts, ß, AltGr), and the held Shift keys. The
// messages are plain numbers, so this runs on Linux and under Wine alike.

#include "platform/win32/win32_keys.h"

#include <gtest/gtest.h>

#include <vector>

#include "gfx/key.h"
#include "gfx/key_queue.h"
#include "platform/window/input_state.h"

using namespace akkusim;

namespace {

using Messages = std::vector<KeyMessage>;

// lParam of a key message: the scancode, and the flag of the keys that came
// with an E0 prefix (cursor block, right Alt).
uint32_t keyData(uint32_t scancode, bool extended = false) {
  return 1U | (scancode << 16) | (extended ? 1U << 24 : 0U);
}

// Virtual keys as winuser.h numbers them.
constexpr uint32_t kVkShift = 0x10;
constexpr uint32_t kVkControl = 0x11;
constexpr uint32_t kVkMenu = 0x12;

// One key pressed and let go; `typed` is the WM_CHAR the layout makes of
// it between the two (0: none).
Messages stroke(uint32_t virtualKey, uint32_t scancode, char16_t typed = 0, bool extended = false) {
  Messages messages{{KeyMessageKind::Down, virtualKey, keyData(scancode, extended)}};
  if (typed != 0) messages.push_back({KeyMessageKind::Character, typed, keyData(scancode)});
  messages.push_back({KeyMessageKind::Up, virtualKey, keyData(scancode, extended) | 3U << 30});
  return messages;
}

Messages around(const Messages& before, const Messages& inner, const Messages& after) {
  Messages all = before;
  all.insert(all.end(), inner.begin(), inner.end());
  all.insert(all.end(), after.begin(), after.end());
  return all;
}

Messages shifted(const Messages& inner) {
  return around({{KeyMessageKind::Down, kVkShift, keyData(0x2A)}}, inner,
                {{KeyMessageKind::Up, kVkShift, keyData(0x2A)}});
}

// Windows reports AltGr as a left Control followed by the right Alt.
Messages altGr(const Messages& inner) {
  return around({{KeyMessageKind::Down, kVkControl, keyData(0x1D)},
                 {KeyMessageKind::Down, kVkMenu, keyData(0x38, true)}},
                inner,
                {{KeyMessageKind::Up, kVkMenu, keyData(0x38, true)},
                 {KeyMessageKind::Up, kVkControl, keyData(0x1D)}});
}

Messages withControl(const Messages& inner) {
  return around({{KeyMessageKind::Down, kVkControl, keyData(0x1D)}}, inner,
                {{KeyMessageKind::Up, kVkControl, keyData(0x1D)}});
}

InputState recorded(const Messages& messages) {
  InputState input;
  for (const KeyMessage& message : messages) recordKeyMessage(input, message);
  return input;
}

std::vector<Key> queuedKeys(const Messages& messages) {
  InputState input = recorded(messages);
  std::vector<Key> keys;
  while (const std::optional<Key> key = popKey(input.keys)) keys.push_back(*key);
  return keys;
}

struct KeyCase {
  const char* name;
  Messages messages;
  std::vector<Key> expected;
};

using keys::character;

TEST(Win32KeyMessages, EveryKeyOfTheEditorAndTheDialogsArrivesAsItsKey) {
  // clang-format off
  const std::vector<KeyCase> cases = {
      // Control keys come from the press; their WM_CHAR must not type twice.
      {"Enter", stroke(0x0D, 0x1C, u'\r'), {keys::kEnter}},
      {"keypad Enter", stroke(0x0D, 0x1C, u'\r', true), {keys::kEnter}},
      {"Backspace", stroke(0x08, 0x0E, u'\b'), {keys::kBackspace}},
      {"Tab", stroke(0x09, 0x0F, u'\t'), {keys::kTab}},
      {"Escape", stroke(0x1B, 0x01, 0x1B), {keys::kEscape}},
      // The cursor block and Delete.
      {"Left", stroke(0x25, 0x4B, 0, true), {keys::kLeft}},
      {"Up", stroke(0x26, 0x48, 0, true), {keys::kUp}},
      {"Right", stroke(0x27, 0x4D, 0, true), {keys::kRight}},
      {"Down", stroke(0x28, 0x50, 0, true), {keys::kDown}},
      {"Home", stroke(0x24, 0x47, 0, true), {keys::kHome}},
      {"End", stroke(0x23, 0x4F, 0, true), {keys::kEnd}},
      {"PageUp", stroke(0x21, 0x49, 0, true), {keys::kPageUp}},
      {"PageDown", stroke(0x22, 0x51, 0, true), {keys::kPageDown}},
      {"Delete", stroke(0x2E, 0x53, 0, true), {keys::kDelete}},
      {"Shift+Left", shifted(stroke(0x25, 0x4B, 0, true)), {keys::kLeft}},
      // The learner aids' keys.
      {"F1", stroke(0x70, 0x3B), {keys::kF1}},
      {"F2", stroke(0x71, 0x3C), {keys::kF2}},
      {"F8", stroke(0x77, 0x42), {keys::kF8}},
      {"F9", stroke(0x78, 0x43), {keys::kF9}},
      // Typed characters come from WM_CHAR only; a German keyboard's "z"
      // lies where a US one has "y".
      {"letter", stroke('A', 0x1E, u'a'), {character('a')}},
      {"German z", stroke('Z', 0x15, u'z'), {character('z')}},
      {"Shift+z", shifted(stroke('Z', 0x15, u'Z')), {character('Z')}},
      {"digit", stroke('0', 0x0B, u'0'), {character('0')}},
      {"space", stroke(0x20, 0x39, u' '), {character(' ')}},
      {"hash", stroke(0xBF, 0x2B, u'#'), {character('#')}},
      {"colon", shifted(stroke(0xBE, 0x34, u':')), {character(':')}},
      // Umlauts and ß as code page 437 bytes.
      {"ä", stroke(0xDE, 0x28, u'ä'), {character(0x84)}},
      {"ö", stroke(0xC0, 0x27, u'ö'), {character(0x94)}},
      {"ü", stroke(0xBA, 0x1A, u'ü'), {character(0x81)}},
      {"Ä", shifted(stroke(0xDE, 0x28, u'Ä')), {character(0x8E)}},
      {"Ö", shifted(stroke(0xC0, 0x27, u'Ö')), {character(0x99)}},
      {"Ü", shifted(stroke(0xBA, 0x1A, u'Ü')), {character(0x9A)}},
      {"ß", stroke(0xDB, 0x0C, u'ß'), {character(0xE1)}},
      {"degree", shifted(stroke(0xDC, 0x29, u'°')), {character(0xF8)}},
      // AltGr types the characters printed third on a key.
      {"AltGr+Q", altGr(stroke('Q', 0x10, u'@')), {character('@')}},
      {"AltGr+7", altGr(stroke('7', 0x08, u'{')), {character('{')}},
      {"AltGr+8", altGr(stroke('8', 0x09, u'[')), {character('[')}},
      {"AltGr+9", altGr(stroke('9', 0x0A, u']')), {character(']')}},
      {"AltGr+0", altGr(stroke('0', 0x0B, u'}')), {character('}')}},
      {"AltGr+ß", altGr(stroke(0xDB, 0x0C, u'\\')), {character('\\')}},
      {"AltGr++", altGr(stroke(0xBB, 0x1B, u'~')), {character('~')}},
      {"AltGr+<", altGr(stroke(0xE2, 0x56, u'|')), {character('|')}},
      {"AltGr+M", altGr(stroke('M', 0x32, u'µ')), {character(0xE6)}},
      // Characters the font lacks type nothing, and neither does Control.
      {"AltGr+E (euro)", altGr(stroke('E', 0x12, u'€')), {}},
      {"section sign", shifted(stroke('3', 0x04, u'§')), {}},
      {"Ctrl+A", withControl(stroke('A', 0x1E, 0x01)), {}},
      {"Ctrl+Backspace", withControl(stroke(0x08, 0x0E, 0x7F)), {keys::kBackspace}},
      // A dead key types with the key after it (its WM_DEADCHAR is not
      // recorded).
      {"dead caret then a", around(stroke(0xDC, 0x29), stroke('A', 0x1E, u'â'), {}),
       {character(0x83)}},
      // Keys with no meaning here.
      {"Shift alone", shifted({}), {}},
      {"Insert", stroke(0x2D, 0x52, 0, true), {}},
      {"F5", stroke(0x74, 0x3F), {}},
      {"F12", stroke(0x7B, 0x58), {}},
  };
  // clang-format on
  for (const KeyCase& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(queuedKeys(c.messages), c.expected);
  }
}

TEST(Win32KeyMessages, ShiftKeysAreHeldUntilLetGo) {
  const KeyMessage leftDown{KeyMessageKind::Down, kVkShift, keyData(0x2A)};
  const KeyMessage leftUp{KeyMessageKind::Up, kVkShift, keyData(0x2A)};
  const KeyMessage rightDown{KeyMessageKind::Down, kVkShift, keyData(0x36)};
  const KeyMessage rightUp{KeyMessageKind::Up, kVkShift, keyData(0x36)};
  struct HeldCase {
    const char* name;
    Messages messages;
    bool left;
    bool right;
  };
  const std::vector<HeldCase> cases = {
      {"left held", {leftDown}, true, false},
      {"right held", {rightDown}, false, true},
      {"both held, left let go", {leftDown, rightDown, leftUp}, false, true},
      {"pressed and let go", {rightDown, rightUp}, false, false},
      // Auto-repeat sends more presses; one release lets go.
      {"repeated, let go", {leftDown, leftDown, leftUp}, false, false},
  };
  for (const HeldCase& c : cases) {
    SCOPED_TRACE(c.name);
    const InputState input = recorded(c.messages);
    EXPECT_EQ(input.down[scancodes::kLeftShift], c.left);
    EXPECT_EQ(input.down[scancodes::kRightShift], c.right);
  }
}

}  // namespace
