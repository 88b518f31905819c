#pragma once
// The window in a web page: the framebuffer goes to a <canvas>, input comes
// from the page's DOM events, pauses yield to the browser, and program files
// live in the browser's storage (IndexedDB).

#include <memory>
#include <string>

#include "ui/platform.h"

std::unique_ptr<Platform> makeWebPlatform();

// Mounts the browser's storage at `root` and reads back what earlier visits
// kept there; false when the browser keeps nothing (then files live until
// the page is closed, and the page says so).
bool mountBrowserStorage(const std::string& root);
// Writes what changed under the mounted root to the browser's storage and
// waits for it; false when that failed.
bool persistBrowserStorage();
// The same without waiting, for what could be written again if it were lost.
void persistBrowserStorageLater();
