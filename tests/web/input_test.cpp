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
  EXPECT_EQ(first.status, 0);
  EXPECT_EQ(first.buttons, 1);
  EXPECT_EQ(first.x, 70);
  EXPECT_EQ(first.y, 137);
  EXPECT_EQ(readMouse(input).buttons, 0);
}

TEST(WebInput, DomButtonNumbersBecomeTheDesktopMask) {
  WebInput input;
  applyButton(input, 1, 1, 2, true);  // right
  applyButton(input, 1, 1, 1, true);  // middle
  EXPECT_EQ(readMouse(input).buttons, 2 | 4);
  applyButton(input, 1, 1, 2, false);
  EXPECT_EQ(readMouse(input).buttons, 4);
}

TEST(WebInput, ReadingsOffTheCanvasOrWithoutFocusFail) {
  struct Case {
    int32_t x;
    int32_t y;
    bool focused;
    int32_t status;
  };
  for (const Case& c : {Case{0, 0, true, 0}, Case{1099, 799, true, 0}, Case{1100, 10, true, 1},
                        Case{10, 800, true, 1}, Case{-1, 10, true, 1}, Case{10, 10, false, 1}}) {
    WebInput input;
    applyWheel(input, 3);
    applyFocus(input, c.focused);
    applyPointerMove(input, c.x, c.y);
    const MouseReading reading = readMouse(input);
    EXPECT_EQ(reading.status, c.status) << c.x << "," << c.y;
    EXPECT_EQ(reading.wheel, c.status == 0 ? 3 : -1);
    EXPECT_EQ(reading.x, c.status == 0 ? c.x : -1);
  }
}

TEST(WebInput, APressOffTheCanvasIsNotRememberedForLater) {
  WebInput input;
  applyButton(input, 1200, 10, 0, true);
  applyButton(input, 1200, 10, 0, false);
  EXPECT_EQ(readMouse(input).status, 1);
  applyPointerMove(input, 10, 10);
  EXPECT_EQ(readMouse(input).buttons, 0);
}

}  // namespace
