#pragma once
// The frames handed to the window, reduced to what changed: the polling
// thread stages each frame (copying only the changed columns of changed
// rows), the window thread takes the changes as rectangles of consecutive
// rows and sends just those. Shared by the real windows; both sides hold
// the caller's lock.

#include <cstdint>
#include <limits>
#include <vector>

#include "gfx/image.h"
#include "gfx/rect.h"

namespace akkusim {

// The columns of a row that changed since the window thread last took
// them; none while left > right.
struct RowSpan {
  int32_t left = std::numeric_limits<int32_t>::max();
  int32_t right = -1;
};

struct FrameDiff {
  int32_t width = 0;
  int32_t height = 0;
  std::vector<uint32_t> staged;  // the frame handed over last
  std::vector<uint32_t> shown;   // what the window shows once the changes are sent
  std::vector<RowSpan> dirty;
  bool stagedAny = false;  // before the first frame every row counts as changed
  bool pending = false;    // changes staged and not yet taken
};

// Black frames of this size, nothing staged.
void resetFrameDiff(FrameDiff& diff, int32_t width, int32_t height);

// Copies what differs from the frame staged last and widens those rows'
// spans; true if anything changed. A frame of another size is ignored.
bool stageFrame(FrameDiff& diff, const Image& frame);

// Takes the staged changes into `shown` and replaces `rects` by the changed
// spans, consecutive rows merged into one rectangle as wide as their union.
void takeChanges(FrameDiff& diff, std::vector<Rect>& rects);

}  // namespace akkusim
