#pragma once
// A box of the window: its top-left pixel and its size. Widgets keep their
// bounds in one, hit tests ask it. Edges computed from it saturate at the
// int32 range instead of wrapping, since drawing clips anything beyond anyway.

#include <cstdint>

namespace akkusim {

struct Rect {
  int32_t x = 0;
  int32_t y = 0;
  int32_t width = 0;
  int32_t height = 0;

  friend bool operator==(const Rect&, const Rect&) = default;
};

// x + width and y + height: the first column and row past a box whose
// corners are both included less one, or the far frame edge of a button.
int32_t right(const Rect& rect);
int32_t bottom(const Rect& rect);
// x + width - 1 and y + height - 1: the last column and row inside, as the
// corners of drawBox and fillBox want them.
int32_t lastColumn(const Rect& rect);
int32_t lastRow(const Rect& rect);
// The same box shifted by (dx, dy).
Rect moved(const Rect& rect, int32_t dx, int32_t dy);
// Grown by `by` on every side (a negative `by` shrinks it).
Rect grown(const Rect& rect, int32_t by);
// Strictly inside on all four sides: the point (x, y) and (right, bottom) are
// both outside.
bool contains(const Rect& rect, int32_t x, int32_t y);

}  // namespace akkusim
