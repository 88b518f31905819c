#pragma once
// Framebuffer pixels onto the window's surface, scaled up.

#include <SDL.h>

#include <cstdint>
#include <vector>

#include "platform/sdl/sdl_library.h"
#include "platform/window/frame_diff.h"

namespace akkusim {

// Writes a rectangle of the framebuffer `shown` (`width` pixels a row) into
// the surface, every pixel as scale x scale pixels; returns the window
// rectangle written (clipped to the surface, empty when outside).
// `scratchRow` holds a row on its way to a surface of another pixel format.
SDL_Rect paintScaled(const SdlLibrary& sdl, SDL_Surface& surface, const Rect& rect,
                     const uint32_t* shown, int32_t width, int scale,
                     std::vector<uint32_t>& scratchRow);

}  // namespace akkusim
