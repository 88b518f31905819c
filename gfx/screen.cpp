#include "gfx/screen.h"

#include <algorithm>
#include <cstring>

namespace akkusim {

Status openScreen(Screen& screen, int32_t width, int32_t height) {
  std::optional<Image> frame = createImage(width, height, screen.background);
  if (!frame) return Failure{"ungültige Fenstergröße"};
  Status opened = screen.platform->openWindow(width, height);
  if (!opened) return opened;
  screen.window = std::move(*frame);
  screen.lockDepth = 0;
  screen.presentedVersion = ~uint64_t{0};
  screen.lastPresentMicros = screen.platform->nowMicros() - kPresentIntervalMicros;
  return succeeded();
}

void setColors(Screen& screen, uint32_t foreground, uint32_t background) {
  screen.foreground = foreground;
  screen.background = background;
}

void clearScreen(Screen& screen) {
  fillBox(screen.window, 0, 0, screen.window.width - 1, screen.window.height - 1,
          screen.background);
}

void lockScreen(Screen& screen) {
  ++screen.lockDepth;
}

void unlockScreen(Screen& screen) {
  if (screen.lockDepth > 0) --screen.lockDepth;
  // The batch is complete: show it as soon as the present rate allows (at
  // the latest at the next poll).
  if (screen.lockDepth == 0) refreshScreen(screen);
}

void refreshScreen(Screen& screen, bool force) {
  if (screen.lockDepth > 0 || screen.window.width < 1) return;
  if (screen.window.version == screen.presentedVersion) return;
  const int64_t now = screen.platform->nowMicros();
  if (!force && now - screen.lastPresentMicros < kPresentIntervalMicros) return;
  screen.platform->present(screen.window);
  screen.presentedVersion = screen.window.version;
  screen.lastPresentMicros = now;
}

bool grabImage(const Screen& screen, int32_t x, int32_t y, int32_t dx, int32_t dy,
               Image& destination) {
  const Image& window = screen.window;
  const int64_t right = int64_t{x} + dx;
  const int64_t bottom = int64_t{y} + dy;
  if (x < 0 || y < 0 || dx < 0 || dy < 0 || right >= window.width || bottom >= window.height) {
    return false;
  }
  if (int64_t{destination.width} < int64_t{dx} + 1 ||
      int64_t{destination.height} < int64_t{dy} + 1 ||
      destination.pixels.size() != static_cast<std::size_t>(destination.width) *
                                       static_cast<std::size_t>(destination.height)) {
    return false;
  }
  const auto bytes = (static_cast<std::size_t>(dx) + 1) * sizeof(uint32_t);
  for (int64_t row = 0; row <= dy; ++row) {
    std::memcpy(destination.pixels.data() + row * destination.width,
                window.pixels.data() + (y + row) * window.width + x, bytes);
  }
  ++destination.version;
  return true;
}

MouseReading readMouse(Screen& screen) {
  refreshScreen(screen);
  return screen.platform->readMouse();
}

std::optional<Key> readKey(Screen& screen) {
  refreshScreen(screen);
  return screen.platform->readKey();
}

bool isKeyDown(Screen& screen, int32_t scancode) {
  refreshScreen(screen);
  return screen.platform->isKeyDown(scancode);
}

void sleepMs(Screen& screen, int32_t milliseconds) {
  refreshScreen(screen);
  screen.platform->sleepMs(milliseconds);
}

}  // namespace akkusim
