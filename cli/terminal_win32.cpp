#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "cli/terminal.h"

namespace akkusim {

namespace {

UINT consolePageBefore = 0;

// The console keeps its page after the program ends: the one it had before
// comes back.
void restoreConsolePage() {
  if (consolePageBefore != 0) ::SetConsoleOutputCP(consolePageBefore);
}

bool isConsole(DWORD stream) {
  DWORD mode = 0;
  return ::GetConsoleMode(::GetStdHandle(stream), &mode) != 0;
}

}  // namespace

void prepareStandardStreams() {
  (void)::_setmode(::_fileno(stdin), _O_BINARY);
  (void)::_setmode(::_fileno(stdout), _O_BINARY);
  (void)::_setmode(::_fileno(stderr), _O_BINARY);
  const UINT page = ::GetConsoleOutputCP();
  if (page != 0 && page != CP_UTF8 && ::SetConsoleOutputCP(CP_UTF8)) {
    consolePageBefore = page;
    std::atexit(restoreConsolePage);
  }
}

// A console cannot be told apart from another one, so the report goes
// elsewhere exactly when standard output is no console.
bool progressWanted() {
  return isConsole(STD_ERROR_HANDLE) && !isConsole(STD_OUTPUT_HANDLE);
}

}  // namespace akkusim
