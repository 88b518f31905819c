// The browser edition's entry point: the learner's files in the browser's
// storage, then the same window as on the desktop.

#include <emscripten.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>

#include "app/main_window.h"
#include "app/unsaved_changes.h"
#include "files/program_file.h"
#include "gfx/screen.h"
#include "grader/test_command.h"
#include "platform/web/program_store.h"
#include "platform/web/web_platform.h"
#include "platform/web/web_storage.h"

namespace {

constexpr std::string_view kStorageRoot{"/akkusim"};
constexpr std::string_view kProgramFolder{"/akkusim/Programme"};
// Packed into the page's data file by the build.
constexpr std::string_view kExamples{"/Beispiele"};

// The page's controls reach the store through the exported function below.
akkusim::BrowserProgramStore& programStore() {
  static akkusim::BrowserProgramStore store(
      akkusim::BrowserFolder{std::filesystem::path(kProgramFolder),
                             std::filesystem::path(kExamples)},
      akkusim::pageStorage());
  return store;
}

// The page asks the window whether leaving would lose work.
akkusim::MainWindow& mainWindow() {
  static akkusim::MainWindow window;
  return window;
}

}  // namespace

// Whether closing or reloading the page would lose the learner's program:
// 1 asks first.
extern "C" EMSCRIPTEN_KEEPALIVE int akkusim_has_unsaved_changes() {
  return akkusim::hasUnsavedChanges(mainWindow().session) ? 1 : 0;
}

// The page's "Datei hochladen", once the storage is read back: an
// UploadResult.
extern "C" EMSCRIPTEN_KEEPALIVE int akkusim_store_upload(const char* fileName, const char* bytes,
                                                         int length, int overwrite) {
  const std::string_view data(bytes, length > 0 ? static_cast<std::size_t>(length) : 0);
  return static_cast<int>(programStore().upload(fileName, data, overwrite != 0));
}

// Self-check and grading: `akkusim test` with the command line's arguments
// (argv[1] is "test") on files the page wrote into its memory, checked one
// after the other. The report goes into the file `outPath`, the messages into
// `errPath`, for the page to read byte for byte; the command's exit code.
extern "C" EMSCRIPTEN_KEEPALIVE int akkusim_test(int argc, const char* const* argv,
                                                 const char* outPath, const char* errPath) {
  std::ofstream out(outPath, std::ios::binary | std::ios::trunc);
  std::ofstream err(errPath, std::ios::binary | std::ios::trunc);
  std::istringstream noInput;
  return akkusim::runTestCommandWith(argc, argv, noInput, out, err, false, akkusim::checkInOrder);
}

// The listing's text as it is now, written to `path` as Speichern writes it:
// 1 when written.
extern "C" EMSCRIPTEN_KEEPALIVE int akkusim_write_current_program(const char* path) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  return akkusim::writeProgram(file, mainWindow().session.program) ? 1 : 0;
}

// The name the current program was last loaded or saved under, "" for none.
extern "C" EMSCRIPTEN_KEEPALIVE const char* akkusim_current_program_name() {
  return mainWindow().session.fileName.c_str();
}

int main() {
  akkusim::startBrowserStorage(std::string(kStorageRoot));
  std::unique_ptr<akkusim::Platform> platform = akkusim::makeWebPlatform();
  akkusim::Screen screen(*platform);
  mainWindow().programs = &programStore();
  return akkusim::runMainWindow(screen, mainWindow());
}
