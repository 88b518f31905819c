#include "platform/headless/headless_platform.h"

#include <cmath>
#include <utility>

#include "gfx/key_queue.h"

namespace akkusim {

namespace {

constexpr int64_t kPollMicros = 10;
// After the last scripted action the program gets this long to react before
// the window is "closed".
constexpr int64_t kGraceMicros = 50000;

}  // namespace

HeadlessPlatform::HeadlessPlatform() = default;

HeadlessPlatform& HeadlessPlatform::schedule(std::function<void()> apply) {
  events_.push_back({std::llround(scriptTimeMs_ * 1000.0), std::move(apply)});
  return *this;
}

HeadlessPlatform& HeadlessPlatform::wait(double milliseconds) {
  if (milliseconds > 0) scriptTimeMs_ += milliseconds;
  return *this;
}

HeadlessPlatform& HeadlessPlatform::moveTo(int32_t x, int32_t y) {
  return schedule([this, x, y] {
    inside_ = true;
    x_ = x;
    y_ = y;
  });
}

HeadlessPlatform& HeadlessPlatform::leaveWindow() {
  return schedule([this] { inside_ = false; });
}

HeadlessPlatform& HeadlessPlatform::press(int32_t buttons) {
  return schedule([this, buttons] { buttons_ = buttons; });
}

HeadlessPlatform& HeadlessPlatform::release() {
  return schedule([this] { buttons_ = 0; });
}

HeadlessPlatform& HeadlessPlatform::click(int32_t x, int32_t y, int32_t buttons) {
  return moveTo(x, y).press(buttons).wait(5).release().wait(5);
}

HeadlessPlatform& HeadlessPlatform::wheel(int32_t notches) {
  return schedule([this, notches] { wheel_ += notches; });
}

HeadlessPlatform& HeadlessPlatform::key(Key key) {
  return schedule([this, key] {
           if (keys_.size() >= kKeyQueueLength) keys_.pop_front();
           keys_.push_back(key);
         })
      .wait(3);
}

HeadlessPlatform& HeadlessPlatform::type(const std::string& bytes) {
  for (const char byte : bytes) key(keys::character(static_cast<uint8_t>(byte)));
  return *this;
}

HeadlessPlatform& HeadlessPlatform::shift(bool down) {
  return schedule([this, down] { keyDown_[42] = down; });
}

HeadlessPlatform& HeadlessPlatform::rightShift(bool down) {
  return schedule([this, down] { keyDown_[54] = down; });
}

HeadlessPlatform& HeadlessPlatform::closeWindow() {
  return key(keys::kWindowClose);
}

HeadlessPlatform& HeadlessPlatform::call(std::function<void()> action) {
  return schedule(std::move(action));
}

Status HeadlessPlatform::openWindow(int32_t width, int32_t height) {
  if (width < 1 || height < 1) return Failure{"ungültige Fenstergröße"};
  return succeeded();
}

void HeadlessPlatform::present(const Image&) {
  ++presentCount_;
}

void HeadlessPlatform::advance(int64_t micros) {
  nowMicros_ += micros;
  while (nextEvent_ < events_.size() && events_[nextEvent_].atMicros <= nowMicros_) {
    // A copy: the action may schedule more and so move the vector.
    const std::function<void()> apply = events_[nextEvent_].apply;
    ++nextEvent_;
    apply();
  }
  if (scriptDone()) buttons_ = 0;
}

bool HeadlessPlatform::scriptDone() const {
  return nextEvent_ >= events_.size() &&
         nowMicros_ >= std::llround(scriptTimeMs_ * 1000.0) + kGraceMicros;
}

MouseReading HeadlessPlatform::readMouse() {
  ++pollCount_;
  advance(kPollMicros);
  if (!inside_) return MouseReading{};
  return MouseReading{true, x_, y_, wheel_, mouseButtonsFromBits(buttons_)};
}

std::optional<Key> HeadlessPlatform::readKey() {
  ++pollCount_;
  advance(kPollMicros);
  if (keys_.empty()) return scriptDone() ? std::optional(keys::kWindowClose) : std::nullopt;
  const Key key = keys_.front();
  keys_.pop_front();
  return key;
}

bool HeadlessPlatform::isKeyDown(int32_t scancode) {
  ++pollCount_;
  advance(kPollMicros);
  if (scancode < 0 || scancode > 127) return false;
  return keyDown_[scancode];
}

void HeadlessPlatform::sleepMs(int32_t milliseconds) {
  if (milliseconds > 0) advance(int64_t{milliseconds} * 1000);
}

}  // namespace akkusim
