#include "platform/win32/win32_keys.h"

#include <array>
#include <utility>

#include "text/cp437.h"

namespace akkusim {

namespace {

// Virtual keys as winuser.h numbers them.
constexpr std::array<std::pair<uint32_t, Key>, 17> kPressKeys{{
    {0x08, keys::kBackspace},  // VK_BACK
    {0x09, keys::kTab},        // VK_TAB
    {0x0D, keys::kEnter},      // VK_RETURN, the keypad's Enter too
    {0x1B, keys::kEscape},     // VK_ESCAPE
    {0x21, keys::kPageUp},     // VK_PRIOR
    {0x22, keys::kPageDown},   // VK_NEXT
    {0x23, keys::kEnd},        // VK_END
    {0x24, keys::kHome},       // VK_HOME
    {0x25, keys::kLeft},       // VK_LEFT
    {0x26, keys::kUp},         // VK_UP
    {0x27, keys::kRight},      // VK_RIGHT
    {0x28, keys::kDown},       // VK_DOWN
    {0x2E, keys::kDelete},     // VK_DELETE
    {0x70, keys::kF1},         // VK_F1
    {0x71, keys::kF2},         // VK_F2
    {0x77, keys::kF8},         // VK_F8
    {0x78, keys::kF9},         // VK_F9
}};

}  // namespace

std::optional<Key> keyOfVirtualKey(uint32_t virtualKey) {
  for (const auto& [code, key] : kPressKeys) {
    if (code == virtualKey) return key;
  }
  return std::nullopt;
}

std::optional<Key> keyOfCharacter(uint32_t utf16) {
  // Below the space: Enter, Tab, Backspace and Escape arrive as presses as
  // well, and Ctrl with a letter must not type.
  if (utf16 < 0x20) return std::nullopt;
  const int byte = cp437ByteOf(static_cast<char32_t>(utf16));
  if (byte < 0) return std::nullopt;
  return keys::character(static_cast<uint8_t>(byte));
}

int32_t set1OfKeyData(uint32_t keyData) {
  const uint32_t scancode = (keyData >> 16) & 0xFF;
  return scancode < 128 ? static_cast<int32_t>(scancode) : 0;
}

void recordKeyMessage(InputState& input, const KeyMessage& message) {
  switch (message.kind) {
    case KeyMessageKind::Down:
    case KeyMessageKind::Up: {
      const bool down = message.kind == KeyMessageKind::Down;
      if (const int32_t code = set1OfKeyData(message.keyData); code > 0) {
        input.down[static_cast<std::size_t>(code)] = down;
      }
      if (!down) return;
      if (const std::optional<Key> key = keyOfVirtualKey(message.code)) pushKey(input.keys, *key);
      return;
    }
    case KeyMessageKind::Character:
      if (const std::optional<Key> key = keyOfCharacter(message.code)) pushKey(input.keys, *key);
      return;
  }
}

}  // namespace akkusim
