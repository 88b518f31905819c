#include "platform/sdl/sdl_platform.h"

#include <SDL.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <limits>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

#include "platform/sdl/sdl_events.h"
#include "platform/sdl/sdl_library.h"
#include "platform/sdl/surface_paint.h"
#include "platform/window/frame_diff.h"
#include "platform/window/input_state.h"
#include "platform/window/shared_input.h"
#include "platform/window/window_handshake.h"
#include "platform/window/window_scale.h"

namespace akkusim {

namespace {

// Set by SIGINT/SIGTERM; the window thread turns it into the close key, so
// that the program ends the way it ends on the close button.
std::atomic<bool> gCloseSignalled{false};
static_assert(std::atomic<bool>::is_always_lock_free);

extern "C" void onCloseSignal(int) {
  gCloseSignalled.store(true);
}

void installCloseSignals() {
  struct sigaction action {};
  action.sa_handler = onCloseSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
}

constexpr int kWindowThreadNice = 10;

class SdlPlatform : public Platform {
 public:
  SdlPlatform(SdlLibrary sdl, int scale) : sdl_(std::move(sdl)), scale_(scale) {}
  ~SdlPlatform() override {
    requestStop(handshake_);
    if (thread_.joinable()) thread_.join();
  }

  // Starts the window thread and its video subsystem.
  Status start() {
    thread_ = std::thread([this] { run(); });
    return waitUntilStarted(handshake_);
  }

  Status openWindow(int32_t width, int32_t height) override {
    return requestWindow(handshake_, width, height);
  }

  void present(const Image& frame) override {
    if (stagePresentedFrame(handshake_, frame)) wake();
  }

  MouseReading readMouse() override {
    return akkusim::readMouse(input_, handshake_.width, handshake_.height);
  }
  std::optional<Key> readKey() override { return akkusim::readKey(input_); }
  bool isKeyDown(int32_t scancode) override { return akkusim::isKeyDown(input_, scancode); }

  void sleepMs(int32_t milliseconds) override {
    if (milliseconds <= 0) return;
    timespec left{milliseconds / 1000, static_cast<long>(milliseconds % 1000) * 1000000L};
    while (clock_nanosleep(CLOCK_MONOTONIC, 0, &left, &left) == EINTR) {
    }
  }

  int64_t nowMicros() override {
    return std::chrono::duration_cast<std::chrono::microseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
  }

  SdlPresentStats stats() const { return {shownFrames_.load(), shownMicros_.load()}; }

 private:
  void wake() {
    if (!wakeable_.load()) return;
    SDL_Event event{};
    event.type = SDL_USEREVENT;
    sdl_.SDL_PushEvent(&event);
  }

  // The window thread: every SDL call of the program happens here.
  void run() {
    // The polling thread must win the processor whenever its 1 ms pause
    // ends; the picture can wait a moment. Threads the renderer starts
    // (a software OpenGL, for one) inherit this.
    setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), kWindowThreadNice);
    sdl_.SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    // The window surface as X11 shared-memory images, not through an OpenGL
    // texture, which would send the whole frame on every change.
    sdl_.SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    sdl_.SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
    if (sdl_.SDL_Init(SDL_INIT_VIDEO) != 0) {
      const char* display = std::getenv("DISPLAY");
      markFailed(handshake_, std::string("kein Bildschirm gefunden (Anzeige ") +
                                 (display ? display : "") + " nicht erreichbar)");
      return;
    }
    markPhase(handshake_, WindowPhase::Ready);
    if (!waitForWindowRequest(handshake_)) {
      sdl_.SDL_Quit();
      return;
    }
    if (!createWindow()) {
      destroyWindow();
      markFailed(handshake_, "das Fenster konnte nicht geöffnet werden");
      sdl_.SDL_Quit();
      return;
    }
    rects_.reserve(static_cast<std::size_t>(handshake_.height));
    markPhase(handshake_, WindowPhase::Open);
    wakeable_.store(true);
    loop();
    wakeable_.store(false);
    destroyWindow();
    sdl_.SDL_Quit();
  }

  // The largest scale whose window, frame included, fits the display's usable
  // area (without the task bars); the frame's size is not known before the
  // window exists, so a generous allowance stands in for it.
  int autoScale() const {
    constexpr int32_t kFrameWidth = 16;
    constexpr int32_t kFrameHeight = 64;
    SDL_Rect usable{};
    if (sdl_.SDL_GetDisplayUsableBounds(0, &usable) != 0) return 1;
    return chooseScale(usable.w, usable.h, handshake_.width, handshake_.height, kFrameWidth,
                       kFrameHeight);
  }

  bool createWindow() {
    if (scale_ == 0) scale_ = autoScale();
    window_ = sdl_.SDL_CreateWindow("akkusim", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                    handshake_.width * scale_, handshake_.height * scale_,
                                    SDL_WINDOW_SHOWN);
    if (!window_) return false;
    if (!sdl_.SDL_GetWindowSurface(window_)) return false;
    scaledRow_.assign(static_cast<std::size_t>(handshake_.width) * static_cast<std::size_t>(scale_),
                      0);
    sdl_.SDL_StartTextInput();
    // Without a window manager nobody hands out the focus; ask for it.
    sdl_.SDL_RaiseWindow(window_);
    sdl_.SDL_SetWindowInputFocus(window_);
    const Uint32 flags = sdl_.SDL_GetWindowFlags(window_);
    updateInput(input_, [&](InputState& input) {
      input.focused = (flags & SDL_WINDOW_INPUT_FOCUS) != 0;
      input.inside = (flags & SDL_WINDOW_MOUSE_FOCUS) != 0;
    });
    return true;
  }

