#pragma once
// Drawing primitives on an Image (the window's framebuffer or an off-screen
// image). Both points of a shape are included; boxes take their corners in
// any order; everything is clipped to the target.

#include <cstdint>
#include <string_view>

#include "gfx/image.h"

namespace akkusim {

// Fractional coordinates: nearest pixel, halves away from zero.
int32_t roundPixel(double value);

void drawLine(Image& target, int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t colour);
void drawLineRel(Image& target, int32_t x, int32_t y, int32_t dx, int32_t dy, uint32_t colour);
void drawBox(Image& target, int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t colour);
void drawBoxRel(Image& target, int32_t x, int32_t y, int32_t dx, int32_t dy, uint32_t colour);
void fillBox(Image& target, int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t colour);
void fillBoxRel(Image& target, int32_t x, int32_t y, int32_t dx, int32_t dy, uint32_t colour);

// Every byte as its 8 x 8 code page 437 glyph, 8 pixels apart; only the set
// glyph pixels are painted.
void drawText(Image& target, int32_t x, int32_t y, std::string_view text, uint32_t colour);

// Opaque copy of the whole source with its top-left pixel at (x, y).
void putImage(Image& target, int32_t x, int32_t y, const Image& source);
// Opaque copy of a region of the source (corner clamped into the source),
// still placed at (x, y).
void putImageRegion(Image& target, int32_t x, int32_t y, const Image& source, int32_t regionX,
                    int32_t regionY, int32_t regionDx, int32_t regionDy);

}  // namespace akkusim
