#include "gfx/rect.h"

#include <algorithm>

namespace akkusim {

namespace {

int32_t saturated(int64_t value) {
  return static_cast<int32_t>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
}

}  // namespace

int32_t right(const Rect& rect) {
  return saturated(int64_t{rect.x} + rect.width);
}

int32_t bottom(const Rect& rect) {
  return saturated(int64_t{rect.y} + rect.height);
}

int32_t lastColumn(const Rect& rect) {
  return saturated(int64_t{rect.x} + rect.width - 1);
}

int32_t lastRow(const Rect& rect) {
  return saturated(int64_t{rect.y} + rect.height - 1);
}

Rect moved(const Rect& rect, int32_t dx, int32_t dy) {
  return Rect{saturated(int64_t{rect.x} + dx), saturated(int64_t{rect.y} + dy), rect.width,
              rect.height};
}

Rect grown(const Rect& rect, int32_t by) {
  return Rect{saturated(int64_t{rect.x} - by), saturated(int64_t{rect.y} - by),
              saturated(int64_t{rect.width} + 2 * int64_t{by}),
              saturated(int64_t{rect.height} + 2 * int64_t{by})};
}

bool contains(const Rect& rect, int32_t x, int32_t y) {
  return rect.x < x && int64_t{x} < int64_t{rect.x} + rect.width && rect.y < y &&
         int64_t{y} < int64_t{rect.y} + rect.height;
}

}  // namespace akkusim
