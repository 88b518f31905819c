// The akkusim executable: the window without arguments, headless commands
// (run, asm, --help, --version) otherwise.

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>
#include <string_view>

#include "app/main_window.h"
#include "cli/cli.h"
#include "files/disk_program_store.h"
#include "gfx/screen.h"
#include "platform/sdl/sdl_platform.h"

namespace {

std::filesystem::path executableFolder(const char* argv0) {
  std::error_code error;
  std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) self = std::filesystem::absolute(argv0, error);
  return self.parent_path();
}

}  // namespace

int main(int argc, char** argv) {
  using namespace akkusim;
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
  Result<std::unique_ptr<Platform>> platform = makeSdlPlatform(scale);
  if (!platform) {
    std::fprintf(stderr, "akkusim: %s\n", platform.reason().c_str());
    return 1;
  }
  Screen screen(**platform);
  DiskProgramStore programs(executableFolder(argv[0]) / "Programme");
  return runMainWindow(screen, programs);
}
