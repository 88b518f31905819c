// The scripted window: timeline, virtual clock, key queue and the
// window-close key at the end of a script.

#include "platform/headless/headless_platform.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace akkusim;

namespace {

TEST(HeadlessPlatform, RefusesAWindowWithoutPixelsAndSaysWhy) {
  HeadlessPlatform platform;
  EXPECT_TRUE(platform.openWindow(1100, 800).ok());
  const Status refused = platform.openWindow(1100, 0);
  ASSERT_FALSE(refused.ok());
  EXPECT_EQ(refused.reason(),
            "ung\xC3\xBCltige Fenstergr\xC3\xB6\xC3\x9F"
            "e");
}

TEST(HeadlessPlatform, ScriptActionsHappenWhenTheVirtualClockReachesThem) {
  HeadlessPlatform p;
  p.wait(10).moveTo(5, 6).wait(10).press(1).wait(10).release();
  EXPECT_EQ(p.readMouse().x, 0);  // t = 10 us: nothing yet
  p.sleepMs(10);
  EXPECT_EQ(p.readMouse().x, 5);
  EXPECT_FALSE(anyHeld(p.readMouse().buttons));
  p.sleepMs(10);
  EXPECT_EQ(p.readMouse().buttons, MouseButtons{.left = true});
  p.sleepMs(10);
  EXPECT_FALSE(anyHeld(p.readMouse().buttons));
}

TEST(HeadlessPlatform, EveryPollMovesTheClockByTenMicroseconds) {
  HeadlessPlatform p;
  p.wait(1).key(keys::character('a'));
  int polls = 0;
  std::optional<Key> key;
  while (!(key = p.readKey())) ++polls;
  EXPECT_EQ(key, keys::character('a'));
  EXPECT_EQ(polls, 99);  // reached at the 100th poll, 1000 us
  EXPECT_EQ(p.nowMicros(), 1000);
  EXPECT_EQ(p.pollCount(), 100);
}

TEST(HeadlessPlatform, WheelStartsAtZeroAndCountsNotches) {
  HeadlessPlatform p;
  EXPECT_EQ(p.readMouse().wheel, 0);
  p.wheel(3).wheel(-1);
  EXPECT_EQ(p.readMouse().wheel, 2);
}

TEST(HeadlessPlatform, OutsideTheWindowReadingsFailUntilThePointerReturns) {
  HeadlessPlatform p;
  p.wheel(4).press(1).wait(1).leaveWindow().wait(1).moveTo(7, 8);
  p.sleepMs(1);
  const MouseReading outside = p.readMouse();
  EXPECT_FALSE(outside.inside);
  EXPECT_EQ(outside.x, -1);
  EXPECT_EQ(outside.y, -1);
  EXPECT_EQ(outside.wheel, -1);
  EXPECT_FALSE(anyHeld(outside.buttons));
  p.sleepMs(1);
  const MouseReading back = p.readMouse();
  EXPECT_TRUE(back.inside);
  EXPECT_EQ(back.wheel, 4);
  EXPECT_EQ(back.buttons, MouseButtons{.left = true});
}

TEST(HeadlessPlatform, KeyQueueKeepsTheNewestFifteen) {
  HeadlessPlatform p;
  p.type("abcdefghijklmnopq");  // 17 keys, 3 ms apart
  p.sleepMs(60);
  std::string read;
  for (std::optional<Key> key; (key = p.readKey()) && key->kind == KeyKind::Character;) {
    read += static_cast<char>(key->code);
  }
  EXPECT_EQ(read, "cdefghijklmnopq");
}

TEST(HeadlessPlatform, CloseKeyAndReleasedButtonsOnceTheScriptIsUsedUp) {
  HeadlessPlatform p;
  p.moveTo(1, 1).press(1).wait(5).closeWindow();
  p.sleepMs(4);
  EXPECT_EQ(p.readKey(), std::nullopt);
  p.sleepMs(2);
  EXPECT_EQ(p.readKey(), keys::kWindowClose);  // the scripted close
  EXPECT_EQ(p.readKey(), std::nullopt);        // grace period: nothing more yet
  EXPECT_EQ(p.readMouse().buttons, MouseButtons{.left = true});
  p.sleepMs(60);
  EXPECT_FALSE(anyHeld(p.readMouse().buttons));
  EXPECT_EQ(p.readKey(), keys::kWindowClose);
  EXPECT_EQ(p.readKey(), keys::kWindowClose);
}

TEST(HeadlessPlatform, ShiftAndScancodeRange) {
  HeadlessPlatform p;
  p.shift(true).wait(1).shift(false).rightShift(true).wait(1).rightShift(false);
  EXPECT_TRUE(p.isKeyDown(42));
  EXPECT_FALSE(p.isKeyDown(54));
  EXPECT_FALSE(p.isKeyDown(200));
  EXPECT_FALSE(p.isKeyDown(-1));
  p.sleepMs(1);
  EXPECT_FALSE(p.isKeyDown(42));
  EXPECT_TRUE(p.isKeyDown(54));
  p.sleepMs(1);
  EXPECT_FALSE(p.isKeyDown(54));
}

TEST(HeadlessPlatform, CallRunsAtItsTimeAndMayExtendTheScript) {
  HeadlessPlatform p;
  std::vector<double> times;
  p.wait(2).call([&] {
    times.push_back(p.nowMs());
    p.key(keys::character('z'));
  });
  p.sleepMs(5);
  ASSERT_EQ(times.size(), 1u);
  EXPECT_EQ(times[0], 5.0);
  EXPECT_EQ(p.readKey(), keys::character('z'));
}

TEST(HeadlessPlatform, ClickPressesForFiveMilliseconds) {
  HeadlessPlatform p;
  p.click(100, 200);
  EXPECT_EQ(p.readMouse().buttons, MouseButtons{.left = true});
  p.sleepMs(5);
  EXPECT_FALSE(anyHeld(p.readMouse().buttons));
  EXPECT_DOUBLE_EQ(p.scriptEndMs(), 10.0);
}

}  // namespace
