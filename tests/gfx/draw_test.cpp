// Pixel geometry of the drawing primitives on off-screen images.

#include "gfx/draw.h"

#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <cstdint>
#include <string>
#include <vector>

#include "gfx/font.h"
#include "gfx/image.h"

using namespace akkusim;

namespace {

constexpr uint32_t kPaper = 0xFFFFFF;
constexpr uint32_t kInk = 0x123456;

Image paper(int32_t width, int32_t height) {
  return *createImage(width, height, kPaper);
}

// Every changed pixel, as "x,y" strings in row order.
std::vector<std::string> inked(const Image& image, uint32_t background = kPaper) {
  std::vector<std::string> result;
  for (int32_t y = 0; y < image.height; ++y) {
    for (int32_t x = 0; x < image.width; ++x) {
      if (pixelAt(image, x, y) != background) {
        result.push_back(std::to_string(x) + "," + std::to_string(y));
      }
    }
  }
  return result;
}

int countInked(const Image& image) {
  return static_cast<int>(inked(image).size());
}

const std::vector<std::string> kNinePixels = {"10,10", "11,10", "12,10", "10,11", "11,11",
                                              "12,11", "10,12", "11,12", "12,12"};

TEST(FillBox, RelativeExtentTwoCoversNinePixels) {
  Image image = paper(40, 40);
  fillBoxRel(image, 10, 10, 2, 2, kInk);
  EXPECT_EQ(inked(image), kNinePixels);
}

TEST(FillBox, CornersMayComeInAnyOrder) {
  for (const auto& [x1, y1, x2, y2] : std::vector<std::array<int32_t, 4>>{
           {12, 12, 10, 10}, {10, 12, 12, 10}, {12, 10, 10, 12}, {10, 10, 12, 12}}) {
    Image image = paper(40, 40);
    fillBox(image, x1, y1, x2, y2, kInk);
    EXPECT_EQ(inked(image), kNinePixels) << x1 << "," << y1 << " " << x2 << "," << y2;
  }
}

TEST(FillBox, NegativeRelativeExtentCoversTheSameArea) {
  Image image = paper(40, 40);
  fillBoxRel(image, 12, 12, -2, -2, kInk);
  EXPECT_EQ(inked(image), kNinePixels);
}

TEST(FillBox, ClipsHugeAndNegativeCoordinatesWithoutOverflow) {
  Image image = paper(20, 10);
  fillBox(image, INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX, kInk);
  EXPECT_EQ(countInked(image), 200);

  Image rel = paper(20, 10);
  fillBoxRel(rel, INT32_MAX, INT32_MAX, INT32_MAX, INT32_MAX, kInk);
  fillBoxRel(rel, INT32_MIN, INT32_MIN, INT32_MIN, INT32_MIN, kInk);
  fillBoxRel(rel, 5, 5, INT32_MIN, 0, kInk);  // x from 5 leftwards: 6 pixels of row 5
  EXPECT_EQ(countInked(rel), 6);
  EXPECT_EQ(pixelAt(rel, 0, 5), kInk);
  EXPECT_EQ(pixelAt(rel, 6, 5), kPaper);
}

TEST(FillBox, OutsideTheTargetChangesNothingNotEvenTheVersion) {
  Image image = paper(20, 10);
  const uint64_t before = image.version;
  fillBox(image, 20, 0, 30, 5, kInk);
  fillBox(image, -5, -5, -1, 20, kInk);
  EXPECT_EQ(countInked(image), 0);
  EXPECT_EQ(image.version, before);
  fillBox(image, 19, 9, 25, 25, kInk);
  EXPECT_EQ(inked(image), std::vector<std::string>{"19,9"});
  EXPECT_GT(image.version, before);
}

TEST(DrawBox, OutermostRingOfTheWindow) {
  Image image = paper(1100, 800);
  drawBoxRel(image, 0, 0, 1099, 799, kInk);
  EXPECT_EQ(countInked(image), 2 * 1100 + 2 * 798);
  for (const auto& [x, y] : std::vector<std::pair<int32_t, int32_t>>{
           {0, 0}, {1099, 0}, {0, 799}, {1099, 799}, {550, 0}, {550, 799}, {0, 400}, {1099, 400}}) {
    EXPECT_EQ(pixelAt(image, x, y), kInk) << x << "," << y;
  }
  EXPECT_EQ(pixelAt(image, 1, 1), kPaper);
  EXPECT_EQ(pixelAt(image, 1098, 798), kPaper);
}

TEST(DrawBox, ReversedCornersAndClippedEdges) {
  Image image = paper(10, 10);
  drawBox(image, 12, 12, 5, 5, kInk);  // right and bottom edges fall outside
  EXPECT_EQ(countInked(image), 5 + 4);
  EXPECT_EQ(pixelAt(image, 5, 5), kInk);
  EXPECT_EQ(pixelAt(image, 9, 5), kInk);
  EXPECT_EQ(pixelAt(image, 5, 9), kInk);
  EXPECT_EQ(pixelAt(image, 6, 6), kPaper);
}

TEST(DrawLine, IncludesBothEndsInEitherDirection) {
  Image image = paper(20, 20);
  drawLine(image, 3, 4, 7, 4, kInk);
  drawLineRel(image, 10, 9, 0, -5, kInk);
  EXPECT_EQ(countInked(image), 5 + 6);
  EXPECT_EQ(pixelAt(image, 3, 4), kInk);
  EXPECT_EQ(pixelAt(image, 7, 4), kInk);
  EXPECT_EQ(pixelAt(image, 10, 4), kInk);
  EXPECT_EQ(pixelAt(image, 10, 9), kInk);
}

TEST(DrawLine, DiagonalHasOnePixelPerStepAndSurvivesFarEnds) {
  Image image = paper(20, 20);
  drawLine(image, 0, 0, 9, 9, kInk);
  EXPECT_EQ(countInked(image), 10);
  EXPECT_EQ(pixelAt(image, 9, 9), kInk);

  Image far = paper(20, 20);
  drawLine(far, INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX, kInk);
  EXPECT_EQ(countInked(far), 20);
  EXPECT_EQ(pixelAt(far, 19, 19), kInk);
}

TEST(DrawLine, ShallowAndSteepLinesRoundTheMinorAxisAlike) {
  // (0, 0) to (8, 2): y is x / 4 rounded, halves away from zero; the steep
  // line (0, 0) to (2, 8) is its mirror image.
  const int32_t minor[9] = {0, 0, 1, 1, 1, 1, 2, 2, 2};
  Image shallow = paper(12, 12);
  drawLine(shallow, 0, 0, 8, 2, kInk);
  Image steep = paper(12, 12);
  drawLine(steep, 0, 0, 2, 8, kInk);

  EXPECT_EQ(countInked(shallow), 9);
  EXPECT_EQ(countInked(steep), 9);
  for (int32_t major = 0; major <= 8; ++major) {
    EXPECT_EQ(pixelAt(shallow, major, minor[major]), kInk) << major;
    EXPECT_EQ(pixelAt(steep, minor[major], major), kInk) << major;
  }
}

TEST(RoundPixel, HalvesGoAwayFromZero) {
  const std::vector<std::pair<double, int32_t>> cases = {
      {0.5, 1},   {1.5, 2},    {2.49, 2},    {-0.5, -1},
      {-1.5, -2}, {-2.49, -2}, {151.0, 151}, {1e12, INT32_MAX}};
  for (const auto& [value, expected] : cases) EXPECT_EQ(roundPixel(value), expected) << value;
}

TEST(DrawText, StaysInsideItsCellsAndKeepsTheBackground) {
  Image image = *createImage(60, 40, 0xABCDEF);
  drawText(image, 20, 20, "ab", kInk);
  int painted = 0;
  for (int32_t y = 0; y < 40; ++y) {
    for (int32_t x = 0; x < 60; ++x) {
      const uint32_t p = pixelAt(image, x, y);
      if (p == 0xABCDEF) continue;
      EXPECT_EQ(p, kInk);
      EXPECT_TRUE(x >= 20 && x <= 35 && y >= 20 && y <= 27) << x << "," << y;
      ++painted;
    }
  }
  int glyphBits = 0;
  for (const unsigned char c : std::string("ab")) {
    for (const uint8_t bits : kFont8x8[c]) glyphBits += __builtin_popcount(bits);
  }
  EXPECT_EQ(painted, glyphBits);  // exactly the glyph pixels; the rest kept its colour
}

TEST(DrawText, EveryByteIsItsGlyphIncludingTheUpperHalf) {
  for (const int code : {0x84, 0xFF, 0x0D, 0x00, 0xE1}) {
    Image image = paper(8, 8);
    drawText(image, 0, 0, std::string(1, static_cast<char>(code)), kInk);
    for (int32_t y = 0; y < 8; ++y) {
      for (int32_t x = 0; x < 8; ++x) {
        const bool set = (kFont8x8[code][y] & (0x80 >> x)) != 0;
        EXPECT_EQ(pixelAt(image, x, y), set ? kInk : kPaper) << code << " " << x << "," << y;
      }
    }
  }
  EXPECT_NE(kFont8x8[0x84], kFont8x8['a']);  // the umlaut has its dots
}

TEST(DrawText, PartlyVisibleCellsAreClippedAtEveryEdge) {
  const std::string text(5, static_cast<char>(0xDB));  // full block: every pixel set
  struct Case {
    int32_t x, y;
    int pixels;
  };
  const std::vector<Case> cases = {
      {-3, 0, 37 * 8},  // the first cell loses 3 columns
      {-37, 2, 3 * 8},  // only the last 3 columns of the last cell
      {-40, 0, 0},      // entirely left of the image
      {30, 0, 10 * 8},  // cut at the right edge after 10 columns
      {0, -5, 40 * 3},  // three rows visible at the top
      {0, 17, 40 * 3},  // three rows visible at the bottom
      {INT32_MIN, INT32_MIN, 0},
      {INT32_MAX, 0, 0},
      {INT32_MAX - 7, 0, 0},
  };
  for (const Case& c : cases) {
    Image image = paper(40, 20);
    drawText(image, c.x, c.y, text, kInk);
    EXPECT_EQ(countInked(image), c.pixels) << c.x << "," << c.y;
  }
}

TEST(Images, CreationRefusesEmptySizesAndFills) {
  EXPECT_FALSE(createImage(0, 5, kInk).has_value());
  EXPECT_FALSE(createImage(5, -1).has_value());
  EXPECT_FALSE(createImage(INT32_MAX, INT32_MAX).has_value());
  const Image image = *createImage(3, 2, kInk);
  EXPECT_EQ(countInked(image), 6);
  EXPECT_EQ(pixelAt(image, 3, 0), 0u);  // outside reads as 0
}

TEST(Images, DestroyedImageIsSafeToDrawAndCopy) {
  Image image = paper(4, 4);
  destroyImage(image);
  EXPECT_EQ(image.width, 0);
  fillBox(image, 0, 0, 3, 3, kInk);
  drawText(image, 0, 0, "x", kInk);
  Image target = paper(4, 4);
  putImage(target, 0, 0, image);
  putImage(image, 0, 0, target);
  EXPECT_EQ(countInked(target), 0);
  EXPECT_EQ(image.width, 0);
  EXPECT_TRUE(image.pixels.empty());
}

TEST(PutImage, CopiesOpaquelyAndClips) {
  Image source = *createImage(3, 2, kPaper);  // "white" pixels must still replace the target's
  fillBox(source, 0, 0, 0, 1, kInk);
  Image target = *createImage(10, 10, 0);
  putImage(target, 8, 9, source);
  EXPECT_EQ(pixelAt(target, 8, 9), kInk);
  EXPECT_EQ(pixelAt(target, 9, 9), kPaper);
  EXPECT_EQ(pixelAt(target, 8, 8), 0u);
  putImage(target, -2, -1, source);
  EXPECT_EQ(pixelAt(target, 0, 0), kPaper);
  EXPECT_EQ(pixelAt(target, 1, 0), 0u);
  // Far outside in both directions: an offset that wraps around would land
  // inside.
  const std::vector<uint32_t> before = target.pixels;
  putImage(target, INT32_MAX, INT32_MIN, source);
  putImage(target, INT32_MIN, INT32_MAX, source);
  putImage(target, INT32_MIN, INT32_MIN, source);
  putImage(target, INT32_MAX - 1, 9, source);
  EXPECT_EQ(target.pixels, before);
}

TEST(PutImageRegion, ShortListCopiesOnlyItsOwnRows) {
  Image list = *createImage(450, 45, kInk);
  Image window = paper(1100, 800);
  putImageRegion(window, 260, 245, list, 0, 0, 449, 344);
  for (int32_t y = 240; y < 300; ++y) {
    EXPECT_EQ(pixelAt(window, 300, y) == kInk, y >= 245 && y <= 289) << y;
  }
  EXPECT_EQ(pixelAt(window, 709, 250), kInk);
  EXPECT_EQ(pixelAt(window, 710, 250), kPaper);
}

TEST(PutImageRegion, RegionCornersAreClampedIntoTheSource) {
  Image source = paper(10, 10);
  for (int32_t y = 0; y < 10; ++y) {
    for (int32_t x = 0; x < 10; ++x)
      source.pixels[static_cast<std::size_t>(y * 10 + x)] = 100 * y + x;
  }
  struct Case {
    int32_t rx, ry, rdx, rdy;
    int32_t width, height;  // copied area
    uint32_t topLeft;       // source pixel landing at (x, y)
  };
  const std::vector<Case> cases = {
      {2, 3, 4, 1, 5, 2, 302},     {-5, -5, 7, 7, 3, 3, 0},  // clamped at the top left to 0..2
      {8, 8, 100, 100, 2, 2, 808}, {INT32_MAX, 0, INT32_MAX, 0, 1, 1, 9},
      {5, 5, -2, -2, 3, 3, 303},  // negative extent: corners reordered
  };
  for (const Case& c : cases) {
    Image target = *createImage(30, 30, 0xFFFFFFFF);
    putImageRegion(target, 10, 10, source, c.rx, c.ry, c.rdx, c.rdy);
    int copied = 0;
    for (const uint32_t p : target.pixels) copied += p != 0xFFFFFFFF;
    EXPECT_EQ(copied, c.width * c.height) << c.rx << "," << c.ry;
    EXPECT_EQ(pixelAt(target, 10, 10), c.topLeft) << c.rx << "," << c.ry;
  }
}

TEST(PutImage, CopyWithinOneImageMovesRowsIntact) {
  Image image = paper(4, 6);
  for (int32_t y = 0; y < 6; ++y) fillBox(image, 0, y, 3, y, static_cast<uint32_t>(y));
  putImageRegion(image, 0, 2, image, 0, 0, 3, 3);  // rows 0..3 down by 2
  for (int32_t y = 2; y < 6; ++y) EXPECT_EQ(pixelAt(image, 1, y), static_cast<uint32_t>(y - 2));
}

}  // namespace
