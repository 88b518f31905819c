// Any character specification, text, key, length and column: the edit is
// safe, reads at most one key, and once it has read one never leaves the text
// longer than the maximum; a malformed specification changes nothing.
#include <cstdint>
#include <algorithm>
#include <cstdlib>
#include <string>
#include <string_view>

#include "program/line_edit.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 4) return 0;
  const int32_t maxLength = data[0] % 64;
  int32_t column = static_cast<int8_t>(data[1]);
  const size_t specLength = data[2] % 16;
  const size_t keyLength = data[3] % 3;
  std::string_view rest(reinterpret_cast<const char*>(data + 4), size - 4);
  const std::string_view spec = rest.substr(0, specLength);
  rest.remove_prefix(spec.size());
  const std::string key(rest.substr(0, keyLength));
  rest.remove_prefix(key.size());
  bool keyTaken = false;
  std::string keyOut;
  const std::string result = applyKeyToLine(rest, spec, keyOut, maxLength, column, [&] {
    if (keyTaken) std::abort();  // at most one key per call
    keyTaken = true;
    return key;
  });
  if (keyTaken) {
    if (static_cast<int32_t>(result.size()) > std::max<int32_t>(maxLength, 0)) std::abort();
  } else if (result != rest || !keyOut.empty()) {
    std::abort();  // a malformed specification hands the text back untouched
  }
  return 0;
}
