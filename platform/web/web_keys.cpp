#include "platform/web/web_keys.h"

#include <array>
#include <optional>
#include <utility>

#include "text/cp437.h"

namespace akkusim {
namespace {

struct Named {
  std::string_view name;
  Key key;
};

// Browsers name the keys that type no character; these are the ones the
// desktop window delivers.
const std::array<Named, 17> kNamedKeys{{
    {"Enter", keys::kEnter},
    {"Backspace", keys::kBackspace},
    {"Tab", keys::kTab},
    {"Escape", keys::kEscape},
    {"ArrowLeft", keys::kLeft},
    {"ArrowRight", keys::kRight},
    {"ArrowUp", keys::kUp},
    {"ArrowDown", keys::kDown},
    {"Home", keys::kHome},
    {"End", keys::kEnd},
    {"PageUp", keys::kPageUp},
    {"PageDown", keys::kPageDown},
    {"Delete", keys::kDelete},
    {"F1", keys::kF1},
    {"F2", keys::kF2},
    {"F8", keys::kF8},
    {"F9", keys::kF9},
}};

// The physical keys by their place on a US layout, which is what the
// browser's `code` names (a German "Z" key is "KeyY").
constexpr std::array<std::pair<std::string_view, int32_t>, 77> kScancodes{{
    {"Escape", 1},
    {"Digit1", 2},
    {"Digit2", 3},
    {"Digit3", 4},
    {"Digit4", 5},
    {"Digit5", 6},
    {"Digit6", 7},
    {"Digit7", 8},
    {"Digit8", 9},
    {"Digit9", 10},
    {"Digit0", 11},
    {"Minus", 12},
    {"Equal", 13},
    {"Backspace", 14},
    {"Tab", 15},
    {"KeyQ", 16},
    {"KeyW", 17},
    {"KeyE", 18},
    {"KeyR", 19},
    {"KeyT", 20},
    {"KeyY", 21},
    {"KeyU", 22},
    {"KeyI", 23},
    {"KeyO", 24},
    {"KeyP", 25},
    {"BracketLeft", 26},
    {"BracketRight", 27},
    {"Enter", 28},
    {"NumpadEnter", 28},
    {"ControlLeft", 29},
    {"ControlRight", 29},
    {"KeyA", 30},
    {"KeyS", 31},
    {"KeyD", 32},
    {"KeyF", 33},
    {"KeyG", 34},
    {"KeyH", 35},
    {"KeyJ", 36},
    {"KeyK", 37},
    {"KeyL", 38},
    {"Semicolon", 39},
    {"Quote", 40},
    {"Backquote", 41},
    {"ShiftLeft", 42},
    {"Backslash", 43},
    {"KeyZ", 44},
    {"KeyX", 45},
    {"KeyC", 46},
    {"KeyV", 47},
    {"KeyB", 48},
    {"KeyN", 49},
    {"KeyM", 50},
    {"Comma", 51},
    {"Period", 52},
    {"Slash", 53},
    {"ShiftRight", 54},
    {"AltLeft", 56},
    {"AltRight", 56},
    {"Space", 57},
    {"CapsLock", 58},
    {"F1", 59},
    {"F2", 60},
    {"F3", 61},
    {"F4", 62},
    {"F5", 63},
    {"F6", 64},
    {"F7", 65},
    {"F8", 66},
    {"F9", 67},
    {"F10", 68},
    {"Home", 71},
    {"PageUp", 73},
    {"End", 79},
    {"PageDown", 81},
    {"Insert", 82},
    {"Delete", 83},
    {"IntlBackslash", 86},
}};

// Exactly one Unicode character, or nothing.
std::optional<char32_t> singleCharacter(std::string_view text) {
  std::size_t at = 0;
  if (text.empty()) return std::nullopt;
  const char32_t character = cp437_detail::decodeUtf8(text, at);
  if (at != text.size() || character == 0xFFFFFFFF) return std::nullopt;
  return character;
}

}  // namespace

std::optional<Key> keyFromBrowser(std::string_view key, uint32_t modifiers) {
  for (const Named& named : kNamedKeys) {
    if (named.name == key) return named.key;
  }
  const std::optional<char32_t> character = singleCharacter(key);
  if (!character) return std::nullopt;
  // Ctrl and Alt together are AltGr on many systems, which types "@", "{"
  // or "\" on a German keyboard; Ctrl or the command key alone make a
  // browser shortcut.
  const bool altGr = (modifiers & kModifierCtrl) != 0 && (modifiers & kModifierAlt) != 0;
  if (!altGr && (modifiers & (kModifierCtrl | kModifierMeta)) != 0) return std::nullopt;
  const int byte = cp437ByteOf(*character);
  if (byte < 0) return std::nullopt;
  return keys::character(static_cast<uint8_t>(byte));
}

int32_t scancodeFromBrowserCode(std::string_view code) {
  for (const auto& [name, scancode] : kScancodes) {
    if (name == code) return scancode;
  }
  return 0;
}

}  // namespace akkusim
