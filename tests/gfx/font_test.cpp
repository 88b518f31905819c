#include "gfx/font.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

using namespace akkusim;

namespace {

using Glyph = std::array<uint8_t, 8>;

const Glyph& glyph(int code) {
  return kFont8x8[static_cast<std::size_t>(code)];
}

// Rows and columns as ints, so that a failure prints them as numbers.
int row(const Glyph& g, int y) {
  return g[static_cast<std::size_t>(y)];
}
// A column read top to bottom, the top pixel as bit 7 like a row's leftmost.
int column(const Glyph& g, int x) {
  int bits = 0;
  for (int y = 0; y < 8; ++y) bits |= ((row(g, y) >> (7 - x)) & 1) << (7 - y);
  return bits;
}
int topRow(const Glyph& g) {
  return row(g, 0);
}
int bottomRow(const Glyph& g) {
  return row(g, 7);
}
int leftColumn(const Glyph& g) {
  return column(g, 0);
}
int rightColumn(const Glyph& g) {
  return column(g, 7);
}

// Separate runs of set pixels along one edge: the strokes that cross it.
int strokes(int edge) {
  int runs = 0;
  for (int bit = 7; bit >= 0; --bit) {
    const bool set = (edge >> bit) & 1;
    const bool before = bit < 7 && ((edge >> (bit + 1)) & 1);
    if (set && !before) ++runs;
  }
  return runs;
}

std::string hex(int code) {
  static const char* digits = "0123456789ABCDEF";
  return std::string("0x") + digits[code >> 4] + digits[code & 15];
}

TEST(Font, OnlyNulSpaceAndNoBreakSpaceShareAGlyph) {
  const std::set<int> blanks = {0x00, 0x20, 0xFF};
  for (const int code : blanks) EXPECT_TRUE(glyph(code) == Glyph{}) << hex(code) << " is not blank";
  for (int a = 0; a < 256; ++a) {
    for (int b = a + 1; b < 256; ++b) {
      if (blanks.count(a) != 0 && blanks.count(b) != 0) continue;
      EXPECT_FALSE(glyph(a) == glyph(b)) << hex(a) << " and " << hex(b) << " look the same";
    }
  }
}

enum class Line { None, Single, Double };

struct BoxCase {
  int code;
  Line up, down, left, right;
};

// Which line leaves each box-drawing character on which side.
constexpr Line N = Line::None, S = Line::Single, D = Line::Double;
const std::vector<BoxCase> kBoxCharacters = {
    {0xB3, S, S, N, N}, {0xB4, S, S, S, N}, {0xB5, S, S, D, N}, {0xB6, D, D, S, N},
    {0xB7, N, D, S, N}, {0xB8, N, S, D, N}, {0xB9, D, D, D, N}, {0xBA, D, D, N, N},
    {0xBB, N, D, D, N}, {0xBC, D, N, D, N}, {0xBD, D, N, S, N}, {0xBE, S, N, D, N},
    {0xBF, N, S, S, N}, {0xC0, S, N, N, S}, {0xC1, S, N, S, S}, {0xC2, N, S, S, S},
    {0xC3, S, S, N, S}, {0xC4, N, N, S, S}, {0xC5, S, S, S, S}, {0xC6, S, S, N, D},
    {0xC7, D, D, N, S}, {0xC8, D, N, N, D}, {0xC9, N, D, N, D}, {0xCA, D, N, D, D},
    {0xCB, N, D, D, D}, {0xCC, D, D, N, D}, {0xCD, N, N, D, D}, {0xCE, D, D, D, D},
    {0xCF, S, N, D, D}, {0xD0, D, N, S, S}, {0xD1, N, S, D, D}, {0xD2, N, D, S, S},
    {0xD3, D, N, N, S}, {0xD4, S, N, N, D}, {0xD5, N, S, N, D}, {0xD6, N, D, N, S},
    {0xD7, D, D, S, S}, {0xD8, S, S, D, D}, {0xD9, S, N, S, N}, {0xDA, N, S, N, S},
};

TEST(Font, StraightLinesCrossTheirCellAsOneOrTwoStrokes) {
  const int singleVertical = topRow(glyph(0xB3));
  const int doubleVertical = topRow(glyph(0xBA));
  const int singleHorizontal = leftColumn(glyph(0xC4));
  const int doubleHorizontal = leftColumn(glyph(0xCD));
  EXPECT_EQ(strokes(singleVertical), 1);
  EXPECT_EQ(strokes(doubleVertical), 2);
  EXPECT_EQ(strokes(singleHorizontal), 1);
  EXPECT_EQ(strokes(doubleHorizontal), 2);
  // A straight line runs through its whole cell.
  for (int y = 0; y < 8; ++y) {
    EXPECT_EQ(row(glyph(0xB3), y), singleVertical) << y;
    EXPECT_EQ(row(glyph(0xBA), y), doubleVertical) << y;
  }
  for (int x = 0; x < 8; ++x) {
    EXPECT_EQ(column(glyph(0xC4), x), singleHorizontal) << x;
    EXPECT_EQ(column(glyph(0xCD), x), doubleHorizontal) << x;
  }
}

TEST(Font, BoxCharactersMeetTheirNeighboursWithTheRightLineAtEachEdge) {
  const auto vertical = [](Line line) {
    if (line == Line::None) return 0;
    return topRow(glyph(line == Line::Single ? 0xB3 : 0xBA));
  };
  const auto horizontal = [](Line line) {
    if (line == Line::None) return 0;
    return leftColumn(glyph(line == Line::Single ? 0xC4 : 0xCD));
  };
  // Otherwise every double line could pass for a single one.
  ASSERT_NE(vertical(Line::Single), vertical(Line::Double));
  ASSERT_NE(horizontal(Line::Single), horizontal(Line::Double));
  for (const BoxCase& c : kBoxCharacters) {
    const Glyph& g = glyph(c.code);
    EXPECT_EQ(topRow(g), vertical(c.up)) << hex(c.code) << " top edge";
    EXPECT_EQ(bottomRow(g), vertical(c.down)) << hex(c.code) << " bottom edge";
    EXPECT_EQ(leftColumn(g), horizontal(c.left)) << hex(c.code) << " left edge";
    EXPECT_EQ(rightColumn(g), horizontal(c.right)) << hex(c.code) << " right edge";
  }
}

enum class Points { Up, Down, Left, Right };
enum class Shape { Triangle, Arrow };

// Pixels on each line across the pointing direction, from the tip to the
// tail, without the empty lines beyond the shape.
std::vector<int> widthsFromTip(const Glyph& g, Points points) {
  std::vector<int> widths;
  for (int i = 0; i < 8; ++i) {
    switch (points) {
      case Points::Up:
        widths.push_back(__builtin_popcount(row(g, i)));
        break;
      case Points::Down:
        widths.push_back(__builtin_popcount(row(g, 7 - i)));
        break;
      case Points::Left:
        widths.push_back(__builtin_popcount(column(g, i)));
        break;
      case Points::Right:
        widths.push_back(__builtin_popcount(column(g, 7 - i)));
        break;
    }
  }
  while (!widths.empty() && widths.back() == 0) widths.pop_back();
  widths.erase(widths.begin(), std::find_if(widths.begin(), widths.end(), [](int w) { return w; }));
  return widths;
}

TEST(Font, TrianglesWidenToTheirBaseAndArrowsEndInAShaft) {
  struct Case {
    int code;
    Points points;
    Shape shape;
  };
  const Case cases[] = {
      {0x10, Points::Right, Shape::Triangle}, {0x11, Points::Left, Shape::Triangle},
      {0x1E, Points::Up, Shape::Triangle},    {0x1F, Points::Down, Shape::Triangle},
      {0x18, Points::Up, Shape::Arrow},       {0x19, Points::Down, Shape::Arrow},
      {0x1A, Points::Right, Shape::Arrow},    {0x1B, Points::Left, Shape::Arrow},
  };
  for (const Case& c : cases) {
    const std::vector<int> widths = widthsFromTip(glyph(c.code), c.points);
    ASSERT_GE(widths.size(), 3u) << hex(c.code);
    const int widest = *std::max_element(widths.begin(), widths.end());
    EXPECT_LT(widths.front(), widest) << hex(c.code) << " has no tip";
    if (c.shape == Shape::Triangle) {
      EXPECT_TRUE(std::is_sorted(widths.begin(), widths.end())) << hex(c.code) << " narrows";
    } else {
      EXPECT_LT(widths.back(), widest) << hex(c.code) << " has no shaft";
    }
  }
}

// Program text is drawn byte for byte (see the listing's tests): the two
// bytes of a UTF-8 umlaut show as a single-line tee and a double-line tee.
TEST(Font, TheTwoBytesOfAnUmlautAreTeesTheSecondWithADoubleLine) {
  EXPECT_EQ(topRow(glyph(0xC3)), topRow(glyph(0xB3)));
  EXPECT_EQ(topRow(glyph(0xB6)), topRow(glyph(0xBA)));
  EXPECT_EQ(strokes(topRow(glyph(0xB6))), 2);
}

}  // namespace
