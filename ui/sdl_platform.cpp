#include "ui/sdl_platform.h"
// STUB: replaced by the window-services work.
std::unique_ptr<Platform> makeSdlPlatform(int, std::string& error) {
  error = "no window yet";
  return nullptr;
}
