#include "platform/window/window_scale.h"

namespace akkusim {

int chooseScale(int32_t usableWidth, int32_t usableHeight, int32_t width, int32_t height,
                int32_t frameWidth, int32_t frameHeight) {
  for (int scale = kMaxScale; scale > 1; --scale) {
    if (int64_t{width} * scale + frameWidth <= usableWidth &&
        int64_t{height} * scale + frameHeight <= usableHeight) {
      return scale;
    }
  }
  return 1;
}

}  // namespace akkusim
