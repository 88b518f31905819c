// Scroll views: clamped offsets, the copy to the screen and the scroll bar.

#include "ui/scroll_view.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/headless/headless_platform.h"

using namespace akkusim;

namespace {

struct ViewScreen : ::testing::Test {
  void SetUp() override { ASSERT_TRUE(openScreen(screen, kScreenWidth, kScreenHeight).ok()); }
  HeadlessPlatform platform;
  Screen screen{platform};
};

TEST(ScrollView, ContentSizeZeroOrLessMeansTheVisibleSize) {
  for (const int32_t content : {0, -1}) {
    ScrollView view = makeScrollView({0, 200, 430, 600}, content, content, true, kWhite);
    EXPECT_EQ(view.contentWidth, 430);
    EXPECT_EQ(view.contentHeight, 600);
    EXPECT_EQ(view.image.width, 430);
    EXPECT_EQ(view.image.height, 600);
    EXPECT_TRUE(view.active);
    destroyScrollView(view);
    EXPECT_TRUE(view.image.pixels.empty());
  }
}

TEST(ScrollView, ImageSizeFollowsTheMode) {
  ScrollView whole = makeScrollView({10, 10, 100, 50}, 200, 300, true, kLightGrey);
  ScrollView viewport = makeScrollView({10, 10, 100, 50}, 200, 300, false, kLightGrey);
  EXPECT_EQ(whole.image.width, 200);
  EXPECT_EQ(whole.image.height, 300);
  EXPECT_EQ(viewport.image.width, 100);
  EXPECT_EQ(viewport.image.height, 50);
  EXPECT_EQ(pixelAt(viewport.image, 99, 49), kLightGrey);
}

TEST(ScrollView, ScrollByClampsToTheContent) {
  struct Case {
    int32_t contentHeight;
    std::vector<int32_t> steps;
    int32_t scrollY;
  };
  const std::vector<Case> cases = {
      {500, {10}, 0},           // shorter than the view: stays
      {700, {1000}, 100},       // past the end: content - visible
      {700, {1000, -1000}, 0},  // before the start: 0
      {700, {40, 20}, 60},     {1200, {INT32_MAX, INT32_MAX}, 600}, {1200, {INT32_MIN}, 0},
  };
  for (const Case& c : cases) {
    ScrollView view = makeScrollView({0, 200, 430, 600}, 0, c.contentHeight, false, kWhite);
    for (const int32_t dy : c.steps) scrollBy(view, 0, dy);
    EXPECT_EQ(view.scrollY, c.scrollY) << c.contentHeight;
    EXPECT_EQ(view.scrollX, 0);
  }
  ScrollView wide = makeScrollView({0, 0, 100, 100}, 150, 0, true, kWhite);
  scrollBy(wide, 80, 5);
  EXPECT_EQ(wide.scrollX, 50);
  EXPECT_EQ(wide.scrollY, 0);
}

TEST_F(ViewScreen, ThumbRunsFromOneFiftyOneToFourFortyNine) {
  ScrollView view = makeScrollView({0, 200, 430, 600}, 0, 1200, false, kWhite);
  view.scrollY = 300;
  showView(screen, view, false, true);
  const int32_t thumbX = 430 - 4;
  for (int32_t x = 425; x < 430; ++x) {  // the outline's top and bottom edges
    EXPECT_EQ(pixelAt(screen.window, x, 200), kBlack);
    EXPECT_EQ(pixelAt(screen.window, x, 799), kBlack);
  }
  for (int32_t y = 201; y < 799; ++y) {
    const bool thumb = y >= 200 + 151 && y <= 200 + 449;
    EXPECT_EQ(pixelAt(screen.window, thumbX, y), thumb ? kGrey : kWhite) << y;
    EXPECT_EQ(pixelAt(screen.window, 430 - 2, y), thumb ? kGrey : kWhite) << y;
    EXPECT_EQ(pixelAt(screen.window, 430 - 5, y), kBlack) << y;  // the bar's outline
    EXPECT_EQ(pixelAt(screen.window, 430 - 1, y), kBlack) << y;
  }
}

TEST_F(ViewScreen, NoThumbOrOutlineWhenEverythingFits) {
  fillBox(screen.window, 0, 0, 1099, 799, kRed);
  ScrollView view = makeScrollView({0, 200, 430, 600}, 0, 0, false, kLightGrey);
  showView(screen, view, false, true);
  for (int32_t x = 425; x < 430; ++x) {
    EXPECT_EQ(pixelAt(screen.window, x, 300), x >= 426 ? kWhite : kLightGrey) << x;
  }
  EXPECT_EQ(pixelAt(screen.window, 430, 300), kRed);
}

TEST_F(ViewScreen, ShowViewWithoutFlagsOnlyCopiesTheImage) {
  fillBox(screen.window, 0, 0, 1099, 799, kRed);
  ScrollView view = makeScrollView({100, 100, 50, 40}, 0, 500, false, kLightGrey);
  showView(screen, view, false, false);
  for (int32_t y = 98; y < 142; ++y) {
    for (int32_t x = 98; x < 152; ++x) {
      const bool inside = x >= 100 && x < 150 && y >= 100 && y < 140;
      ASSERT_EQ(pixelAt(screen.window, x, y), inside ? kLightGrey : kRed) << x << "," << y;
    }
  }
}

TEST_F(ViewScreen, FrameIsDrawnAroundTheVisibleArea) {
  ScrollView view = makeScrollView({100, 100, 50, 40}, 0, 0, false, kLightGrey);
  showView(screen, view, true, false);
  EXPECT_EQ(pixelAt(screen.window, 100, 100), kBlack);
  EXPECT_EQ(pixelAt(screen.window, 149, 139), kBlack);
  EXPECT_EQ(pixelAt(screen.window, 150, 139), kWhite);
  EXPECT_EQ(pixelAt(screen.window, 149, 140), kWhite);
  EXPECT_EQ(pixelAt(screen.window, 101, 101), kLightGrey);
}

TEST_F(ViewScreen, WholeContentShowsTheScrolledWindowAndAShortListOnlyItsRows) {
  ScrollView list = makeScrollView({260, 245, 450, 345}, 450, 1000, true, kWhite);
  for (int32_t row = 0; row < 100; ++row) {
    fillBox(list.image, 0, row * 10, 449, row * 10 + 9, static_cast<uint32_t>(row));
  }
  scrollBy(list, 0, 35);
  showView(screen, list, false, false);
  EXPECT_EQ(pixelAt(screen.window, 300, 245), 3u);  // content row 35 at the top
  EXPECT_EQ(pixelAt(screen.window, 300, 589), 37u);

  fillBox(screen.window, 0, 0, 1099, 799, kRed);
  ScrollView shortList = makeScrollView({260, 245, 450, 345}, 450, 45, true, kLightGrey);
  showView(screen, shortList, false, false);
  for (int32_t y = 240; y < 600; ++y) {
    EXPECT_EQ(pixelAt(screen.window, 300, y), y >= 245 && y <= 289 ? kLightGrey : kRed) << y;
  }
}

TEST(ScrollView, PointerOverTheViewCountsLikeAButton) {
  ScrollView view = makeScrollView({260, 245, 450, 345}, 0, 0, true, kWhite);
  EXPECT_TRUE(buttonPressed(MouseReading{true, 260, 245, 3, {}}, view, ButtonFilter::Any));
  EXPECT_TRUE(buttonPressed(MouseReading{true, 710, 590, 3, {}}, view, ButtonFilter::Any));
  EXPECT_FALSE(buttonPressed(MouseReading{true, 711, 300, 3, {}}, view, ButtonFilter::Any));
  EXPECT_FALSE(buttonPressed(MouseReading{true, 300, 300, 3, {.right = true}}, view,
                             ButtonFilter::LeftAlone));
}

}  // namespace
