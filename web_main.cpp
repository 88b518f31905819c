// The browser edition's entry point: the learner's files in the browser's
// storage, then the same window as on the desktop.

#include <emscripten.h>

#include <filesystem>
#include <string>
#include <string_view>

#include "app/main_window.h"
#include "gfx/screen.h"
#include "platform/web/program_store.h"
#include "platform/web/web_platform.h"

namespace {

constexpr std::string_view kStorageRoot{"/akkusim"};
constexpr std::string_view kProgramFolder{"/akkusim/Programme"};
// Packed into the page's data file by the build.
constexpr std::string_view kExamples{"/Beispiele"};

}  // namespace

// The page's "Datei hochladen": an UploadResult.
extern "C" EMSCRIPTEN_KEEPALIVE int akkusim_store_upload(const char* fileName, const char* bytes,
                                                         int length, int overwrite) {
  const std::string_view data(bytes, length > 0 ? static_cast<std::size_t>(length) : 0);
  return static_cast<int>(
      akkusim::storeUpload(std::filesystem::path(kProgramFolder), fileName, data, overwrite != 0));
}

int main() {
  const std::filesystem::path folder(kProgramFolder);
  akkusim::startBrowserStorage(std::string(kStorageRoot));
  std::unique_ptr<akkusim::Platform> platform =
      akkusim::makeWebPlatform(akkusim::BrowserFolder{folder, std::filesystem::path(kExamples)});
  akkusim::Screen screen(*platform);
  return akkusim::runMainWindow(screen, folder);
}
