#pragma once
// The window in a web page: the framebuffer goes to a <canvas>, input comes
// from the page's DOM events, pauses yield to the browser, and program files
// live in the browser's storage (IndexedDB).

#include <filesystem>
#include <memory>
#include <string>

#include "gfx/platform.h"

namespace akkusim {

// Where the learner's files live: `folder` under the storage's mount point,
// seeded from `examples` on the first visit.
struct BrowserFolder {
  std::filesystem::path folder;
  std::filesystem::path examples;
};

// The first pause of any polling loop (the first frame is drawn by then, and
// nothing has read the folder yet) waits for the storage started by
// startBrowserStorage and seeds the folder.
std::unique_ptr<Platform> makeWebPlatform(BrowserFolder files);

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

}  // namespace akkusim
