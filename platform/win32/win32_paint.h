#pragma once
// Framebuffer pixels onto the window with GDI, scaled up.

#include <windows.h>

#include <cstdint>
#include <vector>

#include "gfx/rect.h"

namespace akkusim {

// Draws each rectangle of the framebuffer `shown` (`width` pixels a row,
// 0x00RRGGBB, which is a 32-bit DIB's own order) into the device context,
// every pixel as scale x scale pixels. `scratch` holds one rectangle at a
// time: a DIB handed over whole keeps StretchDIBits away from its
// source-origin rules, which differ between top-down and bottom-up DIBs.
void paintScaled(HDC dc, const std::vector<Rect>& rects, const uint32_t* shown, int32_t width,
                 int scale, std::vector<uint32_t>& scratch);

}  // namespace akkusim
