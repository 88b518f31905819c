#include <gtest/gtest.h>

#include <string>

#include "gfx/key.h"
#include "platform/web/web_input.h"
#include "platform/web/web_keys.h"

using namespace akkusim;

namespace {

TEST(WebInput, KeyQueueKeepsTheNewestFifteenInOrder) {
  WebInput input;
  const std::string typed = "abcdefghijklmnopq";  // 17 keys
  for (const char c : typed) applyKeyDown(input, std::string(1, c), "", 0);
  for (const char c : typed.substr(2)) {
    EXPECT_EQ(readKey(input), keys::character(static_cast<uint8_t>(c)));
  }
  EXPECT_EQ(readKey(input), std::nullopt);
}

TEST(WebInput, KeysThatTypeNothingLeaveTheQueueAlone) {
  WebInput input;
  applyKeyDown(input, "Shift", "ShiftLeft", 0);
  applyKeyDown(input, "r", "KeyR", kModifierCtrl);
  EXPECT_EQ(readKey(input), std::nullopt);
  EXPECT_TRUE(isKeyDown(input, 42));
}

TEST(WebInput, HeldKeysFollowDownAndUpAndAreReleasedByAFocusChange) {
  WebInput input;
  applyKeyDown(input, "Shift", "ShiftRight", 0);
  EXPECT_TRUE(isKeyDown(input, 54));
  applyKeyUp(input, "ShiftRight");
  EXPECT_FALSE(isKeyDown(input, 54));
  applyKeyDown(input, "Shift", "ShiftLeft", 0);
  applyFocus(input, false);
  EXPECT_FALSE(isKeyDown(input, 42));
  EXPECT_FALSE(isKeyDown(input, 200));
  EXPECT_FALSE(isKeyDown(input, -1));
}

TEST(WebInput, AClickBetweenTwoReadingsIsSeenOnce) {
  WebInput input;
  applyButton(input, 70, 137, 0, true);
  applyButton(input, 70, 137, 0, false);
  const MouseReading first = readMouse(input);
  EXPECT_TRUE(first.inside);
  EXPECT_EQ(first.buttons, MouseButtons{.left = true});
  EXPECT_EQ(first.x, 70);
  EXPECT_EQ(first.y, 137);
  EXPECT_FALSE(anyHeld(readMouse(input).buttons));
}

TEST(WebInput, DomButtonNumbersBecomeTheDesktopMask) {
  WebInput input;
  applyButton(input, 1, 1, 2, true);  // right
  applyButton(input, 1, 1, 1, true);  // middle
  EXPECT_EQ(readMouse(input).buttons, (MouseButtons{.right = true, .middle = true}));
  applyButton(input, 1, 1, 2, false);
  EXPECT_EQ(readMouse(input).buttons, MouseButtons{.middle = true});
}

TEST(WebInput, ReadingsOffTheCanvasOrWithoutFocusFail) {
  struct Case {
    int32_t x;
    int32_t y;
    bool focused;
    bool inside;
  };
  for (const Case& c :
       {Case{0, 0, true, true}, Case{1099, 799, true, true}, Case{1100, 10, true, false},
        Case{10, 800, true, false}, Case{-1, 10, true, false}, Case{10, 10, false, false}}) {
    WebInput input;
    applyWheel(input, 3);
    applyFocus(input, c.focused);
    applyPointerMove(input, c.x, c.y);
    const MouseReading reading = readMouse(input);
    EXPECT_EQ(reading.inside, c.inside) << c.x << "," << c.y;
    EXPECT_EQ(reading.wheel, c.inside ? 3 : -1);
    EXPECT_EQ(reading.x, c.inside ? c.x : -1);
  }
}

TEST(WebInput, APressOffTheCanvasIsNotRememberedForLater) {
  WebInput input;
  applyButton(input, 1200, 10, 0, true);
  applyButton(input, 1200, 10, 0, false);
  EXPECT_FALSE(readMouse(input).inside);
  applyPointerMove(input, 10, 10);
  EXPECT_FALSE(anyHeld(readMouse(input).buttons));
}

}  // namespace
