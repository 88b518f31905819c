#include "platform/web/web_share.h"

#include <emscripten.h>

#include <cstdlib>
#include <memory>

// The page side lives in web/share.js: Module.sharedLink resolves to
// { text }, { failure } or nothing.
EM_ASYNC_JS(char*, akkusim_shared_link_text, (), {
  const link = Module.sharedLink ? await Module.sharedLink : null;
  if (!link || typeof link.text != 'string') return 0;
  const size = lengthBytesUTF8(link.text) + 1;
  const text = _malloc(size);
  if (text) stringToUTF8(link.text, text, size);
  return text;
});
EM_JS(void, akkusim_shared_link_opened, (const char* failure), {
  if (typeof Module.onSharedLink == 'function') Module.onSharedLink(UTF8ToString(failure));
});

namespace akkusim {

std::optional<std::string> takeSharedLinkText() {
  const std::unique_ptr<char, decltype(&std::free)> text(akkusim_shared_link_text(), &std::free);
  if (!text) return std::nullopt;
  return std::string(text.get());
}

void reportSharedLink(std::string_view failure) {
  akkusim_shared_link_opened(std::string(failure).c_str());
}

}  // namespace akkusim
