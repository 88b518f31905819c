#include "platform/window/shared_input.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <optional>
#include <vector>

#include "gfx/key.h"
#include "gfx/platform.h"
#include "platform/window/input_state.h"

using namespace akkusim;

namespace {

TEST(SharedInput, HeldKeysAreReadWithinTheTableAndNothingOutsideIt) {
  SharedInput input;
  updateInput(input, [](InputState& state) {
    state.down[0] = true;
    state.down[127] = true;
  });

  struct Case {
    int32_t scancode;
    bool down;
  };
  const std::vector<Case> cases = {
      {0, true},
      {1, false},
      {126, false},
      {127, true},
      {128, false},
      {-1, false},
      {std::numeric_limits<int32_t>::min(), false},
      {std::numeric_limits<int32_t>::max(), false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(isKeyDown(input, c.scancode), c.down) << "scancode " << c.scancode;
  }
}

TEST(SharedInput, KeysComeOutInTheOrderTheyWereRecordedThenNothing) {
  SharedInput input;
  updateInput(input, [](InputState& state) {
    pushKey(state.keys, keys::character('a'));
    pushKey(state.keys, keys::kLeft);
    pushKey(state.keys, keys::kWindowClose);
  });

  EXPECT_EQ(readKey(input), keys::character('a'));
  EXPECT_EQ(readKey(input), keys::kLeft);
  EXPECT_EQ(readKey(input), keys::kWindowClose);
  EXPECT_EQ(readKey(input), std::nullopt);
}

// The pointer over an 8 x 4 window: the reading tells its place inside the
// focused window only.
TEST(SharedInput, PointerIsReadOnlyInsideTheFocusedWindow) {
  struct Case {
    const char* name;
    int32_t x, y;
    bool inside, focused;
    bool seen;
  };
  const std::vector<Case> cases = {
      {"top left", 0, 0, true, true, true},
      {"bottom right", 7, 3, true, true, true},
      {"right of it", 8, 3, true, true, false},
      {"below it", 7, 4, true, true, false},
      {"left of it", -1, 0, true, true, false},
      {"above it", 0, -1, true, true, false},
      {"left the window", 2, 2, false, true, false},
      {"without the focus", 2, 2, true, false, false},
  };
  for (const Case& c : cases) {
    SharedInput input;
    updateInput(input, [&](InputState& state) {
      state.x = c.x;
      state.y = c.y;
      state.wheel = 3;
      state.inside = c.inside;
      state.focused = c.focused;
    });

    const MouseReading reading = readMouse(input, 8, 4);

    const MouseReading expected =
        c.seen ? MouseReading{true, c.x, c.y, 3, MouseButtons{}} : MouseReading{};
    EXPECT_EQ(reading.inside, expected.inside) << c.name;
    EXPECT_EQ(reading.x, expected.x) << c.name;
    EXPECT_EQ(reading.y, expected.y) << c.name;
    EXPECT_EQ(reading.wheel, expected.wheel) << c.name;
  }
}

TEST(SharedInput, ClickBetweenTwoReadingsIsSeenOnceAndAHeldButtonEachTime) {
  SharedInput input;
  updateInput(input, [](InputState& state) {
    state.inside = true;
    state.focused = true;
    // Left pressed and let go, right pressed and still held.
    state.pressedSinceRead = 1 | 2;
    state.buttons = 2;
  });

  const MouseReading first = readMouse(input, 8, 4);
  const MouseReading second = readMouse(input, 8, 4);

  EXPECT_EQ(first.buttons, (MouseButtons{true, true, false}));
  EXPECT_EQ(second.buttons, (MouseButtons{false, true, false}));
}

}  // namespace
