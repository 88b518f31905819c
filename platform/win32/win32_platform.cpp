#include "platform/win32/win32_platform.h"

namespace akkusim {

// The commands come first on Windows; the window follows.
Result<std::unique_ptr<Platform>> makeWin32Platform(int /*scale*/) {
  return Failure{
      "das Fenster gibt es in der Windows-Ausgabe noch nicht; "
      "akkusim run, asm und test laufen (siehe akkusim --help)"};
}

}  // namespace akkusim
