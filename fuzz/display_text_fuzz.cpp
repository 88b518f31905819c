// Any bytes through the display conversion: never longer, ASCII unchanged.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "text/display_text.h"

using namespace akkusim;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const std::string shown = toDisplayText(text);
  if (shown.size() > text.size()) std::abort();
  bool ascii = true;
  for (unsigned char c : text) ascii = ascii && c < 0x80;
  if (ascii && shown != text) std::abort();
  return 0;
}
