#include "platform/window/frame_diff.h"

#include <gtest/gtest.h>

#include <vector>

#include "gfx/image.h"
#include "platform/window/window_scale.h"

using namespace akkusim;

namespace {

Image frameOf(int32_t width, int32_t height, uint32_t fill) {
  return *createImage(width, height, fill);
}

void paint(Image& image, int32_t x, int32_t y, uint32_t colour) {
  image.pixels[static_cast<std::size_t>(y * image.width + x)] = colour;
}

TEST(FrameDiff, FirstFrameIsSentWholeAndAnUnchangedOneNotAtAll) {
  FrameDiff diff;
  resetFrameDiff(diff, 8, 4);
  const Image frame = frameOf(8, 4, 0x123456);
  std::vector<Rect> rects;

  EXPECT_TRUE(stageFrame(diff, frame));
  takeChanges(diff, rects);
  EXPECT_EQ(rects, (std::vector<Rect>{{0, 0, 8, 4}}));
  EXPECT_EQ(diff.shown, frame.pixels);

  EXPECT_FALSE(stageFrame(diff, frame));
  EXPECT_FALSE(diff.pending);
  takeChanges(diff, rects);
  EXPECT_TRUE(rects.empty());
}

TEST(FrameDiff, ChangesBecomeRectanglesOfConsecutiveRowsAsWideAsTheirUnion) {
  struct Case {
    const char* name;
    std::vector<std::pair<int32_t, int32_t>> changed;  // x, y
    std::vector<Rect> expected;
  };
  const std::vector<Case> cases = {
      {"one pixel", {{3, 2}}, {{3, 2, 1, 1}}},
      {"two in a row", {{1, 1}, {6, 1}}, {{1, 1, 6, 1}}},
      {"adjacent rows merge", {{2, 0}, {5, 1}}, {{2, 0, 4, 2}}},
      {"a gap splits", {{0, 0}, {7, 3}}, {{0, 0, 1, 1}, {7, 3, 1, 1}}},
      {"last column", {{7, 0}}, {{7, 0, 1, 1}}},
  };
  for (const Case& c : cases) {
    FrameDiff diff;
    resetFrameDiff(diff, 8, 4);
    Image frame = frameOf(8, 4, 0);
    std::vector<Rect> rects;
    stageFrame(diff, frame);
    takeChanges(diff, rects);

    for (const auto& [x, y] : c.changed) paint(frame, x, y, 0xFF0000);
    EXPECT_TRUE(stageFrame(diff, frame)) << c.name;
    takeChanges(diff, rects);
    EXPECT_EQ(rects, c.expected) << c.name;
    EXPECT_EQ(diff.shown, frame.pixels) << c.name;
  }
}

// Two frames staged before the window thread takes them: both changes go out,
// including a pixel the second frame set back to what the window shows.
TEST(FrameDiff, ChangesStagedTwiceBeforeATakeAccumulate) {
  FrameDiff diff;
  resetFrameDiff(diff, 8, 2);
  Image frame = frameOf(8, 2, 0);
  std::vector<Rect> rects;
  stageFrame(diff, frame);
  takeChanges(diff, rects);

  paint(frame, 1, 0, 0xFF);
  stageFrame(diff, frame);
  paint(frame, 1, 0, 0);
  paint(frame, 5, 0, 0xFF);
  stageFrame(diff, frame);
  takeChanges(diff, rects);

  EXPECT_EQ(rects, (std::vector<Rect>{{1, 0, 5, 1}}));
  EXPECT_EQ(diff.shown, frame.pixels);
}

TEST(FrameDiff, FrameOfAnotherSizeIsIgnored) {
  FrameDiff diff;
  resetFrameDiff(diff, 8, 4);
  EXPECT_FALSE(stageFrame(diff, frameOf(4, 8, 1)));
  EXPECT_FALSE(diff.pending);
}

TEST(WindowScale, LargestWholeScaleWhoseFramedWindowFitsTheUsableArea) {
  struct Case {
    int32_t width;
    int32_t height;
    int expected;
  };
  const std::vector<Case> cases = {
      {1280, 1024, 1}, {1920, 1080, 1}, {2560, 1440, 1}, {2560, 1600, 1}, {3840, 2160, 2},
      {3840, 2100, 2}, {5120, 2880, 3}, {7680, 4320, 4}, {800, 600, 1},   {0, 0, 1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(chooseScale(c.width, c.height, 1100, 800, 16, 64), c.expected)
        << c.width << " x " << c.height;
  }
  // The frame counts: a display exactly as large as the doubled window is not enough.
  EXPECT_EQ(chooseScale(2200, 1600, 1100, 800, 16, 64), 1);
  EXPECT_EQ(chooseScale(2216, 1664, 1100, 800, 16, 64), 2);
}

TEST(WindowScale, WindowCoordinatesMapBackToFramebufferPixels) {
  EXPECT_EQ(unscaled(0, 2), 0);
  EXPECT_EQ(unscaled(5, 2), 2);
  EXPECT_EQ(unscaled(-1, 2), -1);
  EXPECT_EQ(unscaled(-2, 2), -1);
  EXPECT_EQ(unscaled(-3, 2), -2);
}

}  // namespace
