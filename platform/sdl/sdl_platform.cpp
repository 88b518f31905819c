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
#include <condition_variable>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <limits>
#include <mutex>
#include <thread>
#include <vector>

#include "text/cp437.h"

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

constexpr std::size_t kKeyQueueLength = 15;
constexpr int kWindowThreadNice = 10;

// USB HID usage (SDL scancode) to PC scancode set 1, 0 where unmapped.
constexpr std::array<uint8_t, 232> makeSet1Table() {
  std::array<uint8_t, 232> t{};
  constexpr uint8_t letters[26] = {30, 48, 46, 32, 18, 33, 34, 35, 23, 36, 37, 38, 50,
                                   49, 24, 25, 16, 19, 31, 20, 22, 47, 17, 45, 21, 44};
  for (int i = 0; i < 26; ++i) t[SDL_SCANCODE_A + i] = letters[i];
  for (int i = 0; i < 10; ++i) t[SDL_SCANCODE_1 + i] = static_cast<uint8_t>(2 + i);
  t[SDL_SCANCODE_RETURN] = 28;
  t[SDL_SCANCODE_ESCAPE] = 1;
  t[SDL_SCANCODE_BACKSPACE] = 14;
  t[SDL_SCANCODE_TAB] = 15;
  t[SDL_SCANCODE_SPACE] = 57;
  t[SDL_SCANCODE_MINUS] = 12;
  t[SDL_SCANCODE_EQUALS] = 13;
  t[SDL_SCANCODE_LEFTBRACKET] = 26;
  t[SDL_SCANCODE_RIGHTBRACKET] = 27;
  t[SDL_SCANCODE_BACKSLASH] = 43;
  t[SDL_SCANCODE_NONUSHASH] = 43;
  t[SDL_SCANCODE_SEMICOLON] = 39;
  t[SDL_SCANCODE_APOSTROPHE] = 40;
  t[SDL_SCANCODE_GRAVE] = 41;
  t[SDL_SCANCODE_COMMA] = 51;
  t[SDL_SCANCODE_PERIOD] = 52;
  t[SDL_SCANCODE_SLASH] = 53;
  t[SDL_SCANCODE_CAPSLOCK] = 58;
  for (int i = 0; i < 10; ++i) t[SDL_SCANCODE_F1 + i] = static_cast<uint8_t>(59 + i);
  t[SDL_SCANCODE_F11] = 87;
  t[SDL_SCANCODE_F12] = 88;
  t[SDL_SCANCODE_INSERT] = 82;
  t[SDL_SCANCODE_HOME] = 71;
  t[SDL_SCANCODE_PAGEUP] = 73;
  t[SDL_SCANCODE_DELETE] = 83;
  t[SDL_SCANCODE_END] = 79;
  t[SDL_SCANCODE_PAGEDOWN] = 81;
  t[SDL_SCANCODE_RIGHT] = 77;
  t[SDL_SCANCODE_LEFT] = 75;
  t[SDL_SCANCODE_DOWN] = 80;
  t[SDL_SCANCODE_UP] = 72;
  t[SDL_SCANCODE_NONUSBACKSLASH] = 86;
  t[SDL_SCANCODE_LCTRL] = 29;
  t[SDL_SCANCODE_LSHIFT] = 42;
  t[SDL_SCANCODE_LALT] = 56;
  t[SDL_SCANCODE_RCTRL] = 29;
  t[SDL_SCANCODE_RSHIFT] = 54;
  t[SDL_SCANCODE_RALT] = 56;
  return t;
}

constexpr std::array<uint8_t, 232> kSet1 = makeSet1Table();

int set1Of(SDL_Scancode scancode) {
  const auto index = static_cast<std::size_t>(scancode);
  return index < kSet1.size() ? kSet1[index] : 0;
}

