#include "platform/win32/win32_platform.h"

#include <windows.h>
// These two need windows.h first.
#include <mmsystem.h>
#include <windowsx.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "platform/win32/win32_keys.h"
#include "platform/win32/win32_paint.h"
#include "platform/window/frame_diff.h"
#include "platform/window/input_state.h"
#include "platform/window/shared_input.h"
#include "platform/window/window_handshake.h"
#include "platform/window/window_scale.h"

namespace akkusim {

namespace {

constexpr wchar_t kClassName[] = L"akkusim";
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;

// Ctrl+C or a closing console, for the window started from a console: the
// window hears it as its close button.
std::atomic<HWND> gWindow{nullptr};

BOOL WINAPI onConsoleClose(DWORD) {
  const HWND window = gWindow.load();
  if (window == nullptr) return FALSE;
  PostMessageW(window, WM_CLOSE, 0, 0);
  return TRUE;
}

class Win32Platform : public Platform {
 public:
  // The system timer ticks every millisecond while the window is open, so
  // that a 1 ms pause lasts about that rather than a 15.6 ms tick.
  explicit Win32Platform(int scale) : scale_(scale) { timeBeginPeriod(1); }
  ~Win32Platform() override {
    requestStop(handshake_);
    if (wake_ != nullptr) SetEvent(wake_);
    if (thread_.joinable()) thread_.join();
    if (wake_ != nullptr) CloseHandle(wake_);
    timeEndPeriod(1);
  }

  // Starts the window thread.
  Status start() {
    wake_ = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    if (wake_ == nullptr) return Failure{"das Fenster konnte nicht geöffnet werden"};
    // Nothing to prepare before the window is asked for.
    markPhase(handshake_, WindowPhase::Ready);
    thread_ = std::thread([this] { run(); });
    return succeeded();
  }

  Status openWindow(int32_t width, int32_t height) override {
    return requestWindow(handshake_, width, height);
  }

  void present(const Image& frame) override {
    if (stagePresentedFrame(handshake_, frame)) SetEvent(wake_);
  }

  MouseReading readMouse() override {
    return akkusim::readMouse(input_, handshake_.width, handshake_.height);
  }
  std::optional<Key> readKey() override { return akkusim::readKey(input_); }
  bool isKeyDown(int32_t scancode) override { return akkusim::isKeyDown(input_, scancode); }

  void sleepMs(int32_t milliseconds) override {
    if (milliseconds > 0) Sleep(static_cast<DWORD>(milliseconds));
  }

  int64_t nowMicros() override {
    return std::chrono::duration_cast<std::chrono::microseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
  }

 private:
  // The window thread: the window belongs to it, and so do its messages.
  void run() {
    if (!waitForWindowRequest(handshake_)) return;
    if (!createWindow()) {
      markFailed(handshake_, "das Fenster konnte nicht geöffnet werden");
      return;
    }
    markPhase(handshake_, WindowPhase::Open);
    loop();
    gWindow.store(nullptr);
    DestroyWindow(window_);
  }

  // The largest scale whose window, frame included, fits the work area
  // (the screen without the task bar).
  int autoScale(int32_t frameWidth, int32_t frameHeight) const {
    RECT work{};
    if (!SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0)) return 1;
    return chooseScale(work.right - work.left, work.bottom - work.top, handshake_.width,
                       handshake_.height, frameWidth, frameHeight);
  }

  bool createWindow() {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = &Win32Platform::onMessage;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    windowClass.lpszClassName = kClassName;
    if (RegisterClassExW(&windowClass) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
      return false;
    }
    RECT frame{0, 0, 0, 0};
    AdjustWindowRectEx(&frame, kStyle, FALSE, 0);
    const int32_t frameWidth = frame.right - frame.left;
    const int32_t frameHeight = frame.bottom - frame.top;
    if (scale_ == 0) scale_ = autoScale(frameWidth, frameHeight);
    const int32_t outerWidth = handshake_.width * scale_ + frameWidth;
    const int32_t outerHeight = handshake_.height * scale_ + frameHeight;
    RECT work{0, 0, outerWidth, outerHeight};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const int32_t left =
        work.left + std::max<int32_t>(0, (work.right - work.left - outerWidth) / 2);
    const int32_t top = work.top + std::max<int32_t>(0, (work.bottom - work.top - outerHeight) / 2);
    window_ = CreateWindowExW(0, kClassName, L"akkusim", kStyle, left, top, outerWidth, outerHeight,
                              nullptr, nullptr, GetModuleHandleW(nullptr), this);
    if (window_ == nullptr) return false;
    gWindow.store(window_);
    SetConsoleCtrlHandler(onConsoleClose, TRUE);
    ShowWindow(window_, SW_SHOWNORMAL);
    SetForegroundWindow(window_);
    SetFocus(window_);
    POINT pointer{};
    GetCursorPos(&pointer);
    ScreenToClient(window_, &pointer);
    const bool focused = GetFocus() == window_;
    record([&](InputState& input) {
      input.focused = focused;
      input.x = unscaled(pointer.x, scale_);
      input.y = unscaled(pointer.y, scale_);
      input.inside = pointer.x >= 0 && pointer.y >= 0 && pointer.x < handshake_.width * scale_ &&
                     pointer.y < handshake_.height * scale_;
    });
    return true;
  }

  void loop() {
    while (!stopRequested(handshake_)) {
      MsgWaitForMultipleObjectsEx(1, &wake_, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
      MSG message;
      while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
      }
      if (!takeStagedChanges(handshake_, rects_)) continue;
      haveFrame_ = true;
      const HDC dc = GetDC(window_);
      paintScaled(dc, rects_, handshake_.frames.shown.data(), handshake_.width, scale_, scratch_);
      ReleaseDC(window_, dc);
    }
  }