  void destroyWindow() {
    if (window_) sdl_.SDL_DestroyWindow(window_);
    window_ = nullptr;
    surface_ = nullptr;
  }

  void loop() {
    bool haveFrame = false;
    bool whole = false;
    while (!stopRequested(handshake_)) {
      SDL_Event event;
      if (sdl_.SDL_WaitEventTimeout(&event, 5) != 0) {
        whole |= record(event);
        while (sdl_.SDL_PollEvent(&event) != 0) whole |= record(event);
      }
      if (gCloseSignalled.exchange(false)) {
        updateInput(input_, [](InputState& input) { pushKey(input.keys, keys::kWindowClose); });
      }
      const bool fresh = takeStagedChanges(handshake_, rects_);
      haveFrame |= fresh;
      if (!haveFrame || (!fresh && !whole)) continue;
      const int64_t sendStart = nowMicros();
      whole = !show(whole);
      if (fresh) {
        shownMicros_.fetch_add(nowMicros() - sendStart);
        shownFrames_.fetch_add(1);
      }
    }
  }

  // Sends the collected rectangles, or the whole frame, to the window;
  // false when the window has no surface at the moment (then the whole
  // frame goes out next time).
  //
  // The window surface, not a streaming texture: under Xvfb the texture's
  // renderer is a software OpenGL whose every present sends the whole frame
  // however little changed. Measured with only the changed rectangles
  // uploaded: 4.5-7 ms of window thread and X server per frame, and a
  // polling loop changing a small area on every pass reached 0.85-0.94 of
  // the bare 1 ms loop. The surface sends just the changed rectangles as
  // shared-memory images: 0.06-0.2 ms per such frame (1 ms for a whole one),
  // and the same loops reach 0.95-0.98, as fast as with nothing sent at all.
  bool show(bool whole) {
    // A new surface after the window's size changed; its pixels are unknown.
    SDL_Surface* surface = sdl_.SDL_GetWindowSurface(window_);
    if (!surface) return false;
    if (surface != surface_) whole = true;
    surface_ = surface;
    if (whole) {
      rects_.clear();
      rects_.push_back(Rect{0, 0, handshake_.width, handshake_.height});
    }
    if (SDL_MUSTLOCK(surface) && sdl_.SDL_LockSurface(surface) != 0) return false;
    sent_.clear();
    for (const Rect& rect : rects_) {
      const SDL_Rect onWindow = paintScaled(sdl_, *surface, rect, handshake_.frames.shown.data(),
                                            handshake_.width, scale_, scaledRow_);
      if (onWindow.w > 0 && onWindow.h > 0) sent_.push_back(onWindow);
    }
    if (SDL_MUSTLOCK(surface)) sdl_.SDL_UnlockSurface(surface);
    if (whole) return sdl_.SDL_UpdateWindowSurface(window_) == 0;
    if (!sent_.empty()) {
      sdl_.SDL_UpdateWindowSurfaceRects(window_, sent_.data(), static_cast<int>(sent_.size()));
    }
    return true;
  }

  bool record(const SDL_Event& event) {
    return updateInput(input_,
                       [&](InputState& input) { return recordEvent(input, event, scale_); });
  }

  const SdlLibrary sdl_;
  int scale_;  // 0 until the window thread picks it
  std::thread thread_;

  WindowHandshake handshake_;
  std::atomic<bool> wakeable_{false};

  SharedInput input_;

  // The window thread's own: the rectangles of the change being sent, and
  // the same on the window.
  std::vector<Rect> rects_;
  std::vector<SDL_Rect> sent_;

  std::atomic<int64_t> shownFrames_{0};
  std::atomic<int64_t> shownMicros_{0};

  SDL_Window* window_ = nullptr;
  SDL_Surface* surface_ = nullptr;   // the window's surface as last written
  std::vector<uint32_t> scaledRow_;  // one window row before its conversion
};

}  // namespace

Result<std::unique_ptr<Platform>> makeSdlPlatform(int scale) {
  if (scale < 0 || scale > kMaxScale) return Failure{"der Maßstab muss zwischen 1 und 4 liegen"};
  const char* display = std::getenv("DISPLAY");
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  if ((!display || !*display) && (!wayland || !*wayland)) {
    return Failure{"kein Bildschirm gefunden (DISPLAY ist nicht gesetzt)"};
  }
  Result<SdlLibrary> sdl = loadSdlLibrary(kSdlLibraryName);
  if (!sdl) return Failure{sdl.reason()};
  // The polling loops pause 1 ms at a time; the default 50 us timer slack
  // would stretch every pause noticeably.
  prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
  auto platform = std::make_unique<SdlPlatform>(std::move(*sdl), scale);
  const Status started = platform->start();
  if (!started) return Failure{started.reason()};
  installCloseSignals();
  return std::unique_ptr<Platform>(std::move(platform));
}

SdlPresentStats sdlPresentStats(const Platform& platform) {
  const auto* window = dynamic_cast<const SdlPlatform*>(&platform);
  return window ? window->stats() : SdlPresentStats{};
}

}  // namespace akkusim
