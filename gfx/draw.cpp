#include "gfx/draw.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "gfx/font.h"

namespace akkusim {

namespace {

// A target is drawable only while its pixel buffer matches its size (a
// destroyed image has none).
bool usable(const Image& image) {
  return image.width > 0 && image.height > 0 &&
         image.pixels.size() ==
             static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height);
}

// Four pixels at a time: a portable vector type that both compilers turn
// into SIMD instructions even where loops are not auto-vectorised.
using Pixels4 = uint32_t __attribute__((vector_size(16)));

void fillPixels(uint32_t* out, std::size_t count, uint32_t colour) {
  const Pixels4 four = {colour, colour, colour, colour};
  std::size_t i = 0;
  for (; i + 4 <= count; i += 4) std::memcpy(out + i, &four, sizeof four);
  for (; i < count; ++i) out[i] = colour;
}

uint32_t* row(Image& image, int64_t y) {
  return image.pixels.data() + y * image.width;
}

const uint32_t* row(const Image& image, int64_t y) {
  return image.pixels.data() + y * image.width;
}

// Fills the ordered rectangle after clipping it; coordinates are 64-bit so
// that any int32 corner or extent is safe.
void fillClipped(Image& target, int64_t x1, int64_t y1, int64_t x2, int64_t y2, uint32_t colour) {
  if (!usable(target)) return;
  if (x1 > x2) std::swap(x1, x2);
  if (y1 > y2) std::swap(y1, y2);
  x1 = std::max<int64_t>(x1, 0);
  y1 = std::max<int64_t>(y1, 0);
  x2 = std::min<int64_t>(x2, target.width - 1);
  y2 = std::min<int64_t>(y2, target.height - 1);
  if (x1 > x2 || y1 > y2) return;
  const auto count = static_cast<std::size_t>(x2 - x1 + 1);
  // The first row by hand, the others copied from it (the library copy is
  // faster than any store loop written here).
  const uint32_t* first = row(target, y1) + x1;
  fillPixels(row(target, y1) + x1, count, colour);
  for (int64_t y = y1 + 1; y <= y2; ++y) {
    std::memcpy(row(target, y) + x1, first, count * sizeof(uint32_t));
  }
  ++target.version;
}

// Rounds num / den (den > 0) to the nearest integer, halves away from zero.
int64_t roundDiv(__int128 num, __int128 den) {
  if (num >= 0) return static_cast<int64_t>((2 * num + den) / (2 * den));
  return -static_cast<int64_t>((-2 * num + den) / (2 * den));
}

void lineClipped(Image& target, int64_t x1, int64_t y1, int64_t x2, int64_t y2, uint32_t colour) {
  if (x1 == x2 || y1 == y2) {
    fillClipped(target, x1, y1, x2, y2, colour);
    return;
  }
  if (!usable(target)) return;
  const int64_t dx = x2 - x1;
  const int64_t dy = y2 - y1;
  // Walk the major axis over its clipped range only, so that far-away end
  // points cost nothing; the minor coordinate is rounded from it.
  struct Axis {
    int64_t start;
    int64_t delta;
    int64_t size;
  };
  const bool alongX = std::llabs(dx) >= std::llabs(dy);
  const Axis horizontal{x1, dx, target.width};
  const Axis vertical{y1, dy, target.height};
  const Axis& major = alongX ? horizontal : vertical;
  const Axis& minor = alongX ? vertical : horizontal;
  const int64_t majorEnd = major.start + major.delta;
  const int64_t from = std::max<int64_t>(std::min(major.start, majorEnd), 0);
  const int64_t to = std::min<int64_t>(std::max(major.start, majorEnd), major.size - 1);
  const int64_t length = std::llabs(major.delta);
  const int64_t direction = major.delta < 0 ? -1 : 1;
  bool touched = false;
  for (int64_t along = from; along <= to; ++along) {
    const int64_t across =
        minor.start +
        roundDiv(static_cast<__int128>(along - major.start) * minor.delta, length) * direction;
    if (across < 0 || across >= minor.size) continue;
    row(target, alongX ? across : along)[alongX ? along : across] = colour;
    touched = true;
  }
  if (touched) ++target.version;
}

void boxClipped(Image& target, int64_t x1, int64_t y1, int64_t x2, int64_t y2, uint32_t colour) {
  if (x1 > x2) std::swap(x1, x2);
  if (y1 > y2) std::swap(y1, y2);
  fillClipped(target, x1, y1, x2, y1, colour);
  fillClipped(target, x1, y2, x2, y2, colour);
  fillClipped(target, x1, y1, x1, y2, colour);
  fillClipped(target, x2, y1, x2, y2, colour);
}

// For each glyph row byte, the eight pixel masks (bit 7 leftmost), so that a
// glyph row is painted by a branch-free, vectorisable select.
using RowMasks = std::array<std::array<uint32_t, 8>, 256>;

constexpr RowMasks makeRowMasks() {
  RowMasks masks{};
  for (int bits = 0; bits < 256; ++bits) {
    for (int column = 0; column < 8; ++column) {
      masks[bits][column] = (bits & (0x80 >> column)) != 0 ? 0xFFFFFFFFu : 0u;
    }
  }
  return masks;
}

constexpr RowMasks kRowMasks = makeRowMasks();

// Copies the source rectangle (sx1, sy1)..(sx2, sy2), already inside the
// source, to (x, y) of the target, clipped.
void copyRect(Image& target, int64_t x, int64_t y, const Image& source, int64_t sx1, int64_t sy1,
              int64_t sx2, int64_t sy2) {
  if (!usable(target)) return;
  int64_t left = x;
  int64_t top = y;
  int64_t right = x + (sx2 - sx1);
  int64_t bottom = y + (sy2 - sy1);
  if (left < 0) {
    sx1 -= left;
    left = 0;
  }
  if (top < 0) {
    sy1 -= top;
    top = 0;
  }
  right = std::min<int64_t>(right, target.width - 1);
  bottom = std::min<int64_t>(bottom, target.height - 1);
  if (left > right || top > bottom) return;
  const auto bytes = static_cast<std::size_t>(right - left + 1) * sizeof(uint32_t);
  // Within one image, rows moving down are copied bottom-up so that no source
  // row is overwritten before it is read.
  const bool same = &target == &source;
  const bool upwards = same && top > sy1;
  for (int64_t n = 0; n <= bottom - top; ++n) {
    const int64_t offset = upwards ? bottom - top - n : n;
    const uint32_t* from = row(source, sy1 + offset) + sx1;
    uint32_t* to = row(target, top + offset) + left;
    if (same) {
      std::memmove(to, from, bytes);
    } else {
      std::memcpy(to, from, bytes);
    }
  }
  ++target.version;
}

}  // namespace

