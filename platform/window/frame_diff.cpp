#include "platform/window/frame_diff.h"

#include <algorithm>
#include <cstring>

namespace akkusim {

void resetFrameDiff(FrameDiff& diff, int32_t width, int32_t height) {
  const auto pixels =
      static_cast<std::size_t>(std::max(width, 0)) * static_cast<std::size_t>(std::max(height, 0));
  diff.width = width;
  diff.height = height;
  diff.staged.assign(pixels, 0);
  diff.shown.assign(pixels, 0);
  diff.dirty.assign(static_cast<std::size_t>(std::max(height, 0)), RowSpan{});
  diff.stagedAny = false;
  diff.pending = false;
}

bool stageFrame(FrameDiff& diff, const Image& frame) {
  if (frame.width != diff.width || frame.height != diff.height ||
      frame.pixels.size() != diff.staged.size()) {
    return false;
  }
  const auto width = static_cast<std::size_t>(diff.width);
  bool changed = false;
  for (int32_t y = 0; y < diff.height; ++y) {
    const uint32_t* from = frame.pixels.data() + static_cast<std::size_t>(y) * width;
    uint32_t* to = diff.staged.data() + static_cast<std::size_t>(y) * width;
    int32_t left = 0;
    int32_t right = diff.width - 1;
    if (diff.stagedAny) {
      if (std::memcmp(from, to, width * sizeof(uint32_t)) == 0) continue;
      while (from[left] == to[left]) ++left;
      while (from[right] == to[right]) --right;
    }
    std::memcpy(to + left, from + left,
                static_cast<std::size_t>(right - left + 1) * sizeof(uint32_t));
    RowSpan& span = diff.dirty[static_cast<std::size_t>(y)];
    span.left = std::min(span.left, left);
    span.right = std::max(span.right, right);
    changed = true;
  }
  diff.stagedAny = true;
  diff.pending |= changed;
  return changed;
}

void takeChanges(FrameDiff& diff, std::vector<Rect>& rects) {
  const auto width = static_cast<std::size_t>(diff.width);
  rects.clear();
  for (int32_t y = 0; y < diff.height; ++y) {
    RowSpan& span = diff.dirty[static_cast<std::size_t>(y)];
    if (span.left > span.right) continue;
    const std::size_t at =
        static_cast<std::size_t>(y) * width + static_cast<std::size_t>(span.left);
    std::copy_n(diff.staged.data() + at, span.right - span.left + 1, diff.shown.data() + at);
    if (!rects.empty() && rects.back().y + rects.back().height == y) {
      Rect& rect = rects.back();
      const int32_t right = std::max(rect.x + rect.width - 1, span.right);
      rect.x = std::min(rect.x, span.left);
      rect.width = right - rect.x + 1;
      ++rect.height;
    } else {
      rects.push_back(Rect{span.left, y, span.right - span.left + 1, 1});
    }
    span = RowSpan{};
  }
  diff.pending = false;
}

}  // namespace akkusim
