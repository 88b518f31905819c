// Boxes: their edges, hit tests strict on every side, and no wrap at the ends
// of the int32 range.

#include "gfx/rect.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

using namespace akkusim;

namespace {

TEST(Rect, EdgesSaturateInsteadOfWrapping) {
  struct Case {
    Rect rect;
    int32_t right;
    int32_t bottom;
    int32_t lastColumn;
    int32_t lastRow;
  };
  const std::vector<Case> cases = {
      {{30, 130, 80, 15}, 110, 145, 109, 144},
      {{0, 0, 0, 0}, 0, 0, -1, -1},
      {{INT32_MAX - 5, INT32_MAX - 5, 10, 10}, INT32_MAX, INT32_MAX, INT32_MAX, INT32_MAX},
      {{INT32_MIN, INT32_MIN, 0, -1}, INT32_MIN, INT32_MIN, INT32_MIN, INT32_MIN},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(right(c.rect), c.right) << c.rect.x;
    EXPECT_EQ(bottom(c.rect), c.bottom) << c.rect.y;
    EXPECT_EQ(lastColumn(c.rect), c.lastColumn) << c.rect.x;
    EXPECT_EQ(lastRow(c.rect), c.lastRow) << c.rect.y;
  }
}

TEST(Rect, GrownAndMovedKeepTheOtherSides) {
  const Rect box{30, 130, 80, 15};
  const Rect frame = grown(box, 1);
  EXPECT_EQ(frame.x, 29);
  EXPECT_EQ(frame.y, 129);
  EXPECT_EQ(right(frame), 111);
  EXPECT_EQ(bottom(frame), 146);
  const Rect inside = grown(box, -2);
  EXPECT_EQ(inside.x, 32);
  EXPECT_EQ(right(inside), 108);
  EXPECT_EQ(bottom(inside), 143);
  const Rect shifted = moved(box, 5, -7);
  EXPECT_EQ(shifted.x, 35);
  EXPECT_EQ(shifted.y, 123);
  EXPECT_EQ(shifted.width, 80);
  EXPECT_EQ(shifted.height, 15);
  EXPECT_EQ(moved(Rect{INT32_MAX - 1, INT32_MIN + 1, 1, 1}, 5, -5).x, INT32_MAX);
  EXPECT_EQ(moved(Rect{INT32_MAX - 1, INT32_MIN + 1, 1, 1}, 5, -5).y, INT32_MIN);
}

TEST(Rect, ContainsOnlyWhatIsStrictlyInside) {
  const Rect box{430, 0, 669, 799};
  struct Case {
    int32_t x;
    int32_t y;
    bool inside;
  };
  const std::vector<Case> cases = {
      {431, 1, true},
      {1098, 798, true},
      {430, 400, false},
      {1099, 400, false},
      {800, 0, false},
      {800, 799, false},
      {INT32_MIN, INT32_MIN, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(contains(box, c.x, c.y), c.inside) << c.x << "," << c.y;
  }
  const Rect far{INT32_MAX - 5, INT32_MAX - 5, 10, 10};
  EXPECT_TRUE(contains(far, INT32_MAX, INT32_MAX));
  EXPECT_FALSE(contains(far, 0, 0));
}

}  // namespace
