#pragma once
// The window's keys as the single-line edit understands them.

#include <optional>

#include "gfx/key.h"
#include "gfx/screen.h"
#include "text/line_edit.h"

namespace akkusim {

inline EditKey editKeyOf(Key key) {
  switch (key.kind) {
    case KeyKind::Character:
      return {EditKeyKind::Character, static_cast<char>(key.code)};
    case KeyKind::Extended:
      if (key == keys::kLeft) return {EditKeyKind::Left, 0};
      if (key == keys::kRight) return {EditKeyKind::Right, 0};
      if (key == keys::kDelete) return {EditKeyKind::Delete, 0};
      return {EditKeyKind::Other, 0};
    case KeyKind::WindowClose:
      return {EditKeyKind::Other, 0};
  }
  return {EditKeyKind::Other, 0};
}

// A reader for applyKeyToLine that takes the next key from the screen and
// keeps it in `read` for the caller's own key handling.
inline EditKeyReader screenKeyReader(Screen& screen, std::optional<Key>& read) {
  return [&screen, &read]() -> std::optional<EditKey> {
    read = readKey(screen);
    if (!read) return std::nullopt;
    return editKeyOf(*read);
  };
}

}  // namespace akkusim