int32_t roundPixel(double value) {
  if (std::isnan(value)) return 0;
  const double rounded = std::round(value);  // halves away from zero
  if (rounded >= 2147483647.0) return 2147483647;
  if (rounded <= -2147483648.0) return -2147483647 - 1;
  return static_cast<int32_t>(rounded);
}

void drawLine(Image& target, int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t colour) {
  lineClipped(target, x1, y1, x2, y2, colour);
}

void drawLineRel(Image& target, int32_t x, int32_t y, int32_t dx, int32_t dy, uint32_t colour) {
  lineClipped(target, x, y, int64_t{x} + dx, int64_t{y} + dy, colour);
}

void drawBox(Image& target, int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t colour) {
  boxClipped(target, x1, y1, x2, y2, colour);
}

void drawBoxRel(Image& target, int32_t x, int32_t y, int32_t dx, int32_t dy, uint32_t colour) {
  boxClipped(target, x, y, int64_t{x} + dx, int64_t{y} + dy, colour);
}

void fillBox(Image& target, int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t colour) {
  fillClipped(target, x1, y1, x2, y2, colour);
}

void fillBoxRel(Image& target, int32_t x, int32_t y, int32_t dx, int32_t dy, uint32_t colour) {
  fillClipped(target, x, y, int64_t{x} + dx, int64_t{y} + dy, colour);
}

