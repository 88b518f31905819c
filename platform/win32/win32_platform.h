#pragma once
// The window on Windows.

#include <memory>

#include "base/result.h"
#include "gfx/platform.h"

namespace akkusim {

// `scale` 1..4 shows every framebuffer pixel as scale x scale pixels; 0
// picks the largest that fits the work area.
// A one-line reason when the window cannot be opened.
Result<std::unique_ptr<Platform>> makeWin32Platform(int scale);

}  // namespace akkusim
