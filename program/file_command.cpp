#include "program/file_command.h"

#include <fstream>
#include <string>
#include <system_error>

#include "program/line_edit.h"
#include "program/program_file.h"
#include "ui/file_chooser.h"
#include "ui/listing_view.h"
#include "ui/message_box.h"
#include "ui/screen.h"

namespace {

// "\n" here is the message box's separator: backslash and "n".
constexpr std::string_view kLoadWarning{
    "Achtung: Diese Datei konnte nicht\\nvollständig importiert werden."};
constexpr std::string_view kOverwriteQuestion{
    "Die Datei exitiert bereits.\\nSoll sie überschrieben werden?"};
constexpr std::string_view kSaveFailed{"Fehler: Die Datei konnte nicht gespeichert werden."};
constexpr std::string_view kOk{" OK "};
constexpr std::string_view kYesNo{"Ja\\nNein"};

constexpr int32_t kYes = 1;

// A program file that another name already stands for: one that can be
// opened for reading (a folder of that name is none).
bool programFileExists(const std::filesystem::path& path) {
  std::error_code error;
  if (std::filesystem::is_directory(path, error)) return false;
  const std::ifstream in(path, std::ios::binary);
  return in.is_open();
}

}  // namespace

int32_t laden(Screen& screen, ListingView& listing, const std::filesystem::path& folder) {
  const std::string name = chooseFile(screen, true, "", folder);
  listing.fileName = name;
  if (name == keys::kWindowClose) return -1;
  if (name.empty()) return 0;

  std::optional<LoadedProgram> loaded = loadProgramFile(programFilePath(folder, name));
  if (!loaded) return 0;
  listing.lines = std::move(loaded->program);
  listing.highlightLine = 0;
  screen.platform->programFileUsed(programFilePath(folder, name), false);
  if (loaded->incomplete) return showMessage(screen, kLoadWarning, kOk);
  return 1;
}

int32_t speichern(Screen& screen, ListingView& listing, const std::filesystem::path& folder) {
  const std::string name = chooseFile(screen, false, listing.fileName, folder);
  if (name == keys::kWindowClose) return -1;
  if (name.empty()) return 0;

  const std::filesystem::path path = programFilePath(folder, name);
  if (name != listing.fileName && programFileExists(path)) {
    const int32_t answer = showMessage(screen, kOverwriteQuestion, kYesNo);
    if (answer != kYes) return answer;
  }
  listing.fileName = name;

  // The old file stays as it was unless the new one is completely on disk.
  if (!saveProgramFile(path, listing.lines) || !screen.platform->programFileUsed(path, true)) {
    const int32_t answer = showMessage(screen, kSaveFailed, kOk);
    return answer == -1 ? -1 : 0;
  }
  return 1;
}
