#pragma once
// A key as the keyboard queue delivers it, in the words of a PC keyboard:
// typed characters as their code page 437 byte, the cursor block as its
// scancode, and the window's close button as a key of its own, so that every
// loop that reads keys also notices the window going away.

#include <cstdint>

namespace akkusim {

enum class KeyKind : uint8_t { Character, Extended, WindowClose };

struct Key {
  KeyKind kind;
  uint8_t code;  // Character: the byte (8, 9, 13, 27 included); Extended: the scancode

  friend constexpr bool operator==(const Key&, const Key&) = default;
};

namespace keys {
constexpr Key character(uint8_t byte) {
  return {KeyKind::Character, byte};
}
constexpr Key extended(uint8_t scancode) {
  return {KeyKind::Extended, scancode};
}

inline constexpr Key kBackspace = character(8);
inline constexpr Key kTab = character(9);
inline constexpr Key kEnter = character(13);
inline constexpr Key kEscape = character(27);
inline constexpr Key kLeft = extended(75);
inline constexpr Key kRight = extended(77);
inline constexpr Key kUp = extended(72);
inline constexpr Key kDown = extended(80);
inline constexpr Key kHome = extended(71);
inline constexpr Key kEnd = extended(79);
inline constexpr Key kPageUp = extended(73);
inline constexpr Key kPageDown = extended(81);
inline constexpr Key kDelete = extended(83);
inline constexpr Key kWindowClose{KeyKind::WindowClose, 0};
// The function keys the learner aids use; browsers keep F5 to F7, F11 and
// F12 for themselves, so no front end delivers those.
inline constexpr Key kF1 = extended(59);
inline constexpr Key kF2 = extended(60);
inline constexpr Key kF8 = extended(66);
inline constexpr Key kF9 = extended(67);
}  // namespace keys

// PC scancodes of the keys whose held state matters (Platform::isKeyDown).
namespace scancodes {
inline constexpr int32_t kLeftShift = 42;
inline constexpr int32_t kRightShift = 54;
}  // namespace scancodes

}  // namespace akkusim
