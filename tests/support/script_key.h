#pragma once
// A key in a test's script: a named key, or a typed character written as a
// one-character string beside them ({"a", keys::kHome, "z"}).

#include <cstdint>
#include <string_view>

#include "gfx/key.h"

namespace akkusim {

struct ScriptKey {
  ScriptKey(Key named) : key(named) {}  // NOLINT: implicit on purpose
  ScriptKey(const char* typed)          // NOLINT: implicit on purpose
      : key(keys::character(static_cast<uint8_t>(std::string_view(typed).at(0)))) {}
  Key key;
};

}  // namespace akkusim
