#pragma once
// The window in a web page: the framebuffer goes to a <canvas>, input comes
// from the page's DOM events, pauses yield to the browser, and program files
// live in the browser's storage (IndexedDB).

#include <functional>
#include <memory>
#include <string>

#include "ui/platform.h"

// `beforeFirstPause` runs once, before the first pause of any polling loop
// hands the turn to the browser: the first frame is drawn by then, and
// nothing has read the program folder yet.
std::unique_ptr<Platform> makeWebPlatform(std::function<void()> beforeFirstPause);

// Starts mounting the browser's storage at `root` and reading back what
// earlier visits kept there, without waiting.
void startBrowserStorage(const std::string& root);
// Waits for that; false when the browser keeps nothing (then files live
// until the page is closed, and the page says so).
bool waitForBrowserStorage();
// Writes what changed under the mounted root to the browser's storage and
// waits for it; false when that failed.
bool persistBrowserStorage();
// The same without waiting, for what could be written again if it were lost.
void persistBrowserStorageLater();
