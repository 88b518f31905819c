#pragma once
// The real window through SDL2.

#include <cstdint>
#include <memory>
#include <string>

#include "gfx/platform.h"

namespace akkusim {

// `scale` 1..4 shows every framebuffer pixel as scale x scale pixels; 0
// picks the largest that fits the display.
// Nothing (with a one-line reason in `error`) when no display is available.
std::unique_ptr<Platform> makeSdlPlatform(int scale, std::string& error);

// What the window has shown so far: frames and the time spent on them
// (writing the changed parts and sending them), for measurements.
struct SdlPresentStats {
  int64_t frames = 0;
  int64_t micros = 0;
};
// Zero for a platform that is not the SDL window.
SdlPresentStats sdlPresentStats(const Platform& platform);

}  // namespace akkusim
