#include "app/file_command.h"

#include <fstream>
#include <string>
#include <system_error>

#include "app/session.h"
#include "files/program_file.h"
#include "gfx/screen.h"
#include "program/messages.h"
#include "ui/file_chooser.h"
#include "ui/message_box.h"

namespace akkusim {

namespace {

// "\n" here is the message box's separator: backslash and "n".
constexpr std::string_view kOverwriteQuestion{
    "Die Datei exitiert bereits.\\nSoll sie überschrieben werden?"};
constexpr std::string_view kSaveFailed{"Fehler: Die Datei konnte nicht gespeichert werden."};
constexpr std::string_view kOk{" OK "};
constexpr std::string_view kYesNo{"Ja\\nNein"};

// A program file that another name already stands for: one that can be
// opened for reading (a folder of that name is none).
bool programFileExists(const std::filesystem::path& path) {
  std::error_code error;
  if (std::filesystem::is_directory(path, error)) return false;
  const std::ifstream in(path, std::ios::binary);
  return in.is_open();
}

}  // namespace

CommandResult laden(Screen& screen, Session& session, const std::filesystem::path& folder) {
  const ChosenFile chosen = chooseFile(screen, true, "", folder);
  // A cancel empties the name, so that the next Speichern proposes none.
  session.fileName = chosen.name;
  if (chosen.end == ChooserEnd::WindowClosed) return CommandResult::WindowClosed;
  if (chosen.name.empty()) return CommandResult::NotDone;

  std::optional<LoadedProgram> loaded = loadProgramFile(programFilePath(folder, chosen.name));
  if (!loaded) return CommandResult::NotDone;
  session.program = std::move(loaded->program);
  session.highlightLine = 0;
  screen.platform->programFileUsed(programFilePath(folder, chosen.name), false);
  if (loaded->incomplete &&
      showMessage(screen, messageBoxText(loadWarningLines()), kOk) == MessageAnswer::WindowClosed) {
    return CommandResult::WindowClosed;
  }
  return CommandResult::Done;
}

CommandResult speichern(Screen& screen, Session& session, const std::filesystem::path& folder) {
  const ChosenFile chosen = chooseFile(screen, false, session.fileName, folder);
  if (chosen.end == ChooserEnd::WindowClosed) return CommandResult::WindowClosed;
  const std::string& name = chosen.name;
  if (name.empty()) return CommandResult::NotDone;

  const std::filesystem::path path = programFilePath(folder, name);
  if (name != session.fileName && programFileExists(path)) {
    const MessageAnswer answer = showMessage(screen, kOverwriteQuestion, kYesNo);
    if (answer == MessageAnswer::WindowClosed) return CommandResult::WindowClosed;
    if (answer != MessageAnswer::FirstButton) return CommandResult::Declined;
  }
  session.fileName = name;

  // The old file stays as it was unless the new one is completely on disk.
  if (!saveProgramFile(path, session.program) || !screen.platform->programFileUsed(path, true)) {
    const MessageAnswer answer = showMessage(screen, kSaveFailed, kOk);
    return answer == MessageAnswer::WindowClosed ? CommandResult::WindowClosed
                                                 : CommandResult::NotDone;
  }
  return CommandResult::Done;
}

}  // namespace akkusim
