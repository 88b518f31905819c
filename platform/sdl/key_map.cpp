#include "platform/sdl/key_map.h"

#include <array>

namespace akkusim {

namespace {

// USB HID usage (SDL scancode) to PC scancode set 1, 0 where unmapped.
constexpr std::array<uint8_t, 232> makeSet1Table() {
  std::array<uint8_t, 232> t{};
  constexpr uint8_t letters[26] = {30, 48, 46, 32, 18, 33, 34, 35, 23, 36, 37, 38, 50,
                                   49, 24, 25, 16, 19, 31, 20, 22, 47, 17, 45, 21, 44};
  for (int i = 0; i < 26; ++i) t[SDL_SCANCODE_A + i] = letters[i];
  for (int i = 0; i < 10; ++i) t[SDL_SCANCODE_1 + i] = static_cast<uint8_t>(2 + i);
  t[SDL_SCANCODE_RETURN] = 28;
  t[SDL_SCANCODE_ESCAPE] = 1;
  t[SDL_SCANCODE_BACKSPACE] = 14;
  t[SDL_SCANCODE_TAB] = 15;
  t[SDL_SCANCODE_SPACE] = 57;
  t[SDL_SCANCODE_MINUS] = 12;
  t[SDL_SCANCODE_EQUALS] = 13;
  t[SDL_SCANCODE_LEFTBRACKET] = 26;
  t[SDL_SCANCODE_RIGHTBRACKET] = 27;
  t[SDL_SCANCODE_BACKSLASH] = 43;
  t[SDL_SCANCODE_NONUSHASH] = 43;
  t[SDL_SCANCODE_SEMICOLON] = 39;
  t[SDL_SCANCODE_APOSTROPHE] = 40;
  t[SDL_SCANCODE_GRAVE] = 41;
  t[SDL_SCANCODE_COMMA] = 51;
  t[SDL_SCANCODE_PERIOD] = 52;
  t[SDL_SCANCODE_SLASH] = 53;
  t[SDL_SCANCODE_CAPSLOCK] = 58;
  for (int i = 0; i < 10; ++i) t[SDL_SCANCODE_F1 + i] = static_cast<uint8_t>(59 + i);
  t[SDL_SCANCODE_F11] = 87;
  t[SDL_SCANCODE_F12] = 88;
  t[SDL_SCANCODE_INSERT] = 82;
  t[SDL_SCANCODE_HOME] = 71;
  t[SDL_SCANCODE_PAGEUP] = 73;
  t[SDL_SCANCODE_DELETE] = 83;
  t[SDL_SCANCODE_END] = 79;
  t[SDL_SCANCODE_PAGEDOWN] = 81;
  t[SDL_SCANCODE_RIGHT] = 77;
  t[SDL_SCANCODE_LEFT] = 75;
  t[SDL_SCANCODE_DOWN] = 80;
  t[SDL_SCANCODE_UP] = 72;
  t[SDL_SCANCODE_NONUSBACKSLASH] = 86;
  t[SDL_SCANCODE_LCTRL] = 29;
  t[SDL_SCANCODE_LSHIFT] = 42;
  t[SDL_SCANCODE_LALT] = 56;
  t[SDL_SCANCODE_RCTRL] = 29;
  t[SDL_SCANCODE_RSHIFT] = 54;
  t[SDL_SCANCODE_RALT] = 56;
  return t;
}

constexpr std::array<uint8_t, 232> kSet1 = makeSet1Table();

}  // namespace

int set1Of(SDL_Scancode scancode) {
  const auto index = static_cast<std::size_t>(scancode);
  return index < kSet1.size() ? kSet1[index] : 0;
}

// The key of the cursor block or of a learner aid, nothing for other keys.
std::optional<Key> extendedKey(SDL_Keycode key) {
  switch (key) {
    case SDLK_LEFT:
      return keys::kLeft;
    case SDLK_RIGHT:
      return keys::kRight;
    case SDLK_UP:
      return keys::kUp;
    case SDLK_DOWN:
      return keys::kDown;
    case SDLK_HOME:
      return keys::kHome;
    case SDLK_END:
      return keys::kEnd;
    case SDLK_PAGEUP:
      return keys::kPageUp;
    case SDLK_PAGEDOWN:
      return keys::kPageDown;
    case SDLK_DELETE:
      return keys::kDelete;
    case SDLK_F1:
      return keys::kF1;
    case SDLK_F2:
      return keys::kF2;
    case SDLK_F8:
      return keys::kF8;
    case SDLK_F9:
      return keys::kF9;
    default:
      return std::nullopt;
  }
}

// The one-character control keys, 0 for other keys.
char controlByte(SDL_Keycode key) {
  switch (key) {
    case SDLK_RETURN:
    case SDLK_KP_ENTER:
      return 13;
    case SDLK_BACKSPACE:
      return 8;
    case SDLK_TAB:
      return 9;
    case SDLK_ESCAPE:
      return 27;
    default:
      return 0;
  }
}

int32_t buttonBit(uint8_t button) {
  switch (button) {
    case SDL_BUTTON_LEFT:
      return 1;
    case SDL_BUTTON_RIGHT:
      return 2;
    case SDL_BUTTON_MIDDLE:
      return 4;
    default:
      return 0;
  }
}

}  // namespace akkusim
