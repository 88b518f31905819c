#pragma once
// The real window through SDL2.

#include <memory>
#include <string>

#include "ui/platform.h"

// `scale` 1..4 shows every framebuffer pixel as scale x scale pixels.
// Nothing (with a one-line reason in `error`) when no display is available.
std::unique_ptr<Platform> makeSdlPlatform(int scale, std::string& error);
