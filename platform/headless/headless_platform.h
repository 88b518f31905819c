#pragma once
// A window without a display: scripted input on a virtual clock, so that a
// whole interaction (modal loops included) runs in a test in milliseconds.
//
// The script is a timeline: each builder call schedules its action at the
// script's current time; `wait` moves that time on. `sleepMs` advances the
// virtual clock without sleeping, and every poll advances it by 10 us, so
// loops that never sleep still move through the script. Once the script is
// used up (plus a short grace period) all mouse buttons are released and
// every `readKey` on an empty queue returns the window-close key, so no loop
// can hang a test.

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "gfx/platform.h"

namespace akkusim {

class HeadlessPlatform : public Platform {
 public:
  HeadlessPlatform();

  // --- script builders (return *this to chain) ---
  HeadlessPlatform& wait(double milliseconds);
  HeadlessPlatform& moveTo(int32_t x, int32_t y);
  HeadlessPlatform& leaveWindow();  // pointer outside: readings fail
  HeadlessPlatform& press(int32_t buttons = 1);
  HeadlessPlatform& release();
  // Move, press, hold 5 ms, release, wait 5 ms.
  HeadlessPlatform& click(int32_t x, int32_t y, int32_t buttons = 1);
  HeadlessPlatform& wheel(int32_t notches);              // +1 = one notch away from the user
  HeadlessPlatform& key(Key key);                        // one queued key, then 3 ms
  HeadlessPlatform& type(const std::string& bytes);      // each byte as a character key
  HeadlessPlatform& shift(bool down);                    // left Shift (scancode 42)
  HeadlessPlatform& rightShift(bool down);               // right Shift (scancode 54)
  HeadlessPlatform& closeWindow();                       // queues keys::kWindowClose
  HeadlessPlatform& call(std::function<void()> action);  // runs at that time
  double scriptEndMs() const { return scriptTimeMs_; }

  // --- observation ---
  double nowMs() const { return static_cast<double>(nowMicros_) / 1000.0; }
  int64_t presentCount() const { return presentCount_; }
  int64_t pollCount() const { return pollCount_; }

  // --- Platform ---
  Status openWindow(int32_t width, int32_t height) override;
  void present(const Image& frame) override;
  MouseReading readMouse() override;
  std::optional<Key> readKey() override;
  bool isKeyDown(int32_t scancode) override;
  void sleepMs(int32_t milliseconds) override;
  int64_t nowMicros() override { return nowMicros_; }

 private:
  struct Event {
    int64_t atMicros;
    std::function<void()> apply;
  };
  HeadlessPlatform& schedule(std::function<void()> apply);
  void advance(int64_t micros);
  bool scriptDone() const;

  std::vector<Event> events_;
  std::size_t nextEvent_ = 0;
  double scriptTimeMs_ = 0;
  int64_t nowMicros_ = 0;
  int64_t presentCount_ = 0;
  int64_t pollCount_ = 0;
  bool inside_ = true;
  int32_t x_ = 0;
  int32_t y_ = 0;
  int32_t wheel_ = 0;
  int32_t buttons_ = 0;
  bool keyDown_[128] = {};
  std::deque<Key> keys_;
};

}  // namespace akkusim
