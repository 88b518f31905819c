#include "platform/window/window_handshake.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "base/result.h"
#include "gfx/image.h"
#include "gfx/rect.h"

using namespace akkusim;

namespace {

std::string failureOf(const Status& status) {
  return status ? std::string("(succeeded)") : status.reason();
}

// What the window thread was asked for.
struct Request {
  bool asked = false;
  int32_t width = 0;
  int32_t height = 0;
};

// A window thread that makes its window when asked (or fails to), as the
// platforms' do; ending it stops and joins it, which would hang if a wait
// missed the stop.
class FakeWindowThread {
 public:
  FakeWindowThread(WindowHandshake& handshake, Request& request, bool opens = true)
      : handshake_(handshake) {
    thread_ = std::thread([&handshake, &request, opens] {
      markPhase(handshake, WindowPhase::Ready);
      if (!waitForWindowRequest(handshake)) return;
      request = {true, handshake.width, handshake.height};
      if (opens) {
        markPhase(handshake, WindowPhase::Open);
      } else {
        markFailed(handshake, "das Fenster konnte nicht geöffnet werden");
      }
    });
  }
  ~FakeWindowThread() {
    requestStop(handshake_);
    thread_.join();
  }

 private:
  WindowHandshake& handshake_;
  std::thread thread_;
};

TEST(WindowHandshake, OpenWindowWaitsForTheWindowThreadAndOpensOnce) {
  WindowHandshake handshake;
  Request request;
  {
    FakeWindowThread window(handshake, request);
    ASSERT_TRUE(waitUntilStarted(handshake));

    EXPECT_EQ(failureOf(requestWindow(handshake, 1100, 800)), "(succeeded)");
    EXPECT_EQ(failureOf(requestWindow(handshake, 1100, 800)), "das Fenster ist schon offen");
  }
  EXPECT_TRUE(request.asked);
  EXPECT_EQ(request.width, 1100);
  EXPECT_EQ(request.height, 800);
  EXPECT_EQ(handshake.phase, WindowPhase::Open);
}

TEST(WindowHandshake, AFailedStartOrWindowIsTheAnswerOfEveryLaterRequest) {
  WindowHandshake notStarted;
  std::thread starting([&] { markFailed(notStarted, "kein Bildschirm gefunden"); });
  EXPECT_EQ(failureOf(waitUntilStarted(notStarted)), "kein Bildschirm gefunden");
  starting.join();
  EXPECT_EQ(failureOf(requestWindow(notStarted, 1100, 800)), "kein Bildschirm gefunden");

  WindowHandshake refused;
  Request request;
  FakeWindowThread window(refused, request, false);
  ASSERT_TRUE(waitUntilStarted(refused));
  EXPECT_EQ(failureOf(requestWindow(refused, 1100, 800)),
            "das Fenster konnte nicht geöffnet werden");
  EXPECT_EQ(failureOf(requestWindow(refused, 1100, 800)),
            "das Fenster konnte nicht geöffnet werden");
}

TEST(WindowHandshake, ASizeWithoutPixelsIsRefusedWithoutAskingTheWindowThread) {
  struct Case {
    int32_t width;
    int32_t height;
  };
  const std::vector<Case> cases = {{0, 800}, {1100, 0}, {-1, 800}, {1100, -800}};
  WindowHandshake handshake;
  markPhase(handshake, WindowPhase::Ready);
  for (const Case& c : cases) {
    EXPECT_EQ(failureOf(requestWindow(handshake, c.width, c.height)), "ungültige Fenstergröße")
        << c.width << " x " << c.height;
  }
  EXPECT_EQ(handshake.phase, WindowPhase::Ready);
}

TEST(WindowHandshake, StoppingBeforeTheWindowIsAskedForEndsTheWindowThread) {
  WindowHandshake handshake;
  Request request;
  {
    FakeWindowThread window(handshake, request);
    ASSERT_TRUE(waitUntilStarted(handshake));
  }
  EXPECT_FALSE(request.asked);
  EXPECT_TRUE(stopRequested(handshake));
  EXPECT_EQ(handshake.phase, WindowPhase::Ready);
}

TEST(WindowHandshake, OnlyFramesOfTheWindowsSizeAreStagedAndTakenOnce) {
  WindowHandshake handshake;
  handshake.width = 4;
  handshake.height = 2;
  resetFrameDiff(handshake.frames, 4, 2);
  std::vector<Rect> rects;

  Image wrong = createImage(2, 4, 0).value();
  EXPECT_FALSE(stagePresentedFrame(handshake, wrong));
  EXPECT_FALSE(takeStagedChanges(handshake, rects));

  Image frame = createImage(4, 2, 0).value();
  frame.pixels[5] = 0xffffff;
  EXPECT_TRUE(stagePresentedFrame(handshake, frame));
  ASSERT_TRUE(takeStagedChanges(handshake, rects));
  EXPECT_EQ(handshake.frames.shown[5], 0xffffffu);
  EXPECT_FALSE(takeStagedChanges(handshake, rects));
  EXPECT_FALSE(stagePresentedFrame(handshake, frame));
}

}  // namespace