void drawText(Image& target, int32_t x, int32_t y, std::string_view text, uint32_t colour) {
  if (!usable(target) || text.empty()) return;
  const int64_t width = target.width;
  // Glyph rows inside the target.
  const int64_t firstRow = std::max<int64_t>(0, -int64_t{y});
  const int64_t lastRow = std::min<int64_t>(7, target.height - 1 - int64_t{y});
  if (firstRow > lastRow) return;
  // Characters whose cell reaches into the target.
  if (int64_t{x} > width - 1) return;
  const int64_t count = static_cast<int64_t>(text.size());
  int64_t first = 0;
  if (x < -7) first = (-int64_t{x} - 7 + 7) / 8;
  int64_t last = count - 1;
  if (int64_t{x} + 8 * last > width - 1) last = (width - 1 - int64_t{x}) / 8;
  if (first > last) return;
  const Pixels4 ink = {colour, colour, colour, colour};
  const auto paintRow = [&](uint32_t* p, const std::array<uint32_t, 8>& mask) {
    for (int half = 0; half < 8; half += 4) {
      Pixels4 pixels;
      Pixels4 select;
      std::memcpy(&pixels, p + half, sizeof pixels);
      std::memcpy(&select, mask.data() + half, sizeof select);
      pixels = (pixels & ~select) | (ink & select);
      std::memcpy(p + half, &pixels, sizeof pixels);
    }
  };
  const int64_t stride = width;
  uint32_t* const top = row(target, int64_t{y} + firstRow);
  for (int64_t i = first; i <= last; ++i) {
    const auto& glyph = kFont8x8[static_cast<uint8_t>(text[static_cast<std::size_t>(i)])];
    const int64_t left = int64_t{x} + 8 * i;
    if (left >= 0 && left + 7 < width) {
      uint32_t* cell = top + left;
      if (firstRow == 0 && lastRow == 7) {  // the common case: the whole cell
        for (std::size_t r = 0; r < 8; ++r) {
          if (glyph[r] != 0) paintRow(cell + static_cast<int64_t>(r) * stride, kRowMasks[glyph[r]]);
        }
      } else {
        for (int64_t r = firstRow; r <= lastRow; ++r) {
          const uint8_t bits = glyph[static_cast<std::size_t>(r)];
          if (bits != 0) paintRow(cell + (r - firstRow) * stride, kRowMasks[bits]);
        }
      }
      continue;
    }
    for (int64_t r = firstRow; r <= lastRow; ++r) {
      const auto& mask = kRowMasks[glyph[static_cast<std::size_t>(r)]];
      uint32_t* line = row(target, int64_t{y} + r);
      for (int c = 0; c < 8; ++c) {
        const int64_t px = left + c;
        if (mask[c] != 0 && px >= 0 && px < width) line[px] = colour;
      }
    }
  }
  // Counted as a change even when only blank cells were drawn: cheaper than
  // tracking it, and a spare present is harmless.
  ++target.version;
}

void putImage(Image& target, int32_t x, int32_t y, const Image& source) {
  if (!usable(source)) return;
  copyRect(target, x, y, source, 0, 0, source.width - 1, source.height - 1);
}

void putImageRegion(Image& target, int32_t x, int32_t y, const Image& source, int32_t regionX,
                    int32_t regionY, int32_t regionDx, int32_t regionDy) {
  if (!usable(source)) return;
  const auto clampX = [&](int64_t v) { return std::clamp<int64_t>(v, 0, source.width - 1); };
  const auto clampY = [&](int64_t v) { return std::clamp<int64_t>(v, 0, source.height - 1); };
  int64_t sx1 = clampX(regionX);
  int64_t sy1 = clampY(regionY);
  int64_t sx2 = clampX(int64_t{regionX} + regionDx);
  int64_t sy2 = clampY(int64_t{regionY} + regionDy);
  if (sx1 > sx2) std::swap(sx1, sx2);
  if (sy1 > sy2) std::swap(sy1, sy2);
  copyRect(target, x, y, source, sx1, sy1, sx2, sy2);
}

}  // namespace akkusim
