#pragma once
// The single-line edit operation shared by the editor and the file
// chooser's name field.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

// Key codes as the keyboard queue delivers them.
namespace keys {
inline const std::string kBackspace{"\x08"};
inline const std::string kTab{"\x09"};
inline const std::string kEnter{"\x0D"};
inline const std::string kEscape{"\x1B"};
inline const std::string kLeft{"\xFFK"};
inline const std::string kRight{"\xFFM"};
inline const std::string kUp{"\xFFH"};
inline const std::string kDown{"\xFFP"};
inline const std::string kHome{"\xFFG"};
inline const std::string kEnd{"\xFFO"};
inline const std::string kPageUp{"\xFFI"};
inline const std::string kPageDown{"\xFFQ"};
inline const std::string kDelete{"\xFFS"};
inline const std::string kWindowClose{"\xFFk"};
}  // namespace keys

using KeyReader = std::function<std::string()>;

// Reads at most one key through `readKey` (not at all for a malformed
// specification) and hands it back in `key`; returns the edited text.
std::string applyKeyToLine(std::string_view text, std::string_view spec, std::string& key,
                           int32_t maxLength, int32_t& column, const KeyReader& readKey);

// Length without trailing tabs and blanks.
int32_t trimmedLength(std::string_view text);
