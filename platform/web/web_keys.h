#pragma once
// The browser's keyboard events in the terms of the desktop window: the
// `key` value of a keydown becomes the same key code the desktop delivers,
// the `code` value (the key's place on the keyboard) its PC scancode for
// the held-key state.

#include <cstdint>
#include <optional>
#include <string_view>

#include "gfx/key.h"

namespace akkusim {

// Modifier bits as the page reports them with each key.
inline constexpr uint32_t kModifierCtrl = 1;
inline constexpr uint32_t kModifierAlt = 2;
inline constexpr uint32_t kModifierMeta = 4;

// The key for the queue, nothing for a key that types nothing here (a modifier
// alone, a function key, a dead key, a character outside code page 437, or
// a shortcut held with Ctrl or the command key, which the browser keeps).
std::optional<Key> keyFromBrowser(std::string_view key, uint32_t modifiers);

// The set-1 scancode of a physical key, 0 when unmapped.
int32_t scancodeFromBrowserCode(std::string_view code);

}  // namespace akkusim
