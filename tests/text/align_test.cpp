#include "text/align.h"

#include <gtest/gtest.h>

using namespace akkusim;

TEST(AlignRight, PadsOrKeepsTheLastCharacters) {
  EXPECT_EQ(alignRight("NOOP", 6), "  NOOP");
  EXPECT_EQ(alignRight("-", 6), "     -");
  EXPECT_EQ(alignRight("MULHUI", 6), "MULHUI");
  EXPECT_EQ(alignRight("ABCDEFGH", 6), "CDEFGH");
  EXPECT_EQ(alignRight("", 3), "   ");
}

TEST(AlignRight, APrintedColumnGrowsForALongerValue) {
  EXPECT_EQ(alignRight("12", 6, Overflow::Widen), "    12");
  EXPECT_EQ(alignRight("10000000", 6, Overflow::Widen), "10000000");
}
