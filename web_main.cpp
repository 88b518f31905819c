// The browser edition's entry point: the learner's files in the browser's
// storage, then the same window as on the desktop.

#include <emscripten.h>

#include <filesystem>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>

#include "app/main_window.h"
#include "app/unsaved_changes.h"
#include "files/program_file.h"
#include "gfx/screen.h"
#include "platform/web/program_store.h"
#include "platform/web/shared_program.h"
#include "platform/web/web_platform.h"
#include "platform/web/web_share.h"
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

// The self-check's copy of the program, kept for the page to read.
std::string& currentProgramBytes() {
  static std::string bytes;
  return bytes;
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

// The listing's text as it is now, as Speichern would write it, for the
// self-check: akkusim_current_program_size() bytes from the returned address,
// valid until the next call.
extern "C" EMSCRIPTEN_KEEPALIVE const char* akkusim_current_program() {
  std::ostringstream out;
  currentProgramBytes() =
      akkusim::writeProgram(out, mainWindow().session.program) ? out.str() : std::string();
  return currentProgramBytes().data();
}

extern "C" EMSCRIPTEN_KEEPALIVE int akkusim_current_program_size() {
  return static_cast<int>(currentProgramBytes().size());
}

// The name the current program was last loaded or saved under, "" for none.
extern "C" EMSCRIPTEN_KEEPALIVE const char* akkusim_current_program_name() {
  return mainWindow().session.fileName.c_str();
}

// The current program as a shared link carries it (UTF-8), for the page's
// "Link kopieren"; valid until the next call.
extern "C" EMSCRIPTEN_KEEPALIVE const char* akkusim_shared_text() {
  static std::string text;
  text = akkusim::sharedProgramText(mainWindow().session.program);
  return text.c_str();
}

namespace {

// A page opened with a program in its address shows it, never saved.
void openSharedLink() {
  const std::optional<std::string> text = akkusim::takeSharedLinkText();
  if (!text) return;
  akkusim::Result<akkusim::ProgramText> program = akkusim::programFromSharedText(*text);
  if (program) mainWindow().firstProgram = std::move(*program);
  akkusim::reportSharedLink(program ? std::string_view{} : std::string_view(program.reason()));
}

}  // namespace

int main() {
  akkusim::startBrowserStorage(std::string(kStorageRoot));
  openSharedLink();
  std::unique_ptr<akkusim::Platform> platform = akkusim::makeWebPlatform();
  akkusim::Screen screen(*platform);
  mainWindow().programs = &programStore();
  return akkusim::runMainWindow(screen, mainWindow());
}
