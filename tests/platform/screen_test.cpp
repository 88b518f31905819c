// The window services of gfx/screen.h, on the headless platform: start-up,
// presents, locks, grabs and input forwarding.

#include "gfx/screen.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/headless/headless_platform.h"

using namespace akkusim;

namespace {

struct OpenScreen : ::testing::Test {
  void SetUp() override {
    ASSERT_TRUE(openScreen(screen, kScreenWidth, kScreenHeight).ok());
    setColors(screen, kBlack, kWhite);
    clearScreen(screen);
  }
  // Lets the present throttle expire.
  void idle() { platform.sleepMs(20); }
  HeadlessPlatform platform;
  Screen screen{platform};
};

TEST_F(OpenScreen, StartUpLeavesAWhiteWindow) {
  EXPECT_EQ(screen.window.width, 1100);
  EXPECT_EQ(screen.window.height, 800);
  EXPECT_EQ(pixelAt(screen.window, 0, 0), kWhite);
  EXPECT_EQ(pixelAt(screen.window, 1099, 799), kWhite);
}

TEST_F(OpenScreen, ClearingFillsWithTheBackground) {
  fillBox(screen.window, 0, 0, 1099, 799, kRed);
  setColors(screen, kBlack, kLightGrey);
  clearScreen(screen);
  EXPECT_EQ(pixelAt(screen.window, 550, 400), kLightGrey);
}

TEST(Screen, RefusesAnInvalidWindow) {
  HeadlessPlatform platform;
  Screen screen(platform);
  const Status opened = openScreen(screen, 0, 800);
  ASSERT_FALSE(opened.ok());
  EXPECT_EQ(opened.reason(),
            "ung\xC3\xBCltige Fenstergr\xC3\xB6\xC3\x9F"
            "e");
}

TEST_F(OpenScreen, ChangesAreShownByThePollingCallsAtMostEverySixteenMs) {
  idle();
  const int64_t before = platform.presentCount();
  fillBox(screen.window, 0, 0, 10, 10, kRed);
  readMouse(screen);
  EXPECT_EQ(platform.presentCount(), before + 1);
  fillBox(screen.window, 0, 0, 10, 10, kBlack);
  readKey(screen);
  isKeyDown(screen, 42);
  EXPECT_EQ(platform.presentCount(), before + 1);  // too soon after the last one
  for (int i = 0; i < 20; ++i) sleepMs(screen, 1);
  EXPECT_EQ(platform.presentCount(), before + 2);
  for (int i = 0; i < 40; ++i) sleepMs(screen, 1);
  EXPECT_EQ(platform.presentCount(), before + 2);  // nothing changed: nothing presented
}

TEST_F(OpenScreen, NestedLocksShowTheWindowOnlyAfterTheLastUnlock) {
  idle();
  const int64_t before = platform.presentCount();
  lockScreen(screen);
  lockScreen(screen);
  fillBox(screen.window, 0, 0, 10, 10, kRed);
  for (int i = 0; i < 30; ++i) sleepMs(screen, 1);
  unlockScreen(screen);
  for (int i = 0; i < 30; ++i) sleepMs(screen, 1);
  EXPECT_EQ(platform.presentCount(), before);
  unlockScreen(screen);
  EXPECT_EQ(platform.presentCount(), before + 1);
  unlockScreen(screen);  // an extra unlock does not underflow the depth
  EXPECT_EQ(screen.lockDepth, 0);
}

TEST_F(OpenScreen, ForcedRefreshIgnoresTheRateButNotTheLock) {
  fillBox(screen.window, 0, 0, 10, 10, kRed);
  refreshScreen(screen, true);
  const int64_t after = platform.presentCount();
  fillBox(screen.window, 0, 0, 10, 10, kBlack);
  refreshScreen(screen, true);
  EXPECT_EQ(platform.presentCount(), after + 1);
  lockScreen(screen);
  fillBox(screen.window, 0, 0, 10, 10, kRed);
  refreshScreen(screen, true);
  EXPECT_EQ(platform.presentCount(), after + 1);
}

TEST_F(OpenScreen, GrabCopiesTheInclusiveRectangle) {
  fillBox(screen.window, 100, 50, 102, 51, kRed);
  Image image = *createImage(5, 5, kLightGreen);
  ASSERT_TRUE(grabImage(screen, 100, 50, 2, 1, image));
  EXPECT_EQ(pixelAt(image, 0, 0), kRed);
  EXPECT_EQ(pixelAt(image, 2, 1), kRed);
  EXPECT_EQ(pixelAt(image, 3, 0), kLightGreen);
  EXPECT_EQ(pixelAt(image, 0, 2), kLightGreen);
  ASSERT_TRUE(grabImage(screen, 1095, 795, 4, 4, image));  // up to the last pixel
  EXPECT_EQ(pixelAt(image, 4, 4), kWhite);
}

TEST_F(OpenScreen, GrabReachingOutsideTheWindowCopiesNothing) {
  struct Case {
    int32_t x, y, dx, dy;
  };
  const std::vector<Case> cases = {{-1, 10, 10, 10},     {10, -1, 10, 10},
                                   {1090, 10, 10, 10},   {10, 790, 10, 10},
                                   {10, 10, -2, 3},      {INT32_MAX, 0, INT32_MAX, 0},
                                   {0, 0, INT32_MAX, 0}, {0, 0, 20, 2}};  // last: image too small
  for (const Case& c : cases) {
    Image image = *createImage(11, 11, kLightGreen);
    EXPECT_FALSE(grabImage(screen, c.x, c.y, c.dx, c.dy, image)) << c.x << "," << c.y;
    for (const uint32_t p : image.pixels) ASSERT_EQ(p, kLightGreen);
  }
}

TEST_F(OpenScreen, InputIsForwardedFromThePlatform) {
  platform.moveTo(40, 50).press(1).wheel(2).shift(true).key(keys::character('x'));
  sleepMs(screen, 1);
  const MouseReading m = readMouse(screen);
  EXPECT_TRUE(m.inside);
  EXPECT_EQ(m.x, 40);
  EXPECT_EQ(m.y, 50);
  EXPECT_EQ(m.wheel, 2);
  EXPECT_EQ(m.buttons, MouseButtons{.left = true});
  EXPECT_TRUE(isKeyDown(screen, 42));
  EXPECT_EQ(readKey(screen), keys::character('x'));
}

}  // namespace
