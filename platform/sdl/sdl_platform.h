#pragma once
// The real window through SDL2.

#include <cstdint>
#include <memory>
#include <string>

#include "base/result.h"
#include "gfx/platform.h"

namespace akkusim {

// `scale` 1..4 shows every framebuffer pixel as scale x scale pixels; 0
// picks the largest that fits the display.
// A one-line reason when no display is available.
Result<std::unique_ptr<Platform>> makeSdlPlatform(int scale);

// What the window has shown so far: frames and the time spent on them
// (writing the changed parts and sending them), for measurements.
struct SdlPresentStats {
  int64_t frames = 0;
  int64_t micros = 0;
};
// Zero for a platform that is not the SDL window.
SdlPresentStats sdlPresentStats(const Platform& platform);

}  // namespace akkusim
