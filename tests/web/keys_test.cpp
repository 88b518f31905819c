#include <gtest/gtest.h>

#include <optional>
#include <string_view>

#include "gfx/key.h"
#include "platform/web/web_keys.h"

using namespace akkusim;

namespace {

struct KeyCase {
  std::string_view key;
  uint32_t modifiers;
  std::optional<Key> expected;
};

class BrowserKey : public testing::TestWithParam<KeyCase> {};

TEST_P(BrowserKey, ArrivesAsTheDesktopKey) {
  const KeyCase& c = GetParam();
  EXPECT_EQ(keyFromBrowser(c.key, c.modifiers), c.expected) << c.key;
}

INSTANTIATE_TEST_SUITE_P(
    Keys, BrowserKey,
    testing::Values(
        KeyCase{"a", 0, keys::character('a')}, KeyCase{"Z", 0, keys::character('Z')},
        KeyCase{"7", 0, keys::character('7')}, KeyCase{" ", 0, keys::character(' ')},
        KeyCase{"#", 0, keys::character('#')},
        // German letters as code page 437 bytes.
        KeyCase{"ä", 0, keys::character(0x84)}, KeyCase{"ö", 0, keys::character(0x94)},
        KeyCase{"ü", 0, keys::character(0x81)}, KeyCase{"Ä", 0, keys::character(0x8E)},
        KeyCase{"Ö", 0, keys::character(0x99)}, KeyCase{"Ü", 0, keys::character(0x9A)},
        KeyCase{"ß", 0, keys::character(0xE1)},
        // AltGr (Ctrl and Alt) types; Ctrl or the command key alone do not.
        KeyCase{"@", kModifierCtrl | kModifierAlt, keys::character('@')},
        KeyCase{"a", kModifierCtrl, std::nullopt}, KeyCase{"v", kModifierMeta, std::nullopt},
        KeyCase{"a", kModifierAlt, keys::character('a')},
        KeyCase{"Enter", kModifierCtrl, keys::kEnter},
        // The control and extended keys.
        KeyCase{"Enter", 0, keys::kEnter}, KeyCase{"Backspace", 0, keys::kBackspace},
        KeyCase{"Tab", 0, keys::kTab}, KeyCase{"Escape", 0, keys::kEscape},
        KeyCase{"ArrowLeft", 0, keys::kLeft}, KeyCase{"ArrowRight", 0, keys::kRight},
        KeyCase{"ArrowUp", 0, keys::kUp}, KeyCase{"ArrowDown", 0, keys::kDown},
        KeyCase{"Home", 0, keys::kHome}, KeyCase{"End", 0, keys::kEnd},
        KeyCase{"PageUp", 0, keys::kPageUp}, KeyCase{"PageDown", 0, keys::kPageDown},
        KeyCase{"Delete", 0, keys::kDelete},
        // The learner aids' function keys; the browser keeps F5.
        KeyCase{"F1", 0, keys::kF1}, KeyCase{"F2", 0, keys::kF2}, KeyCase{"F8", 0, keys::kF8},
        KeyCase{"F9", 0, keys::kF9}, KeyCase{"F5", 0, std::nullopt},
        // Nothing for keys that type nothing or nothing the font has.
        KeyCase{"Shift", 0, std::nullopt}, KeyCase{"F3", 0, std::nullopt},
        KeyCase{"Dead", 0, std::nullopt}, KeyCase{"Unidentified", 0, std::nullopt},
        KeyCase{"€", 0, std::nullopt}, KeyCase{"😀", 0, std::nullopt}, KeyCase{"", 0, std::nullopt},
        KeyCase{"ab", 0, std::nullopt}, KeyCase{"\xC3", 0, std::nullopt}));

TEST(BrowserKeyCode, ShiftKeysAndPlacesOfAUsLayout) {
  EXPECT_EQ(scancodeFromBrowserCode("ShiftLeft"), 42);
  EXPECT_EQ(scancodeFromBrowserCode("ShiftRight"), 54);
  EXPECT_EQ(scancodeFromBrowserCode("KeyA"), 30);
  EXPECT_EQ(scancodeFromBrowserCode("KeyY"), 21);  // "Z" on a German keyboard
  EXPECT_EQ(scancodeFromBrowserCode("ArrowLeft"), 0);
  EXPECT_EQ(scancodeFromBrowserCode(""), 0);
}

// The PC's set-1 scancodes, written out from its keyboard's own list, for
// the physical keys as the browser names them (SDL's names are checked
// against the same list in tests/platform).
struct PhysicalKey {
  const char* browser;
  int set1;
};

// clang-format off
const PhysicalKey kPhysicalKeys[] = {
    {"Escape", 1},
    {"Digit1", 2}, {"Digit2", 3}, {"Digit3", 4},
    {"Digit4", 5}, {"Digit5", 6}, {"Digit6", 7},
    {"Digit7", 8}, {"Digit8", 9}, {"Digit9", 10},
    {"Digit0", 11},
    {"Minus", 12}, {"Equal", 13},
    {"Backspace", 14}, {"Tab", 15},
    {"KeyQ", 16}, {"KeyW", 17}, {"KeyE", 18},
    {"KeyR", 19}, {"KeyT", 20}, {"KeyY", 21},
    {"KeyU", 22}, {"KeyI", 23}, {"KeyO", 24},
    {"KeyP", 25},
    {"BracketLeft", 26}, {"BracketRight", 27},
    {"Enter", 28}, {"NumpadEnter", 28},
    {"ControlLeft", 29}, {"ControlRight", 29},
    {"KeyA", 30}, {"KeyS", 31}, {"KeyD", 32},
    {"KeyF", 33}, {"KeyG", 34}, {"KeyH", 35},
    {"KeyJ", 36}, {"KeyK", 37}, {"KeyL", 38},
    {"Semicolon", 39}, {"Quote", 40},
    {"Backquote", 41}, {"ShiftLeft", 42},
    {"Backslash", 43},
    {"KeyZ", 44}, {"KeyX", 45}, {"KeyC", 46},
    {"KeyV", 47}, {"KeyB", 48}, {"KeyN", 49},
    {"KeyM", 50},
    {"Comma", 51}, {"Period", 52},
    {"Slash", 53}, {"ShiftRight", 54},
    {"AltLeft", 56}, {"AltRight", 56},
    {"Space", 57}, {"CapsLock", 58},
    {"F1", 59}, {"F2", 60}, {"F3", 61},
    {"F4", 62}, {"F5", 63}, {"F6", 64},
    {"F7", 65}, {"F8", 66}, {"F9", 67},
    {"F10", 68},
    {"Home", 71},
    {"PageUp", 73},
    {"End", 79},
    {"PageDown", 81},
    {"Insert", 82}, {"Delete", 83},
    {"IntlBackslash", 86},
};
// clang-format on

TEST(BrowserKeyCode, EachKeyGivesItsPcScancode) {
  for (const PhysicalKey& key : kPhysicalKeys) {
    EXPECT_EQ(scancodeFromBrowserCode(key.browser), key.set1) << key.browser;
  }
}

}  // namespace