  static LRESULT CALLBACK onMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
      const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
      SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<Win32Platform*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self != nullptr) {
      if (const std::optional<LRESULT> handled = self->handle(window, message, wParam, lParam)) {
        return *handled;
      }
    }
    return DefWindowProcW(window, message, wParam, lParam);
  }

  // Nothing for the messages Windows itself answers.
  std::optional<LRESULT> handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
      case WM_PAINT: {
        PAINTSTRUCT paint;
        const HDC dc = BeginPaint(window, &paint);
        // The frame as last sent; before the first one, the window's black.
        if (haveFrame_) {
          const std::vector<Rect> whole{Rect{0, 0, handshake_.width, handshake_.height}};
          paintScaled(dc, whole, handshake_.frames.shown.data(), handshake_.width, scale_,
                      scratch_);
        } else {
          FillRect(dc, &paint.rcPaint, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        }
        EndPaint(window, &paint);
        return 0;
      }
      case WM_ERASEBKGND:
        return 1;  // WM_PAINT covers all of it
      case WM_CLOSE:
        record([](InputState& input) { pushKey(input.keys, keys::kWindowClose); });
        return 0;
      case WM_KEYDOWN:
      case WM_SYSKEYDOWN:
      case WM_KEYUP:
      case WM_SYSKEYUP: {
        const bool down = message == WM_KEYDOWN || message == WM_SYSKEYDOWN;
        recordKey({down ? KeyMessageKind::Down : KeyMessageKind::Up, static_cast<uint32_t>(wParam),
                   static_cast<uint32_t>(lParam)});
        // Alt+F4 and the window menu stay Windows' own.
        if (message == WM_SYSKEYDOWN || message == WM_SYSKEYUP) return std::nullopt;
        return 0;
      }
      case WM_CHAR:
        recordKey({KeyMessageKind::Character, static_cast<uint32_t>(wParam),
                   static_cast<uint32_t>(lParam)});
        return 0;
      default:
        return handleMouse(window, message, wParam, lParam);
    }
  }

  std::optional<LRESULT> handleMouse(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
      case WM_MOUSEMOVE:
        if (!tracking_) {
          TRACKMOUSEEVENT track{sizeof(TRACKMOUSEEVENT), TME_LEAVE, window, 0};
          tracking_ = TrackMouseEvent(&track) != 0;
        }
        movePointer(lParam);
        return 0;
      case WM_MOUSELEAVE:
        tracking_ = false;
        record([](InputState& input) { input.inside = false; });
        return 0;
      case WM_LBUTTONDOWN:
      case WM_RBUTTONDOWN:
      case WM_MBUTTONDOWN:
      case WM_LBUTTONUP:
      case WM_RBUTTONUP:
      case WM_MBUTTONUP: {
        movePointer(lParam);
        const bool down =
            message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN || message == WM_MBUTTONDOWN;
        const int32_t bit = message == WM_LBUTTONDOWN || message == WM_LBUTTONUP   ? 1
                            : message == WM_RBUTTONDOWN || message == WM_RBUTTONUP ? 2
                                                                                   : 4;
        int32_t held = 0;
        record([&](InputState& input) {
          if (down) {
            input.buttons |= bit;
            input.pressedSinceRead |= bit;
          } else {
            input.buttons &= ~bit;
          }
          held = input.buttons;
        });
        // A drag that leaves the window still ends with its release here.
        if (down) SetCapture(window);
        if (held == 0) ReleaseCapture();
        return 0;
      }
      case WM_MOUSEWHEEL: {
        // Notches, away from the user positive; finer wheels add up.
        wheelRest_ += GET_WHEEL_DELTA_WPARAM(wParam);
        const int32_t notches = wheelRest_ / WHEEL_DELTA;
        wheelRest_ -= notches * WHEEL_DELTA;
        record([&](InputState& input) { input.wheel += notches; });
        return 0;
      }
      case WM_SETFOCUS:
      case WM_KILLFOCUS:
        record([&](InputState& input) {
          input.focused = message == WM_SETFOCUS;
          releaseAll(input);
        });
        return 0;
      default:
        return std::nullopt;
    }
  }

  void movePointer(LPARAM lParam) {
    const int32_t x = unscaled(GET_X_LPARAM(lParam), scale_);
    const int32_t y = unscaled(GET_Y_LPARAM(lParam), scale_);
    record([&](InputState& input) {
      input.x = x;
      input.y = y;
      input.inside = true;
    });
  }

  template <typename Change>
  void record(Change change) {
    updateInput(input_, change);
  }

  void recordKey(const KeyMessage& message) {
    record([&](InputState& input) { recordKeyMessage(input, message); });
  }

  int scale_;  // 0 until the window thread picks it
  std::thread thread_;
  HANDLE wake_ = nullptr;  // set when a frame is staged or the platform ends

  WindowHandshake handshake_;
  SharedInput input_;

  // The window thread's own.
  HWND window_ = nullptr;
  std::vector<Rect> rects_;
  std::vector<uint32_t> scratch_;
  bool haveFrame_ = false;
  bool tracking_ = false;  // asked to hear when the pointer leaves
  int32_t wheelRest_ = 0;
};

}  // namespace

Result<std::unique_ptr<Platform>> makeWin32Platform(int scale) {
  if (scale < 0 || scale > kMaxScale) return Failure{"der Maßstab muss zwischen 1 und 4 liegen"};
  auto platform = std::make_unique<Win32Platform>(scale);
  const Status started = platform->start();
  if (!started) return Failure{started.reason()};
  return std::unique_ptr<Platform>(std::move(platform));
}

}  // namespace akkusim
