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
    testing::Values(KeyCase{"a", 0, keys::character('a')}, KeyCase{"Z", 0, keys::character('Z')},
                    KeyCase{"7", 0, keys::character('7')}, KeyCase{" ", 0, keys::character(' ')},
                    KeyCase{"#", 0, keys::character('#')},
                    // German letters as code page 437 bytes.
                    KeyCase{"ä", 0, keys::character(0x84)}, KeyCase{"ö", 0, keys::character(0x94)},
                    KeyCase{"ü", 0, keys::character(0x81)}, KeyCase{"Ä", 0, keys::character(0x8E)},
                    KeyCase{"Ö", 0, keys::character(0x99)}, KeyCase{"Ü", 0, keys::character(0x9A)},
                    KeyCase{"ß", 0, keys::character(0xE1)},
                    // AltGr (Ctrl and Alt) types; Ctrl or the command key alone do not.
                    KeyCase{"@", kModifierCtrl | kModifierAlt, keys::character('@')},
                    KeyCase{"a", kModifierCtrl, std::nullopt},
                    KeyCase{"v", kModifierMeta, std::nullopt},
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
                    // Nothing for keys that type nothing or nothing the font has.
                    KeyCase{"Shift", 0, std::nullopt}, KeyCase{"F1", 0, std::nullopt},
                    KeyCase{"Dead", 0, std::nullopt}, KeyCase{"Unidentified", 0, std::nullopt},
                    KeyCase{"€", 0, std::nullopt}, KeyCase{"😀", 0, std::nullopt},
                    KeyCase{"", 0, std::nullopt}, KeyCase{"ab", 0, std::nullopt},
                    KeyCase{"\xC3", 0, std::nullopt}));

TEST(BrowserKeyCode, ShiftKeysAndPlacesOfAUsLayout) {
  EXPECT_EQ(scancodeFromBrowserCode("ShiftLeft"), 42);
  EXPECT_EQ(scancodeFromBrowserCode("ShiftRight"), 54);
  EXPECT_EQ(scancodeFromBrowserCode("KeyA"), 30);
  EXPECT_EQ(scancodeFromBrowserCode("KeyY"), 21);  // "Z" on a German keyboard
  EXPECT_EQ(scancodeFromBrowserCode("ArrowLeft"), 0);
  EXPECT_EQ(scancodeFromBrowserCode(""), 0);
}

}  // namespace
