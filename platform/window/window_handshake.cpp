#include "platform/window/window_handshake.h"

#include <utility>

namespace akkusim {

Status waitUntilStarted(WindowHandshake& handshake) {
  std::unique_lock lock(handshake.controlLock);
  handshake.control.wait(lock, [&] { return handshake.phase != WindowPhase::Starting; });
  if (handshake.phase == WindowPhase::Failed) return Failure{handshake.failure};
  return succeeded();
}

Status requestWindow(WindowHandshake& handshake, int32_t width, int32_t height) {
  if (width < 1 || height < 1) return Failure{"ungültige Fenstergröße"};
  std::unique_lock lock(handshake.controlLock);
  if (handshake.phase != WindowPhase::Ready) {
    return Failure{handshake.phase == WindowPhase::Open ? "das Fenster ist schon offen"
                                                        : handshake.failure};
  }
  handshake.width = width;
  handshake.height = height;
  {
    std::lock_guard frameLock(handshake.frameLock);
    resetFrameDiff(handshake.frames, width, height);
  }
  handshake.phase = WindowPhase::Opening;
  handshake.control.notify_all();
  handshake.control.wait(lock, [&] { return handshake.phase != WindowPhase::Opening; });
  if (handshake.phase != WindowPhase::Open) return Failure{handshake.failure};
  return succeeded();
}

bool stagePresentedFrame(WindowHandshake& handshake, const Image& frame) {
  if (frame.width != handshake.width || frame.height != handshake.height) return false;
  std::lock_guard lock(handshake.frameLock);
  return stageFrame(handshake.frames, frame);
}

void requestStop(WindowHandshake& handshake) {
  {
    std::lock_guard lock(handshake.controlLock);
    handshake.stop = true;
  }
  handshake.control.notify_all();
}

void markPhase(WindowHandshake& handshake, WindowPhase phase) {
  std::lock_guard lock(handshake.controlLock);
  handshake.phase = phase;
  handshake.control.notify_all();
}

void markFailed(WindowHandshake& handshake, std::string reason) {
  std::lock_guard lock(handshake.controlLock);
  handshake.failure = std::move(reason);
  handshake.phase = WindowPhase::Failed;
  handshake.control.notify_all();
}

bool waitForWindowRequest(WindowHandshake& handshake) {
  std::unique_lock lock(handshake.controlLock);
  handshake.control.wait(lock,
                         [&] { return handshake.phase == WindowPhase::Opening || handshake.stop; });
  return !handshake.stop;
}

bool stopRequested(WindowHandshake& handshake) {
  std::lock_guard lock(handshake.controlLock);
  return handshake.stop;
}

bool takeStagedChanges(WindowHandshake& handshake, std::vector<Rect>& rects) {
  std::lock_guard lock(handshake.frameLock);
  if (!handshake.frames.pending) return false;
  takeChanges(handshake.frames, rects);
  return true;
}

}  // namespace akkusim
