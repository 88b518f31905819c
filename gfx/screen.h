#pragma once
// The window: a 1100 x 800 framebuffer with its colours, batch lock and
// input polling. Presents to the platform are throttled: a frame is handed
// over at most about 60 times a second, never while a lock is held.

#include <cstdint>
#include <string>

#include "base/result.h"
#include "gfx/draw.h"
#include "gfx/image.h"
#include "gfx/platform.h"

namespace akkusim {

inline constexpr int32_t kScreenWidth = 1100;
inline constexpr int32_t kScreenHeight = 800;

inline constexpr uint32_t kBlack = 0x000000;
inline constexpr uint32_t kWhite = 0xFFFFFF;
inline constexpr uint32_t kGrey = 0x9F9F9F;
inline constexpr uint32_t kDarkGrey = 0x7F7F7F;
inline constexpr uint32_t kLightGrey = 0xEEEEEE;
inline constexpr uint32_t kRed = 0xFF0000;
inline constexpr uint32_t kLightGreen = 0x7FFF7F;

inline constexpr int64_t kPresentIntervalMicros = 16000;

struct Screen {
  explicit Screen(Platform& platformRef) : platform(&platformRef) {}
  Platform* platform;
  Image window;  // the framebuffer; draw into it like into any Image
  uint32_t foreground = kBlack;
  uint32_t background = kWhite;
  int32_t lockDepth = 0;
  uint64_t presentedVersion = ~uint64_t{0};
  int64_t lastPresentMicros = 0;
};

Status openScreen(Screen& screen, int32_t width, int32_t height);
void setColors(Screen& screen, uint32_t foreground, uint32_t background);
void clearScreen(Screen& screen);

void lockScreen(Screen& screen);
void unlockScreen(Screen& screen);
// Hands the frame to the platform if it changed, no lock is held and the
// last present is old enough (or `force`).
void refreshScreen(Screen& screen, bool force = false);

// Copies the window rectangle (x, y)..(x + dx, y + dy) into the image's top
// left; copies nothing and fails unless the rectangle lies inside the window.
bool grabImage(const Screen& screen, int32_t x, int32_t y, int32_t dx, int32_t dy,
               Image& destination);

MouseReading readMouse(Screen& screen);
std::optional<Key> readKey(Screen& screen);
bool isKeyDown(Screen& screen, int32_t scancode);
void sleepMs(Screen& screen, int32_t milliseconds);

}  // namespace akkusim
