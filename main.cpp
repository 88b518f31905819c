// The akkusim executable: the window without arguments, headless commands
// (run, asm, --help, --version) otherwise.

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>
#include <string_view>

#include "app/main_window.h"
#include "cli/cli.h"
#include "cli/terminal.h"
#include "files/disk_program_store.h"
#include "files/file_system.h"
#include "files/program_location.h"
#include "gfx/screen.h"
#ifdef _WIN32
#include "platform/win32/win32_platform.h"
#else
#include "platform/sdl/sdl_platform.h"
#endif

namespace {

akkusim::Result<std::unique_ptr<akkusim::Platform>> makeWindow(int scale) {
#ifdef _WIN32
  return akkusim::makeWin32Platform(scale);
#else
  return akkusim::makeSdlPlatform(scale);
#endif
}

}  // namespace

int main(int argc, char** argv) {
  using namespace akkusim;
  prepareStandardStreams();
  if (isCliInvocation(argc, argv)) {
    return runCli(argc, argv, std::cin, std::cout, std::cerr);
  }
  int scale = 0;  // as large as the display allows
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--scale" && i + 1 < argc) {
      const std::string value = argv[++i];
      if (value.size() != 1 || value[0] < '1' || value[0] > '4') {
        std::fprintf(stderr, "akkusim: --scale erwartet eine Zahl von 1 bis 4\n");
        return 1;
      }
      scale = value[0] - '0';
    } else {
      std::fprintf(stderr, "akkusim: unbekanntes Argument '%s' (siehe akkusim --help)\n", argv[i]);
      return 1;
    }
  }
  Result<std::unique_ptr<Platform>> platform = makeWindow(scale);
  if (!platform) {
    std::fprintf(stderr, "akkusim: %s\n", platform.reason().c_str());
    return 1;
  }
  Screen screen(**platform);
  const std::filesystem::path here = executableFolder(argv[0]);
  Result<std::filesystem::path> folder = prepareProgramFolder(here, userDocumentsFolder());
  if (!folder) {
    // The shipped examples can still be loaded; a save then says why it failed.
    std::fprintf(stderr, "akkusim: %s\n", folder.reason().c_str());
    folder = sharedFolder(here) / pathFromUtf8(kProgramFolderName);
  }
  DiskProgramStore programs(*folder);
  return runMainWindow(screen, programs);
}
