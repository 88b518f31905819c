// Opens the real window, draws, and reports the clicks and keys it receives
// on stdout until the close key arrives (exit code 0). Driven by
// sdl_smoke.sh under Xvfb.

#include <cstdio>
#include <string>

#include "gfx/screen.h"
#include "platform/sdl/sdl_platform.h"

using namespace akkusim;

int main() {
  Result<std::unique_ptr<Platform>> platform = makeSdlPlatform(1);
  if (!platform) {
    std::printf("no window: %s\n", platform.reason().c_str());
    return 1;
  }
  Screen screen(**platform);
  const Status opened = openScreen(screen, kScreenWidth, kScreenHeight);
  if (!opened) {
    std::printf("no screen: %s\n", opened.reason().c_str());
    return 1;
  }
  setColors(screen, kBlack, kWhite);
  clearScreen(screen);
  drawBoxRel(screen.window, 0, 0, 1099, 799, kBlack);
  drawText(screen.window, 20, 20, "akkusim Rauchtest \x84\x94\x81", kBlack);

  bool held = false;
  for (int pass = 0; pass < 30000; ++pass) {
    if (pass == 200) std::printf("ready\n");
    const MouseReading mouse = readMouse(screen);
    if (mouse.inside && mouse.buttons.left && !held) {
      std::printf("click %d %d\n", mouse.x, mouse.y);
      fillBoxRel(screen.window, mouse.x - 2, mouse.y - 2, 4, 4, kRed);
    }
    held = mouse.inside && mouse.buttons.left;
    const std::optional<Key> key = readKey(screen);
    if (key == keys::kWindowClose) {
      std::printf("close\n");
      return 0;
    }
    // An extended key is written as it used to travel: 255, then its scancode.
    if (key && key->kind == KeyKind::Extended) std::printf("key 255 %d\n", key->code);
    if (key && key->kind == KeyKind::Character) std::printf("key %d\n", key->code);
    std::fflush(stdout);
    sleepMs(screen, 1);
  }
  std::printf("timed out\n");
  return 2;
}
