#pragma once
// The browser's storage (IndexedDB, through the page's web_host.js) as the
// browser program store needs it.

#include <string>

#include "platform/web/program_store.h"

namespace akkusim {

// Starts mounting the browser's storage at `root` and reading back what
// earlier visits kept there, without waiting.
void startBrowserStorage(const std::string& root);

// The page's storage; waiting for it yields to the browser.
BrowserStorage& pageStorage();

}  // namespace akkusim
