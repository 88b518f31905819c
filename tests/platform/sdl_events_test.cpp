// SDL's keyboard events as the desktop window records them, as a German
// keyboard sends them: every key the editor and the dialogs read, typed
// characters through the text events (umlauts, ß, AltGr), and the held
// Shift keys. Built from SDL's event records alone, so no display and no
// SDL library is needed.

#include "platform/sdl/sdl_events.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "gfx/key.h"
#include "gfx/key_queue.h"
#include "platform/sdl/key_map.h"
#include "platform/window/input_state.h"

using namespace akkusim;

namespace {

using Events = std::vector<SDL_Event>;

SDL_Event keyEvent(Uint32 type, SDL_Scancode scancode, SDL_Keycode sym, Uint16 mod) {
  SDL_Event event{};
  event.type = type;
  event.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
  event.key.keysym.scancode = scancode;
  event.key.keysym.sym = sym;
  event.key.keysym.mod = mod;
  return event;
}

SDL_Event textEvent(const char* utf8) {
  SDL_Event event{};
  event.type = SDL_TEXTINPUT;
  std::strncpy(event.text.text, utf8, sizeof event.text.text - 1);
  return event;
}

// One key pressed and let go; `text` is what the layout types with it
// (nullptr: no text event, as for Enter or the cursor keys).
Events stroke(SDL_Scancode scancode, SDL_Keycode sym, const char* text = nullptr,
              Uint16 mod = KMOD_NONE) {
  Events events{keyEvent(SDL_KEYDOWN, scancode, sym, mod)};
  if (text != nullptr) events.push_back(textEvent(text));
  events.push_back(keyEvent(SDL_KEYUP, scancode, sym, mod));
  return events;
}

// `inner` typed while a modifier key is held.
Events holding(SDL_Scancode scancode, SDL_Keycode sym, const Events& inner) {
  Events events{keyEvent(SDL_KEYDOWN, scancode, sym, KMOD_NONE)};
  events.insert(events.end(), inner.begin(), inner.end());
  events.push_back(keyEvent(SDL_KEYUP, scancode, sym, KMOD_NONE));
  return events;
}

Events shifted(const Events& inner) {
  return holding(SDL_SCANCODE_LSHIFT, SDLK_LSHIFT, inner);
}
// AltGr sits where the right Alt key is; its key code differs between
// systems (right Alt or mode switch) and types nothing by itself.
Events altGr(const Events& inner) {
  return holding(SDL_SCANCODE_RALT, SDLK_MODE, inner);
}

std::vector<Key> queuedKeys(const Events& events) {
  InputState input;
  for (const SDL_Event& event : events) recordEvent(input, event, 1);
  std::vector<Key> keys;
  while (const std::optional<Key> key = popKey(input.keys)) keys.push_back(*key);
  return keys;
}

struct KeyCase {
  const char* name;
  Events events;
  std::vector<Key> expected;
};

using keys::character;

TEST(SdlKeyEvents, EveryKeyOfTheEditorAndTheDialogsArrivesAsItsKey) {
  // clang-format off
  const std::vector<KeyCase> cases = {
      // Control keys: the editor's line end, deletion and indentation, the
      // dialogs' confirm and cancel.
      {"Enter", stroke(SDL_SCANCODE_RETURN, SDLK_RETURN), {keys::kEnter}},
      {"keypad Enter", stroke(SDL_SCANCODE_KP_ENTER, SDLK_KP_ENTER), {keys::kEnter}},
      {"Backspace", stroke(SDL_SCANCODE_BACKSPACE, SDLK_BACKSPACE), {keys::kBackspace}},
      {"Tab", stroke(SDL_SCANCODE_TAB, SDLK_TAB), {keys::kTab}},
      {"Escape", stroke(SDL_SCANCODE_ESCAPE, SDLK_ESCAPE), {keys::kEscape}},
      // The cursor block.
      {"Left", stroke(SDL_SCANCODE_LEFT, SDLK_LEFT), {keys::kLeft}},
      {"Right", stroke(SDL_SCANCODE_RIGHT, SDLK_RIGHT), {keys::kRight}},
      {"Up", stroke(SDL_SCANCODE_UP, SDLK_UP), {keys::kUp}},
      {"Down", stroke(SDL_SCANCODE_DOWN, SDLK_DOWN), {keys::kDown}},
      {"Home", stroke(SDL_SCANCODE_HOME, SDLK_HOME), {keys::kHome}},
      {"End", stroke(SDL_SCANCODE_END, SDLK_END), {keys::kEnd}},
      {"PageUp", stroke(SDL_SCANCODE_PAGEUP, SDLK_PAGEUP), {keys::kPageUp}},
      {"PageDown", stroke(SDL_SCANCODE_PAGEDOWN, SDLK_PAGEDOWN), {keys::kPageDown}},
      {"Delete", stroke(SDL_SCANCODE_DELETE, SDLK_DELETE), {keys::kDelete}},
      {"Shift+Left", shifted(stroke(SDL_SCANCODE_LEFT, SDLK_LEFT, nullptr, KMOD_LSHIFT)), {keys::kLeft}},
      // Typed characters come from the text event only; a German keyboard's
      // "z" lies where a US one has "y".
      {"letter", stroke(SDL_SCANCODE_A, SDLK_a, "a"), {character('a')}},
      {"German z", stroke(SDL_SCANCODE_Y, SDLK_z, "z"), {character('z')}},
      {"Shift+z", shifted(stroke(SDL_SCANCODE_Y, SDLK_z, "Z", KMOD_LSHIFT)), {character('Z')}},
      {"digit", stroke(SDL_SCANCODE_0, SDLK_0, "0"), {character('0')}},
      {"space", stroke(SDL_SCANCODE_SPACE, SDLK_SPACE, " "), {character(' ')}},
      {"colon", shifted(stroke(SDL_SCANCODE_PERIOD, SDLK_PERIOD, ":", KMOD_LSHIFT)), {character(':')}},
      {"hash", stroke(SDL_SCANCODE_NONUSHASH, SDLK_HASH, "#"), {character('#')}},
      {"minus", stroke(SDL_SCANCODE_SLASH, SDLK_MINUS, "-"), {character('-')}},
      {"plus", stroke(SDL_SCANCODE_RIGHTBRACKET, SDLK_PLUS, "+"), {character('+')}},
      {"underscore", shifted(stroke(SDL_SCANCODE_SLASH, SDLK_MINUS, "_", KMOD_LSHIFT)), {character('_')}},
      {"less than", stroke(SDL_SCANCODE_NONUSBACKSLASH, SDLK_LESS, "<"), {character('<')}},
      {"percent", shifted(stroke(SDL_SCANCODE_5, SDLK_5, "%", KMOD_LSHIFT)), {character('%')}},
      // Umlauts and ß as code page 437 bytes.
      {"ä", stroke(SDL_SCANCODE_APOSTROPHE, 0xE4, "\xC3\xA4"), {character(0x84)}},
      {"ö", stroke(SDL_SCANCODE_SEMICOLON, 0xF6, "\xC3\xB6"), {character(0x94)}},
      {"ü", stroke(SDL_SCANCODE_LEFTBRACKET, 0xFC, "\xC3\xBC"), {character(0x81)}},
      {"Ä", shifted(stroke(SDL_SCANCODE_APOSTROPHE, 0xE4, "\xC3\x84", KMOD_LSHIFT)), {character(0x8E)}},
      {"Ö", shifted(stroke(SDL_SCANCODE_SEMICOLON, 0xF6, "\xC3\x96", KMOD_LSHIFT)), {character(0x99)}},
      {"Ü", shifted(stroke(SDL_SCANCODE_LEFTBRACKET, 0xFC, "\xC3\x9C", KMOD_LSHIFT)), {character(0x9A)}},
      {"ß", stroke(SDL_SCANCODE_MINUS, 0xDF, "\xC3\x9F"), {character(0xE1)}},
      {"degree", shifted(stroke(SDL_SCANCODE_GRAVE, SDLK_CARET, "\xC2\xB0", KMOD_LSHIFT)), {character(0xF8)}},
      // AltGr types the characters printed third on a key.
      {"AltGr+Q", altGr(stroke(SDL_SCANCODE_Q, SDLK_q, "@", KMOD_MODE)), {character('@')}},
      {"AltGr+ß", altGr(stroke(SDL_SCANCODE_MINUS, 0xDF, "\\", KMOD_MODE)), {character('\\')}},
      {"AltGr+7", altGr(stroke(SDL_SCANCODE_7, SDLK_7, "{", KMOD_MODE)), {character('{')}},
      {"AltGr+8", altGr(stroke(SDL_SCANCODE_8, SDLK_8, "[", KMOD_MODE)), {character('[')}},
      {"AltGr+9", altGr(stroke(SDL_SCANCODE_9, SDLK_9, "]", KMOD_MODE)), {character(']')}},
      {"AltGr+0", altGr(stroke(SDL_SCANCODE_0, SDLK_0, "}", KMOD_MODE)), {character('}')}},
      {"AltGr+<", altGr(stroke(SDL_SCANCODE_NONUSBACKSLASH, SDLK_LESS, "|", KMOD_MODE)), {character('|')}},
      {"AltGr++", altGr(stroke(SDL_SCANCODE_RIGHTBRACKET, SDLK_PLUS, "~", KMOD_MODE)), {character('~')}},
      {"AltGr+M", altGr(stroke(SDL_SCANCODE_M, SDLK_m, "\xC2\xB5", KMOD_MODE)), {character(0xE6)}},
      {"AltGr+2", altGr(stroke(SDL_SCANCODE_2, SDLK_2, "\xC2\xB2", KMOD_MODE)), {character(0xFD)}},
      // Characters the font lacks type nothing.
      {"AltGr+E (euro)", altGr(stroke(SDL_SCANCODE_E, SDLK_e, "\xE2\x82\xAC", KMOD_MODE)), {}},
      {"section sign", shifted(stroke(SDL_SCANCODE_3, SDLK_3, "\xC2\xA7", KMOD_LSHIFT)), {}},
      {"AltGr+3", altGr(stroke(SDL_SCANCODE_3, SDLK_3, "\xC2\xB3", KMOD_MODE)), {}},
      // A dead key types with the key after it.
      {"dead caret then space",
       [] {
         Events events = stroke(SDL_SCANCODE_GRAVE, SDLK_CARET);
         const Events space = stroke(SDL_SCANCODE_SPACE, SDLK_SPACE, "^");
         events.insert(events.end(), space.begin(), space.end());
         return events;
       }(),
       {character('^')}},
      // Keys with no meaning here.
      {"Shift alone", shifted({}), {}},
      {"Control", stroke(SDL_SCANCODE_LCTRL, SDLK_LCTRL), {}},
      {"Insert", stroke(SDL_SCANCODE_INSERT, SDLK_INSERT), {}},
      {"F5", stroke(SDL_SCANCODE_F5, SDLK_F5), {}},
      {"F12", stroke(SDL_SCANCODE_F12, SDLK_F12), {}},
      // The learner aids' keys.
      {"F1", stroke(SDL_SCANCODE_F1, SDLK_F1), {keys::kF1}},
      {"F2", stroke(SDL_SCANCODE_F2, SDLK_F2), {keys::kF2}},
      {"F8", stroke(SDL_SCANCODE_F8, SDLK_F8), {keys::kF8}},
      {"F9", stroke(SDL_SCANCODE_F9, SDLK_F9), {keys::kF9}},
      // Several characters of one text event, in order.
      {"text of several characters", {textEvent("L\xC3\xB6sung 1")},
       {character('L'), character(0x94), character('s'), character('u'), character('n'),
        character('g'), character(' '), character('1')}},
  };
  // clang-format on
  for (const KeyCase& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(queuedKeys(c.events), c.expected);
  }
}

TEST(SdlKeyEvents, TheWindowsCloseButtonIsAKeyOfItsOwn) {
  SDL_Event close{};
  close.type = SDL_WINDOWEVENT;
  close.window.event = SDL_WINDOWEVENT_CLOSE;

  EXPECT_EQ(queuedKeys({close}), std::vector<Key>{keys::kWindowClose});
}

struct HeldCase {
  const char* name;
  Events events;
  bool leftShift;
  bool rightShift;
};

TEST(SdlKeyEvents, ShiftKeysAreHeldUntilLetGoOrTheFocusIsLost) {
  SDL_Event focusLost{};
  focusLost.type = SDL_WINDOWEVENT;
  focusLost.window.event = SDL_WINDOWEVENT_FOCUS_LOST;
  const SDL_Event leftDown = keyEvent(SDL_KEYDOWN, SDL_SCANCODE_LSHIFT, SDLK_LSHIFT, KMOD_NONE);
  const SDL_Event leftUp = keyEvent(SDL_KEYUP, SDL_SCANCODE_LSHIFT, SDLK_LSHIFT, KMOD_NONE);
  const SDL_Event rightDown = keyEvent(SDL_KEYDOWN, SDL_SCANCODE_RSHIFT, SDLK_RSHIFT, KMOD_NONE);
  const SDL_Event rightUp = keyEvent(SDL_KEYUP, SDL_SCANCODE_RSHIFT, SDLK_RSHIFT, KMOD_NONE);
  const SDL_Event capsDown = keyEvent(SDL_KEYDOWN, SDL_SCANCODE_CAPSLOCK, SDLK_CAPSLOCK, KMOD_NONE);
  const std::vector<HeldCase> cases = {
      {"nothing", {}, false, false},
      {"left", {leftDown}, true, false},
      {"right", {rightDown}, false, true},
      {"both", {leftDown, rightDown}, true, true},
      {"left let go", {leftDown, rightDown, leftUp}, false, true},
      {"right let go", {leftDown, rightDown, rightUp}, true, false},
      {"focus lost", {leftDown, rightDown, focusLost}, false, false},
      {"Caps Lock is no Shift", {capsDown}, false, false},
  };
  for (const HeldCase& c : cases) {
    SCOPED_TRACE(c.name);
    InputState input;
    for (const SDL_Event& event : c.events) recordEvent(input, event, 1);
    EXPECT_EQ(input.down[scancodes::kLeftShift], c.leftShift);
    EXPECT_EQ(input.down[scancodes::kRightShift], c.rightShift);
  }
}

// The PC's set-1 scancodes, written out from its keyboard's own list, for
// the physical keys as SDL names them (the browser's names are checked
// against the same list in tests/web).
struct PhysicalKey {
  SDL_Scancode sdl;
  int set1;
};

// clang-format off
const PhysicalKey kPhysicalKeys[] = {
    {SDL_SCANCODE_ESCAPE, 1},
    {SDL_SCANCODE_1, 2}, {SDL_SCANCODE_2, 3}, {SDL_SCANCODE_3, 4},
    {SDL_SCANCODE_4, 5}, {SDL_SCANCODE_5, 6}, {SDL_SCANCODE_6, 7},
    {SDL_SCANCODE_7, 8}, {SDL_SCANCODE_8, 9}, {SDL_SCANCODE_9, 10},
    {SDL_SCANCODE_0, 11},
    {SDL_SCANCODE_MINUS, 12}, {SDL_SCANCODE_EQUALS, 13},
    {SDL_SCANCODE_BACKSPACE, 14}, {SDL_SCANCODE_TAB, 15},
    {SDL_SCANCODE_Q, 16}, {SDL_SCANCODE_W, 17}, {SDL_SCANCODE_E, 18},
    {SDL_SCANCODE_R, 19}, {SDL_SCANCODE_T, 20}, {SDL_SCANCODE_Y, 21},
    {SDL_SCANCODE_U, 22}, {SDL_SCANCODE_I, 23}, {SDL_SCANCODE_O, 24},
    {SDL_SCANCODE_P, 25},
    {SDL_SCANCODE_LEFTBRACKET, 26}, {SDL_SCANCODE_RIGHTBRACKET, 27},
    {SDL_SCANCODE_RETURN, 28},
    {SDL_SCANCODE_LCTRL, 29}, {SDL_SCANCODE_RCTRL, 29},
    {SDL_SCANCODE_A, 30}, {SDL_SCANCODE_S, 31}, {SDL_SCANCODE_D, 32},
    {SDL_SCANCODE_F, 33}, {SDL_SCANCODE_G, 34}, {SDL_SCANCODE_H, 35},
    {SDL_SCANCODE_J, 36}, {SDL_SCANCODE_K, 37}, {SDL_SCANCODE_L, 38},
    {SDL_SCANCODE_SEMICOLON, 39}, {SDL_SCANCODE_APOSTROPHE, 40},
    {SDL_SCANCODE_GRAVE, 41}, {SDL_SCANCODE_LSHIFT, 42},
    {SDL_SCANCODE_BACKSLASH, 43}, {SDL_SCANCODE_NONUSHASH, 43},
    {SDL_SCANCODE_Z, 44}, {SDL_SCANCODE_X, 45}, {SDL_SCANCODE_C, 46},
    {SDL_SCANCODE_V, 47}, {SDL_SCANCODE_B, 48}, {SDL_SCANCODE_N, 49},
    {SDL_SCANCODE_M, 50},
    {SDL_SCANCODE_COMMA, 51}, {SDL_SCANCODE_PERIOD, 52},
    {SDL_SCANCODE_SLASH, 53}, {SDL_SCANCODE_RSHIFT, 54},
    {SDL_SCANCODE_LALT, 56}, {SDL_SCANCODE_RALT, 56},
    {SDL_SCANCODE_SPACE, 57}, {SDL_SCANCODE_CAPSLOCK, 58},
    {SDL_SCANCODE_F1, 59}, {SDL_SCANCODE_F2, 60}, {SDL_SCANCODE_F3, 61},
    {SDL_SCANCODE_F4, 62}, {SDL_SCANCODE_F5, 63}, {SDL_SCANCODE_F6, 64},
    {SDL_SCANCODE_F7, 65}, {SDL_SCANCODE_F8, 66}, {SDL_SCANCODE_F9, 67},
    {SDL_SCANCODE_F10, 68},
    {SDL_SCANCODE_HOME, 71}, {SDL_SCANCODE_UP, 72},
    {SDL_SCANCODE_PAGEUP, 73}, {SDL_SCANCODE_LEFT, 75},
    {SDL_SCANCODE_RIGHT, 77}, {SDL_SCANCODE_END, 79},
    {SDL_SCANCODE_DOWN, 80}, {SDL_SCANCODE_PAGEDOWN, 81},
    {SDL_SCANCODE_INSERT, 82}, {SDL_SCANCODE_DELETE, 83},
    {SDL_SCANCODE_NONUSBACKSLASH, 86},
    {SDL_SCANCODE_F11, 87}, {SDL_SCANCODE_F12, 88},
};
// clang-format on

TEST(PhysicalKeys, SdlGivesEachKeyItsPcScancode) {
  std::vector<bool> listed(SDL_NUM_SCANCODES, false);
  for (const PhysicalKey& key : kPhysicalKeys) {
    SCOPED_TRACE(key.set1);
    EXPECT_EQ(set1Of(key.sdl), key.set1) << "SDL scancode " << key.sdl;
    listed[static_cast<std::size_t>(key.sdl)] = true;
  }
  // Every other SDL key (the keypad, media keys, ...) is unmapped.
  for (int code = 0; code < SDL_NUM_SCANCODES; ++code) {
    if (!listed[static_cast<std::size_t>(code)]) {
      EXPECT_EQ(set1Of(static_cast<SDL_Scancode>(code)), 0) << "SDL scancode " << code;
    }
  }
}

}  // namespace
