#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "platform/web/web_keys.h"
#include "program/line_edit.h"

namespace {

struct KeyCase {
  std::string_view key;
  uint32_t modifiers;
  std::string expected;
};

class BrowserKey : public testing::TestWithParam<KeyCase> {};

TEST_P(BrowserKey, ArrivesAsTheDesktopKey) {
  const KeyCase& c = GetParam();
  EXPECT_EQ(keyFromBrowser(c.key, c.modifiers), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, BrowserKey,
    testing::Values(KeyCase{"a", 0, "a"}, KeyCase{"Z", 0, "Z"}, KeyCase{"7", 0, "7"},
                    KeyCase{" ", 0, " "}, KeyCase{"#", 0, "#"},
                    // German letters as code page 437 bytes.
                    KeyCase{"ä", 0, "\x84"}, KeyCase{"ö", 0, "\x94"}, KeyCase{"ü", 0, "\x81"},
                    KeyCase{"Ä", 0, "\x8E"}, KeyCase{"Ö", 0, "\x99"}, KeyCase{"Ü", 0, "\x9A"},
                    KeyCase{"ß", 0, "\xE1"},
                    // AltGr (Ctrl and Alt) types; Ctrl or the command key alone do not.
                    KeyCase{"@", kModifierCtrl | kModifierAlt, "@"},
                    KeyCase{"a", kModifierCtrl, ""}, KeyCase{"v", kModifierMeta, ""},
                    KeyCase{"a", kModifierAlt, "a"}, KeyCase{"Enter", kModifierCtrl, keys::kEnter},
                    // The control and extended keys.
                    KeyCase{"Enter", 0, keys::kEnter}, KeyCase{"Backspace", 0, keys::kBackspace},
                    KeyCase{"Tab", 0, keys::kTab}, KeyCase{"Escape", 0, keys::kEscape},
                    KeyCase{"ArrowLeft", 0, keys::kLeft}, KeyCase{"ArrowRight", 0, keys::kRight},
                    KeyCase{"ArrowUp", 0, keys::kUp}, KeyCase{"ArrowDown", 0, keys::kDown},
                    KeyCase{"Home", 0, keys::kHome}, KeyCase{"End", 0, keys::kEnd},
                    KeyCase{"PageUp", 0, keys::kPageUp}, KeyCase{"PageDown", 0, keys::kPageDown},
                    KeyCase{"Delete", 0, keys::kDelete},
                    // Nothing for keys that type nothing or nothing the font has.
                    KeyCase{"Shift", 0, ""}, KeyCase{"F1", 0, ""}, KeyCase{"Dead", 0, ""},
                    KeyCase{"Unidentified", 0, ""}, KeyCase{"€", 0, ""}, KeyCase{"😀", 0, ""},
                    KeyCase{"", 0, ""}, KeyCase{"ab", 0, ""}, KeyCase{"\xC3", 0, ""}));

TEST(BrowserKeyCode, ShiftKeysAndPlacesOfAUsLayout) {
  EXPECT_EQ(scancodeFromBrowserCode("ShiftLeft"), 42);
  EXPECT_EQ(scancodeFromBrowserCode("ShiftRight"), 54);
  EXPECT_EQ(scancodeFromBrowserCode("KeyA"), 30);
  EXPECT_EQ(scancodeFromBrowserCode("KeyY"), 21);  // "Z" on a German keyboard
  EXPECT_EQ(scancodeFromBrowserCode("ArrowLeft"), 0);
  EXPECT_EQ(scancodeFromBrowserCode(""), 0);
}

}  // namespace
