#pragma once
// What the polling thread and the window thread of a real window share: the
// window is made and served on its own thread, openWindow waits until it is
// there (or has failed), and each presented frame is staged for the window
// thread to send what changed. Both window platforms use it the same way.

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "base/result.h"
#include "gfx/image.h"
#include "gfx/rect.h"
#include "platform/window/frame_diff.h"

namespace akkusim {

enum class WindowPhase {
  Starting,  // the window thread prepares what every window needs
  Ready,     // waiting to be asked for the window
  Opening,   // asked: the window thread makes it
  Open,
  Failed,
};

struct WindowHandshake {
  std::mutex controlLock;
  std::condition_variable control;
  WindowPhase phase = WindowPhase::Starting;
  bool stop = false;
  std::string failure;
  // Set by openWindow before the window thread is asked, fixed after.
  int32_t width = 0;
  int32_t height = 0;

  std::mutex frameLock;
  FrameDiff frames;  // its `shown` is the window thread's own
};

// The polling side.

// Waits while the window thread starts; its failure if it could not.
Status waitUntilStarted(WindowHandshake& handshake);
// Asks the window thread for a `width` x `height` window and waits until it
// is open or has failed.
Status requestWindow(WindowHandshake& handshake, int32_t width, int32_t height);
// Stages a frame of the window's size; true if the window thread has
// something new to send (then it must be woken).
bool stagePresentedFrame(WindowHandshake& handshake, const Image& frame);
// Tells the window thread to end.
void requestStop(WindowHandshake& handshake);

// The window thread's side.

void markPhase(WindowHandshake& handshake, WindowPhase phase);
void markFailed(WindowHandshake& handshake, std::string reason);
// Waits until the window is asked for; false when the platform ends first.
bool waitForWindowRequest(WindowHandshake& handshake);
bool stopRequested(WindowHandshake& handshake);
// Takes the staged changes into `frames.shown` as rectangles; false when
// nothing new was staged.
bool takeStagedChanges(WindowHandshake& handshake, std::vector<Rect>& rects);

}  // namespace akkusim