// The key of the cursor block, nothing for other keys.
std::optional<Key> extendedKey(SDL_Keycode key) {
  switch (key) {
    case SDLK_LEFT:
      return keys::kLeft;
    case SDLK_RIGHT:
      return keys::kRight;
    case SDLK_UP:
      return keys::kUp;
    case SDLK_DOWN:
      return keys::kDown;
    case SDLK_HOME:
      return keys::kHome;
    case SDLK_END:
      return keys::kEnd;
    case SDLK_PAGEUP:
      return keys::kPageUp;
    case SDLK_PAGEDOWN:
      return keys::kPageDown;
    case SDLK_DELETE:
      return keys::kDelete;
    default:
      return std::nullopt;
  }
}

// The one-character control keys, 0 for other keys.
char controlByte(SDL_Keycode key) {
  switch (key) {
    case SDLK_RETURN:
    case SDLK_KP_ENTER:
      return 13;
    case SDLK_BACKSPACE:
      return 8;
    case SDLK_TAB:
      return 9;
    case SDLK_ESCAPE:
      return 27;
    default:
      return 0;
  }
}

int32_t buttonBit(uint8_t button) {
  switch (button) {
    case SDL_BUTTON_LEFT:
      return 1;
    case SDL_BUTTON_RIGHT:
      return 2;
    case SDL_BUTTON_MIDDLE:
      return 4;
    default:
      return 0;
  }
}

// Input as the window thread last saw it; read by the polling calls.
struct InputState {
  std::array<Key, kKeyQueueLength> keys{};
  std::size_t keyStart = 0;
  std::size_t keyCount = 0;
  int32_t x = 0;
  int32_t y = 0;
  int32_t wheel = 0;
  int32_t buttons = 0;
  // Buttons pressed since the last reading: a click shorter than one polling
  // pass is still seen once.
  int32_t pressedSinceRead = 0;
  bool inside = false;
  bool focused = false;
  std::array<bool, 128> down{};

  void push(Key key) {
    if (keyCount == keys.size()) {  // full: the oldest key gives way
      keyStart = (keyStart + 1) % keys.size();
      --keyCount;
    }
    keys[(keyStart + keyCount) % keys.size()] = key;
    ++keyCount;
  }
  void releaseAll() {
    buttons = 0;
    pressedSinceRead = 0;
    down.fill(false);
  }
};

class SdlPlatform : public Platform {
 public:
  explicit SdlPlatform(int scale) : scale_(scale) {}
  ~SdlPlatform() override {
    {
      std::lock_guard lock(controlMutex_);
      stop_ = true;
    }
    control_.notify_all();
    if (thread_.joinable()) thread_.join();
  }

  // Starts the window thread and its video subsystem; false with a reason.
  bool start(std::string& error) {
    thread_ = std::thread([this] { run(); });
    std::unique_lock lock(controlMutex_);
    control_.wait(lock, [this] { return phase_ != Phase::Starting; });
    if (phase_ == Phase::Failed) {
      error = failure_;
      return false;
    }
    return true;
  }

  bool openWindow(int32_t width, int32_t height, std::string& error) override {
    if (width < 1 || height < 1) {
      error = "ungültige Fenstergröße";
      return false;
    }
    std::unique_lock lock(controlMutex_);
    if (phase_ != Phase::Ready) {
      error = phase_ == Phase::Open ? "das Fenster ist schon offen" : failure_;
      return false;
    }
    width_ = width;
    height_ = height;
    {
      std::lock_guard frameLock(frameMutex_);
      const auto pixels = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
      staged_.assign(pixels, 0);
      shown_.assign(pixels, 0);
      dirty_.assign(static_cast<std::size_t>(height), RowSpan{});
      rects_.reserve(static_cast<std::size_t>(height));
      stagedAny_ = false;
    }
    phase_ = Phase::Opening;
    control_.notify_all();
    control_.wait(lock, [this] { return phase_ != Phase::Opening; });
    if (phase_ != Phase::Open) {
      error = failure_;
      return false;
    }
    return true;
  }

