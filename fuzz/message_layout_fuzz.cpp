// Any message text and button string: splitting and geometry stay in range.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "ui/message_box.h"

using namespace akkusim;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const size_t split = data[0] % (size);
  const std::string_view all(reinterpret_cast<const char*>(data + 1), size - 1);
  const std::string_view text = all.substr(0, split);
  const std::string_view buttons = all.substr(std::min(split, all.size()));
  const MessageLayout layout = layoutMessage(text, buttons);
  if (layout.lineCount < 1 || layout.lineCount > 5) std::abort();
  if (layout.fits != (layout.width < 1100 && layout.height < 800)) std::abort();
  if (layout.fits && layout.x + layout.width - 3 > 1099) std::abort();
  return 0;
}
