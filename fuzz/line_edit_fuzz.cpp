// Any character rules, text, key, length and column: the edit is
// safe, reads at most one key, and once it has read one never leaves the text
// longer than the maximum; malformed rules change nothing.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "text/line_edit.h"

using namespace akkusim;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 4) return 0;
  const int32_t maxLength = data[0] % 64;
  int32_t column = static_cast<int8_t>(data[1]);
  const size_t rulesLength = data[2] % 16;
  // data[3]: whether a key comes and its kind; the typed byte follows the
  // character rules.
  const bool hasKey = data[3] % 2 == 1;
  const auto kind = static_cast<EditKeyKind>((data[3] / 2) % 5);
  std::string_view rest(reinterpret_cast<const char*>(data + 4), size - 4);
  const std::string_view rules = rest.substr(0, rulesLength);
  rest.remove_prefix(rules.size());
  std::optional<EditKey> key;
  if (hasKey) {
    key = EditKey{kind, rest.empty() ? '\0' : rest[0]};
    if (!rest.empty()) rest.remove_prefix(1);
  }
  bool keyTaken = false;
  std::optional<EditKey> keyOut;
  const std::string result = applyKeyToLine(rest, rules, keyOut, maxLength, column, [&] {
    if (keyTaken) std::abort();  // at most one key per call
    keyTaken = true;
    return key;
  });
  if (keyTaken) {
    if (static_cast<int32_t>(result.size()) > std::max<int32_t>(maxLength, 0)) std::abort();
  } else if (result != rest || keyOut) {
    std::abort();  // malformed rules hand the text back untouched
  }
  return 0;
}