  void present(const Image& frame) override {
    if (frame.width != width_ || frame.height != height_) return;
    bool changed = false;
    {
      std::lock_guard lock(frameMutex_);
      changed = stage(frame);
    }
    if (changed) wake();
  }

  MouseReading readMouse() override {
    std::lock_guard lock(inputMutex_);
    if (!input_.inside || !input_.focused || input_.x < 0 || input_.y < 0 || input_.x >= width_ ||
        input_.y >= height_) {
      input_.pressedSinceRead = 0;
      return MouseReading{};
    }
    const int32_t buttons = input_.buttons | input_.pressedSinceRead;
    input_.pressedSinceRead = 0;
    return MouseReading{input_.x, input_.y, input_.wheel, buttons, 0};
  }

  std::optional<Key> readKey() override {
    std::lock_guard lock(inputMutex_);
    if (input_.keyCount == 0) return std::nullopt;
    const Key key = input_.keys[input_.keyStart];
    input_.keyStart = (input_.keyStart + 1) % input_.keys.size();
    --input_.keyCount;
    return key;
  }

  bool isKeyDown(int32_t scancode) override {
    if (scancode < 0 || scancode > 127) return false;
    std::lock_guard lock(inputMutex_);
    return input_.down[static_cast<std::size_t>(scancode)];
  }

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
  enum class Phase { Starting, Ready, Opening, Open, Failed };

  void fail(std::string reason) {
    std::lock_guard lock(controlMutex_);
    failure_ = std::move(reason);
    phase_ = Phase::Failed;
    control_.notify_all();
  }

  // Copies what differs from the frame handed over last (rows, and within a
  // row only its changed columns) and widens those rows' dirty spans, so the
  // window thread sends only the parts that really changed. True if any did.
  bool stage(const Image& frame) {
    const auto width = static_cast<std::size_t>(width_);
    bool changed = false;
    for (int32_t y = 0; y < height_; ++y) {
      const uint32_t* from = frame.pixels.data() + static_cast<std::size_t>(y) * width;
      uint32_t* to = staged_.data() + static_cast<std::size_t>(y) * width;
      int32_t left = 0;
      int32_t right = width_ - 1;
      if (stagedAny_) {
        if (std::memcmp(from, to, width * sizeof(uint32_t)) == 0) continue;
        while (from[left] == to[left]) ++left;
        while (from[right] == to[right]) --right;
      }
      std::memcpy(to + left, from + left,
                  static_cast<std::size_t>(right - left + 1) * sizeof(uint32_t));
      RowSpan& span = dirty_[static_cast<std::size_t>(y)];
      span.left = std::min(span.left, left);
      span.right = std::max(span.right, right);
      changed = true;
    }
    stagedAny_ = true;
    pendingFresh_ |= changed;
    return changed;
  }

  // Window thread, under the frame lock: takes the staged changes into
  // shown_ and collects them as rectangles of consecutive changed rows.
  void takeChanges() {
    const auto width = static_cast<std::size_t>(width_);
    rects_.clear();
    for (int32_t y = 0; y < height_; ++y) {
      RowSpan& span = dirty_[static_cast<std::size_t>(y)];
      if (span.left > span.right) continue;
      const std::size_t at =
          static_cast<std::size_t>(y) * width + static_cast<std::size_t>(span.left);
      std::copy_n(staged_.data() + at, span.right - span.left + 1, shown_.data() + at);
      if (!rects_.empty() && rects_.back().y + rects_.back().h == y) {
        SDL_Rect& rect = rects_.back();
        const int32_t right = std::max(rect.x + rect.w - 1, span.right);
        rect.x = std::min(rect.x, span.left);
        rect.w = right - rect.x + 1;
        ++rect.h;
      } else {
        rects_.push_back(SDL_Rect{span.left, y, span.right - span.left + 1, 1});
      }
      span = RowSpan{};
    }
    pendingFresh_ = false;
  }

