// Buttons: drawing, hit tests on the frame, and waiting for the release.

#include "ui/button.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gfx/screen.h"
#include "platform/headless/headless_platform.h"
#include "support/glyph_check.h"

using namespace akkusim;

namespace {

constexpr MouseButtons kLeft{.left = true};
constexpr MouseButtons kLeftAndRight{.left = true, .right = true};
constexpr MouseButtons kRight{.right = true};

MouseReading at(int32_t x, int32_t y, MouseButtons buttons = kLeft) {
  return MouseReading{true, x, y, 0, buttons};
}

struct ButtonScreen : ::testing::Test {
  void SetUp() override { ASSERT_TRUE(openScreen(screen, kScreenWidth, kScreenHeight).ok()); }
  // Leftmost column with a pixel of the colour inside the button's fill.
  int32_t firstTextColumn(const Button& b, uint32_t colour) {
    for (int32_t x = b.bounds.x + 2; x < right(b.bounds); ++x) {
      for (int32_t y = b.bounds.y + 2; y < bottom(b.bounds) - 1; ++y) {
        if (pixelAt(screen.window, x, y) == colour) return x;
      }
    }
    return -1;
  }
  HeadlessPlatform platform;
  Screen screen{platform};
};

TEST(Button, ConstructionGivesTheDefaultColoursAndIsActive) {
  const Button b = makeButton({30, 130, 80, 15}, "Laden");
  EXPECT_TRUE(b.active);
  EXPECT_EQ(b.frameActive, 0x000000u);
  EXPECT_EQ(b.frameInactive, 0x9F9F9Fu);
  EXPECT_EQ(b.fillActive, 0xFFFFFFu);
  EXPECT_EQ(b.textInactive, 0x9F9F9Fu);
  EXPECT_EQ(b.label, "Laden");
}

TEST_F(ButtonScreen, DrawsFrameFillAndCentredLabel) {
  fillBox(screen.window, 0, 0, 200, 200, kRed);
  const Button b = makeButton({30, 130, 80, 15}, "Laden");
  drawButton(screen, b);
  EXPECT_EQ(pixelAt(screen.window, 30, 130), kBlack);
  EXPECT_EQ(pixelAt(screen.window, 110, 145), kBlack);  // frame includes (x + w, y + h)
  EXPECT_EQ(pixelAt(screen.window, 111, 145), kRed);
  EXPECT_EQ(pixelAt(screen.window, 31, 131), kRed);  // the ring between frame and fill
  EXPECT_EQ(pixelAt(screen.window, 32, 132), kWhite);
  EXPECT_EQ(pixelAt(screen.window, 108, 143), kWhite);
  EXPECT_EQ(pixelAt(screen.window, 109, 144), kRed);
  // "Laden" starts at (51, 134): the L's stem is in the cell's first columns.
  const int32_t left = firstTextColumn(b, kBlack);
  EXPECT_GE(left, 51);
  EXPECT_LE(left, 52);
  for (int32_t y = 132; y < 134; ++y) EXPECT_EQ(pixelAt(screen.window, 60, y), kWhite);
}

TEST_F(ButtonScreen, LongLabelsAreCutToTheWidth) {
  struct Case {
    std::string label;
    int32_t cellX;  // where the first character's cell starts
  };
  const std::vector<Case> cases = {{"Speicher", 30 + 9}, {"ABCDEFGHIJKLMN", 30 + 1}};
  for (const Case& c : cases) {
    fillBox(screen.window, 0, 0, 200, 200, kWhite);
    const Button b = makeButton({30, 130, 80, 15}, c.label);
    drawButton(screen, b);
    const int32_t left = firstTextColumn(b, kBlack);
    EXPECT_GE(left, c.cellX) << c.label;
    EXPECT_LE(left, c.cellX + 1) << c.label;
    // Nothing of an eleventh character right of the tenth cell, nor past the frame.
    for (int32_t x = c.cellX + 80; x < 109; ++x) {
      for (int32_t y = 132; y < 144; ++y) EXPECT_EQ(pixelAt(screen.window, x, y), kWhite);
    }
    EXPECT_FALSE(anyPixel(screen.window, 111, 130, 200, 145, kBlack)) << c.label;
  }
}

TEST_F(ButtonScreen, LabelIsConvertedForTheFont) {
  const Button b = makeButton({30, 130, 80, 15}, "\xc3\xa4");  // "ä" in UTF-8
  drawButton(screen, b);
  Image expected = *createImage(8, 8, kWhite);
  drawText(expected, 0, 0, "\x84", kBlack);
  for (int32_t y = 0; y < 8; ++y) {
    for (int32_t x = 0; x < 8; ++x) {
      EXPECT_EQ(pixelAt(screen.window, 67 + x, 134 + y), pixelAt(expected, x, y));
    }
  }
}

TEST_F(ButtonScreen, DisablingRedrawsInGreyAndEnablingInBlack) {
  Button b = makeButton({30, 130, 80, 15}, "Reset");
  disableButton(screen, b);
  EXPECT_FALSE(b.active);
  EXPECT_EQ(pixelAt(screen.window, 30, 130), kGrey);
  EXPECT_NE(firstTextColumn(b, kGrey), -1);
  enableButton(screen, b);
  EXPECT_TRUE(b.active);
  EXPECT_EQ(pixelAt(screen.window, 30, 130), kBlack);
  EXPECT_EQ(firstTextColumn(b, kGrey), -1);
}

TEST(ButtonPressed, AcceptsThePointerOnTheFrameWithExactlyTheWantedButtons) {
  const Button b = makeButton({30, 130, 80, 15}, "Laden");
  struct Case {
    MouseReading mouse;
    bool pressed;
  };
  const std::vector<Case> cases = {
      {at(30, 130), true},      {at(110, 145), true},
      {at(70, 137), true},      {at(111, 130), false},
      {at(29, 137), false},     {at(70, 146), false},
      {at(70, 129), false},     {at(70, 137, kLeftAndRight), false},
      {at(70, 137, {}), false}, {MouseReading{}, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(buttonPressed(c.mouse, b, ButtonFilter::LeftAlone), c.pressed)
        << c.mouse.x << "," << c.mouse.y << " left " << c.mouse.buttons.left << " right "
        << c.mouse.buttons.right;
  }
  EXPECT_TRUE(buttonPressed(at(70, 137, kLeftAndRight), b, ButtonFilter::Any));
}

TEST(ButtonPressed, DisabledButtonNeverReports) {
  Button b = makeButton({30, 130, 80, 15}, "Laden");
  b.active = false;
  EXPECT_FALSE(buttonPressed(at(70, 137), b, ButtonFilter::LeftAlone));
  EXPECT_FALSE(buttonPressed(at(70, 137), b, ButtonFilter::Any));
}

TEST(MouseInRect, IsStrictOnAllFourSides) {
  const std::vector<std::pair<MouseReading, bool>> cases = {
      {at(431, 1), true},     {at(1098, 798), true}, {at(430, 400), false},
      {at(1099, 400), false}, {at(800, 0), false},   {at(800, 799), false},
  };
  for (const auto& [mouse, inside] : cases) {
    EXPECT_EQ(mouseInRect(mouse, {430, 0, 669, 799}, ButtonFilter::Any), inside)
        << mouse.x << "," << mouse.y;
  }
  EXPECT_FALSE(mouseInRect(at(500, 400, kRight), {430, 0, 669, 799}, ButtonFilter::LeftAlone));
  EXPECT_FALSE(
      mouseInRect(MouseReading{false, 500, 400, 0, {}}, {430, 0, 669, 799}, ButtonFilter::Any));
}

TEST(ButtonPressed, HugeButtonGeometryDoesNotWrap) {
  const Button b = makeButton({INT32_MAX - 5, INT32_MAX - 5, 10, 10}, "x");
  EXPECT_FALSE(buttonPressed(at(0, 0), b, ButtonFilter::LeftAlone));
  EXPECT_FALSE(buttonPressed(at(2, 2), b, ButtonFilter::LeftAlone));
}

TEST_F(ButtonScreen, WaitForReleaseWithoutAPressPollsOnce) {
  platform.wheel(2);
  MouseReading mouse;
  const double before = platform.nowMs();
  EXPECT_EQ(waitForRelease(screen, mouse), 2);
  EXPECT_EQ(platform.pollCount(), 1);
  EXPECT_NEAR(platform.nowMs() - before, 1.0, 0.05);
}

TEST(WaitForRelease, WaitsForEveryButtonAndReturnsTheWheel) {
  for (const int32_t held : {1, 2, 4, 3}) {
    HeadlessPlatform platform;
    Screen screen{platform};
    ASSERT_TRUE(openScreen(screen, kScreenWidth, kScreenHeight).ok());
    platform.moveTo(50, 50).press(held).wait(20).wheel(-3).release();
    MouseReading mouse;

    EXPECT_EQ(waitForRelease(screen, mouse), -3) << held;

    EXPECT_GE(platform.nowMs(), 20.0) << held;
    EXPECT_FALSE(anyHeld(mouse.buttons)) << held;
  }
}

TEST_F(ButtonScreen, WaitForReleaseEndsWhenThePointerLeaves) {
  platform.moveTo(50, 50).press(1).wait(20).leaveWindow();
  MouseReading mouse;
  EXPECT_EQ(waitForRelease(screen, mouse), -1);
  EXPECT_FALSE(mouse.inside);
}

}  // namespace
