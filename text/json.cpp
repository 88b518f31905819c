#include "text/json.h"

#include <cstdio>

#include "text/utf8.h"

namespace akkusim {

std::string jsonString(std::string_view text) {
  std::string quoted = "\"";
  for (char c : validUtf8(text)) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      quoted += '\\';
      quoted += c;
    } else if (byte < 0x20) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(byte));
      quoted += escape;
    } else {
      quoted += c;
    }
  }
  return quoted + '"';
}

}  // namespace akkusim
