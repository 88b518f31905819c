#pragma once
// The single-line edit operation shared by the editor and the file
// chooser's name field.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace akkusim {

// What the edit makes of a key. Callers translate their keyboard's keys:
// every typed byte (Backspace, 8, included) is a Character, the cursor keys
// Left, Right and Delete have kinds of their own, and any other key is
// Other, which the edit reads but ignores.
enum class EditKeyKind : uint8_t { Character, Left, Right, Delete, Other };

struct EditKey {
  EditKeyKind kind = EditKeyKind::Other;
  char character = 0;

  friend constexpr bool operator==(const EditKey&, const EditKey&) = default;
};

using EditKeyReader = std::function<std::optional<EditKey>()>;

// Reads at most one key through `readKey` (not at all when the character
// rules are malformed) and hands it back in `key`; returns the edited text.
std::string applyKeyToLine(std::string_view text, std::string_view characterRules,
                           std::optional<EditKey>& key, int32_t maxLength, int32_t& column,
                           const EditKeyReader& readKey);

// Length without trailing tabs and blanks.
int32_t trimmedLength(std::string_view text);

}  // namespace akkusim
