#pragma once
// The window in a web page: the framebuffer goes to a <canvas>, input comes
// from the page's DOM events, and pauses yield to the browser.

#include <memory>

#include "gfx/platform.h"

namespace akkusim {

std::unique_ptr<Platform> makeWebPlatform();

}  // namespace akkusim
