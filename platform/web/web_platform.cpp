#include "platform/web/web_platform.h"

#include <emscripten.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#include "platform/web/sleep_pacer.h"
#include "platform/web/web_input.h"

// The page side lives in web_host.js; these are the calls into it.
EM_JS(int, akkusim_take_event,
      (int32_t * numbers, char* key, int keyCapacity, char* code, int codeCapacity),
      { return Module.akkusimHost.takeEvent(numbers, key, keyCapacity, code, codeCapacity); });
EM_JS(void, akkusim_present, (const uint8_t* rgba, int width, int height, int top, int rows),
      { Module.akkusimHost.present(rgba, width, height, top, rows); });
EM_JS(void, akkusim_note_shown_frame, (const uint32_t* pixels, int width, int height),
      { Module.akkusimHost.noteShownFrame(pixels, width, height); });
EM_ASYNC_JS(void, akkusim_pause, (int milliseconds),
            { await Module.akkusimHost.pause(milliseconds); });

namespace akkusim {
namespace {

enum class EventType : int {
  None = 0,
  KeyDown = 1,
  KeyUp = 2,
  PointerMove = 3,
  ButtonDown = 4,
  ButtonUp = 5,
  Wheel = 6,
  Focus = 7,
  Blur = 8,
};

// 0x00RRGGBB words to the canvas's bytes R, G, B, A (A opaque), as one
// little-endian word.
uint32_t canvasWord(uint32_t pixel) {
  return 0xFF000000u | ((pixel & 0xFFu) << 16) | (pixel & 0xFF00u) | ((pixel >> 16) & 0xFFu);
}

class WebPlatform : public Platform {
 public:
  Status openWindow(int32_t width, int32_t height) override {
    if (width < 1 || height < 1) return Failure{"ungültige Fenstergröße"};
    width_ = width;
    height_ = height;
    const auto pixels = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    shown_.assign(pixels, 0);
    canvas_.assign(pixels, 0);
    shownAny_ = false;
    akkusim_note_shown_frame(shown_.data(), width, height);
    return succeeded();
  }

  // Only the band of rows that changed goes to the canvas: copying and
  // drawing a whole frame costs the browser about a millisecond.
  void present(const Image& frame) override {
    if (frame.width != width_ || frame.height != height_) return;
    const auto width = static_cast<std::size_t>(width_);
    int32_t top = -1;
    int32_t bottom = -1;
    for (int32_t y = 0; y < height_; ++y) {
      const std::size_t at = static_cast<std::size_t>(y) * width;
      const uint32_t* from = frame.pixels.data() + at;
      if (shownAny_ && std::memcmp(from, shown_.data() + at, width * sizeof(uint32_t)) == 0) {
        continue;
      }
      std::memcpy(shown_.data() + at, from, width * sizeof(uint32_t));
      std::transform(from, from + width, canvas_.data() + at, canvasWord);
      if (top < 0) top = y;
      bottom = y;
    }
    shownAny_ = true;
    if (top < 0) return;
    akkusim_present(reinterpret_cast<const uint8_t*>(canvas_.data()), width_, height_, top,
                    bottom - top + 1);
  }

  MouseReading readMouse() override {
    takeEvents();
    return akkusim::readMouse(input_);
  }

  std::optional<Key> readKey() override {
    takeEvents();
    return akkusim::readKey(input_);
  }

  bool isKeyDown(int32_t scancode) override {
    takeEvents();
    return akkusim::isKeyDown(input_, scancode);
  }

  void sleepMs(int32_t milliseconds) override {
    const Pause pause = planPause(pacer_, milliseconds, nowMicros());
    akkusim_pause(pause.timer ? pause.milliseconds : 0);
    notePaused(pacer_, nowMicros());
    takeEvents();
  }

  int64_t nowMicros() override { return static_cast<int64_t>(emscripten_get_now() * 1000.0); }

 private:
  // Stops at a full key queue: the rest waits in the page's queue, in
  // order, so that keys typed while the program was busy are not lost.
  void takeEvents() {
    std::array<int32_t, 4> numbers{};
    std::array<char, 64> key{};
    std::array<char, 64> code{};
    while (!isFull(input_.keys)) {
      const auto type = static_cast<EventType>(
          akkusim_take_event(numbers.data(), key.data(), static_cast<int>(key.size()), code.data(),
                             static_cast<int>(code.size())));
      switch (type) {
        case EventType::None:
          return;
        case EventType::KeyDown:
          applyKeyDown(input_, key.data(), code.data(), static_cast<uint32_t>(numbers[0]));
          break;
        case EventType::KeyUp:
          applyKeyUp(input_, code.data());
          break;
        case EventType::PointerMove:
          applyPointerMove(input_, numbers[0], numbers[1]);
          break;
        case EventType::ButtonDown:
        case EventType::ButtonUp:
          applyButton(input_, numbers[0], numbers[1], numbers[2], type == EventType::ButtonDown);
          break;
        case EventType::Wheel:
          applyWheel(input_, numbers[0]);
          break;
        case EventType::Focus:
        case EventType::Blur:
          applyFocus(input_, type == EventType::Focus);
          break;
      }
    }
  }

  int32_t width_ = 0;
  int32_t height_ = 0;
  std::vector<uint32_t> shown_;   // the frame as the canvas has it
  std::vector<uint32_t> canvas_;  // the same in the canvas's byte order
  bool shownAny_ = false;
  WebInput input_;
  SleepPacer pacer_;
};

}  // namespace

std::unique_ptr<Platform> makeWebPlatform() {
  return std::make_unique<WebPlatform>();
}

}  // namespace akkusim