  void wake() {
    if (!wakeable_.load()) return;
    SDL_Event event{};
    event.type = SDL_USEREVENT;
    SDL_PushEvent(&event);
  }

  // The window thread: every SDL call of the program happens here.
  void run() {
    // The polling thread must win the processor whenever its 1 ms pause
    // ends; the picture can wait a moment. Threads the renderer starts
    // (a software OpenGL, for one) inherit this.
    setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), kWindowThreadNice);
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    // The window surface as X11 shared-memory images, not through an OpenGL
    // texture, which would send the whole frame on every change.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
      const char* display = std::getenv("DISPLAY");
      fail(std::string("kein Bildschirm gefunden (Anzeige ") + (display ? display : "") +
           " nicht erreichbar)");
      return;
    }
    {
      std::unique_lock lock(controlMutex_);
      phase_ = Phase::Ready;
      control_.notify_all();
      control_.wait(lock, [this] { return phase_ == Phase::Opening || stop_; });
      if (stop_) {
        lock.unlock();
        SDL_Quit();
        return;
      }
    }
    if (!createWindow()) {
      destroyWindow();
      fail("das Fenster konnte nicht geöffnet werden");
      SDL_Quit();
      return;
    }
    {
      std::lock_guard lock(controlMutex_);
      phase_ = Phase::Open;
      control_.notify_all();
    }
    wakeable_.store(true);
    loop();
    wakeable_.store(false);
    destroyWindow();
    SDL_Quit();
  }

  bool createWindow() {
    window_ = SDL_CreateWindow("akkusim", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                               width_ * scale_, height_ * scale_, SDL_WINDOW_SHOWN);
    if (!window_) return false;
    if (!SDL_GetWindowSurface(window_)) return false;
    scaledRow_.assign(static_cast<std::size_t>(width_) * static_cast<std::size_t>(scale_), 0);
    SDL_StartTextInput();
    // Without a window manager nobody hands out the focus; ask for it.
    SDL_RaiseWindow(window_);
    SDL_SetWindowInputFocus(window_);
    const Uint32 flags = SDL_GetWindowFlags(window_);
    std::lock_guard lock(inputMutex_);
    input_.focused = (flags & SDL_WINDOW_INPUT_FOCUS) != 0;
    input_.inside = (flags & SDL_WINDOW_MOUSE_FOCUS) != 0;
    return true;
  }

  void destroyWindow() {
    if (window_) SDL_DestroyWindow(window_);
    window_ = nullptr;
    surface_ = nullptr;
  }

  bool stopping() {
    std::lock_guard lock(controlMutex_);
    return stop_;
  }

  void loop() {
    bool haveFrame = false;
    bool whole = false;
    while (!stopping()) {
      SDL_Event event;
      if (SDL_WaitEventTimeout(&event, 5) != 0) {
        whole |= handle(event);
        while (SDL_PollEvent(&event) != 0) whole |= handle(event);
      }
      if (gCloseSignalled.exchange(false)) {
        std::lock_guard lock(inputMutex_);
        input_.push(keys::kWindowClose);
      }
      bool fresh = false;
      {
        std::lock_guard lock(frameMutex_);
        if (pendingFresh_) {
          takeChanges();
          fresh = true;
        }
      }
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
    SDL_Surface* surface = SDL_GetWindowSurface(window_);
    if (!surface) return false;
    if (surface != surface_) whole = true;
    surface_ = surface;
    if (whole) {
      rects_.clear();
      rects_.push_back(SDL_Rect{0, 0, width_, height_});
    }
    if (SDL_MUSTLOCK(surface) && SDL_LockSurface(surface) != 0) return false;
    std::size_t painted = 0;
    for (const SDL_Rect& rect : rects_) {
      const SDL_Rect onWindow = paint(*surface, rect);
      if (onWindow.w > 0 && onWindow.h > 0) rects_[painted++] = onWindow;
    }
    if (SDL_MUSTLOCK(surface)) SDL_UnlockSurface(surface);
    if (whole) return SDL_UpdateWindowSurface(window_) == 0;
    if (painted > 0)
      SDL_UpdateWindowSurfaceRects(window_, rects_.data(), static_cast<int>(painted));
    return true;
  }

  // Writes a framebuffer rectangle of shown_ into the surface, every pixel
  // as scale x scale pixels; returns the window rectangle written (clipped
  // to the surface, empty when outside).
  SDL_Rect paint(SDL_Surface& surface, const SDL_Rect& rect) {
    const SDL_Rect scaled{rect.x * scale_, rect.y * scale_, rect.w * scale_, rect.h * scale_};
    const SDL_Rect bounds{0, 0, surface.w, surface.h};
    SDL_Rect target{};
    if (!SDL_IntersectRect(&scaled, &bounds, &target)) return SDL_Rect{};
    // Our pixels are 0x00RRGGBB words: the usual X11 surface takes them as
    // they are; any other format is converted row by row.
    const Uint32 format = surface.format->format;
    const bool direct = format == SDL_PIXELFORMAT_RGB888;
    const int bytesPerPixel = surface.format->BytesPerPixel;
    auto* const base = static_cast<uint8_t*>(surface.pixels);
    for (int y = target.y; y < target.y + target.h; ++y) {
      uint8_t* const line = base + static_cast<std::ptrdiff_t>(y) * surface.pitch +
                            static_cast<std::ptrdiff_t>(target.x) * bytesPerPixel;
      if (y > target.y && y % scale_ != 0) {  // the same framebuffer row as the line above
        std::memcpy(line, line - surface.pitch,
                    static_cast<std::size_t>(target.w) * static_cast<std::size_t>(bytesPerPixel));
        continue;
      }
      const uint32_t* const from =
          shown_.data() + static_cast<std::size_t>(y / scale_) * static_cast<std::size_t>(width_);
      if (scale_ == 1 && direct) {
        std::memcpy(line, from + target.x, static_cast<std::size_t>(target.w) * sizeof(uint32_t));
        continue;
      }
      uint32_t* const to = direct ? reinterpret_cast<uint32_t*>(line) : scaledRow_.data();
      for (int x = 0; x < target.w; ++x) to[x] = from[(target.x + x) / scale_];
      if (!direct) {
        SDL_ConvertPixels(target.w, 1, SDL_PIXELFORMAT_RGB888, to, target.w * 4, format, line,
                          surface.pitch);
      }
    }
    return target;
  }

  // Window pixels back to framebuffer pixels (left of the window stays
  // negative).
  int32_t unscaled(int32_t value) const {
    return value >= 0 ? value / scale_ : -1 - (-1 - value) / scale_;
  }

  // Records one event; true when the window needs its picture again.
  bool handle(const SDL_Event& event) {
    std::lock_guard lock(inputMutex_);
    switch (event.type) {
      case SDL_TEXTINPUT:
        forEachCp437Byte(event.text.text,
                         [this](char byte) { input_.push(keys::character(static_cast<uint8_t>(byte))); });
        return false;
      case SDL_KEYDOWN: {
        const int code = set1Of(event.key.keysym.scancode);
        if (code > 0) input_.down[static_cast<std::size_t>(code)] = true;
        if (const std::optional<Key> key = extendedKey(event.key.keysym.sym)) {
          input_.push(*key);
        } else if (const char control = controlByte(event.key.keysym.sym)) {
          input_.push(keys::character(static_cast<uint8_t>(control)));
        }
        return false;
      }
      case SDL_KEYUP: {
        const int code = set1Of(event.key.keysym.scancode);
        if (code > 0) input_.down[static_cast<std::size_t>(code)] = false;
        return false;
      }
      case SDL_MOUSEMOTION:
        input_.x = unscaled(event.motion.x);
        input_.y = unscaled(event.motion.y);
        input_.inside = true;
        return false;
      case SDL_MOUSEBUTTONDOWN:
      case SDL_MOUSEBUTTONUP:
        input_.x = unscaled(event.button.x);
        input_.y = unscaled(event.button.y);
        if (event.type == SDL_MOUSEBUTTONDOWN) {
          input_.buttons |= buttonBit(event.button.button);
          input_.pressedSinceRead |= buttonBit(event.button.button);
        } else {
          input_.buttons &= ~buttonBit(event.button.button);
        }
        return false;
      case SDL_MOUSEWHEEL:
        input_.wheel +=
            event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -event.wheel.y : event.wheel.y;
        return false;
      case SDL_WINDOWEVENT:
        switch (event.window.event) {
          case SDL_WINDOWEVENT_ENTER:
            input_.inside = true;
            return false;
          case SDL_WINDOWEVENT_LEAVE:
            input_.inside = false;
            return false;
          case SDL_WINDOWEVENT_FOCUS_GAINED:
            input_.focused = true;
            input_.releaseAll();
            return false;
          case SDL_WINDOWEVENT_FOCUS_LOST:
            input_.focused = false;
            input_.releaseAll();
            return false;
          case SDL_WINDOWEVENT_CLOSE:
            input_.push(keys::kWindowClose);
            return false;
          case SDL_WINDOWEVENT_EXPOSED:
          case SDL_WINDOWEVENT_SIZE_CHANGED:
            return true;
          default:
            return false;
        }
      default:
        // SDL_QUIT follows the close event of the last window: already queued.
        return false;
    }
  }

  const int scale_;
  int32_t width_ = 0;
  int32_t height_ = 0;
  std::thread thread_;

  std::mutex controlMutex_;
  std::condition_variable control_;
  Phase phase_ = Phase::Starting;
  bool stop_ = false;
  std::string failure_;
  std::atomic<bool> wakeable_{false};

  std::mutex inputMutex_;
  InputState input_;

  // The columns of a row that changed since the window thread last took
  // them; none while left > right.
  struct RowSpan {
    int32_t left = std::numeric_limits<int32_t>::max();
    int32_t right = -1;
  };

  std::mutex frameMutex_;
  std::vector<uint32_t> staged_;  // the frame handed over last
  std::vector<RowSpan> dirty_;
  bool stagedAny_ = false;
  bool pendingFresh_ = false;
  // The window thread's own: what the window shows, and the rectangles of
  // the change being sent.
  std::vector<uint32_t> shown_;
  std::vector<SDL_Rect> rects_;

  std::atomic<int64_t> shownFrames_{0};
  std::atomic<int64_t> shownMicros_{0};

  SDL_Window* window_ = nullptr;
  SDL_Surface* surface_ = nullptr;   // the window's surface as last written
  std::vector<uint32_t> scaledRow_;  // one window row before its conversion
};

}  // namespace

std::unique_ptr<Platform> makeSdlPlatform(int scale, std::string& error) {
  if (scale < 1 || scale > 4) {
    error = "der Maßstab muss zwischen 1 und 4 liegen";
    return nullptr;
  }
  const char* display = std::getenv("DISPLAY");
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  if ((!display || !*display) && (!wayland || !*wayland)) {
    error = "kein Bildschirm gefunden (DISPLAY ist nicht gesetzt)";
    return nullptr;
  }
  // The polling loops pause 1 ms at a time; the default 50 us timer slack
  // would stretch every pause noticeably.
  prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
  auto platform = std::make_unique<SdlPlatform>(scale);
  if (!platform->start(error)) return nullptr;
  installCloseSignals();
  return platform;
}

SdlPresentStats sdlPresentStats(const Platform& platform) {
  const auto* window = dynamic_cast<const SdlPlatform*>(&platform);
  return window ? window->stats() : SdlPresentStats{};
}
