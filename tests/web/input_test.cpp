#include <gtest/gtest.h>

#include <deque>
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

// A pointer event as the page queues it.
struct PointerEvent {
  int32_t x;
  int32_t y;
  int32_t button;  // -1: a move
  bool pressed;
};

// Takes queued events as the page's platform does before a reading: up to
// the first one that has to wait.
void takeEvents(WebInput& input, std::deque<PointerEvent>& queue) {
  while (!queue.empty()) {
    const PointerEvent& next = queue.front();
    const PointerStep step =
        next.button >= 0 && next.pressed ? PointerStep::Press : PointerStep::Move;
    if ((next.button < 0 || next.pressed) && waitsForReading(input, step)) return;
    if (next.button < 0) {
      applyPointerMove(input, next.x, next.y);
    } else {
      applyButton(input, next.x, next.y, next.button, next.pressed);
    }
    queue.pop_front();
  }
}

MouseReading takeAndRead(WebInput& input, std::deque<PointerEvent>& queue) {
  takeEvents(input, queue);
  return readMouse(input);
}

TEST(WebInput, ClicksQueuedTogetherAreEachSeenWhereTheyHappened) {
  // Setup: "Assemblieren", then "Starten", clicked while the program was busy.
  WebInput input;
  std::deque<PointerEvent> queue{
      {170, 137, 0, true}, {170, 137, 0, false}, {170, 162, -1, false},
      {170, 162, 0, true}, {170, 162, 0, false},
  };

  // Run: the main loop's reading, the wait for the release, the next pass.
  const MouseReading first = takeAndRead(input, queue);
  const MouseReading released = takeAndRead(input, queue);
  const MouseReading second = takeAndRead(input, queue);

  // Verify
  EXPECT_EQ(first.buttons, MouseButtons{.left = true});
  EXPECT_EQ(first.y, 137);
  EXPECT_FALSE(anyHeld(released.buttons));
  EXPECT_EQ(second.buttons, MouseButtons{.left = true});
  EXPECT_EQ(second.y, 162);
  EXPECT_TRUE(queue.empty());
}

TEST(WebInput, AClickWhileAnotherButtonIsHeldDoesNotStopTheQueue) {
  // Setup: the right button held and read, then a left click and the
  // right button's release.
  WebInput input;
  std::deque<PointerEvent> queue{{10, 10, 2, true}};
  EXPECT_EQ(takeAndRead(input, queue).buttons, MouseButtons{.right = true});
  queue = {{10, 10, 0, true}, {10, 10, 2, false}, {10, 10, 0, false}, {20, 20, -1, false}};

  // Run
  const MouseReading click = takeAndRead(input, queue);
  for (int reading = 0; reading < 3 && !queue.empty(); ++reading) takeAndRead(input, queue);

  // Verify
  EXPECT_EQ(click.buttons, MouseButtons{.left = true});
  EXPECT_TRUE(queue.empty());
  EXPECT_FALSE(anyHeld(readMouse(input).buttons));
}

}  // namespace
