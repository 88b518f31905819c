#include "app/file_command.h"

#include <string>

#include "app/session.h"
#include "app/unsaved_changes.h"
#include "files/file_system.h"
#include "files/program_folder.h"
#include "files/program_store.h"
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
// On Windows a program that holds the file open keeps it from being replaced;
// closing it there is all the learner has to do.
constexpr std::string_view kHeldElsewhere{
    "Fehler: Die Datei ist in einem anderen Programm\\ngeöffnet und wurde nicht gespeichert.\\n"
    "Schließe sie dort und speichere noch einmal."};
constexpr std::string_view kDeviceName{
    "Fehler: Diesen Namen hat Windows für ein Gerät\\nreserviert (CON, NUL, COM1 ...).\\n"
    "Bitte wähle einen anderen Namen."};
constexpr std::string_view kOk{" OK "};
constexpr std::string_view kYesNo{"Ja\\nNein"};

}  // namespace

CommandResult loadProgram(Screen& screen, Session& session, ProgramStore& store) {
  const ChosenFile chosen = chooseFile(screen, true, "", store);
  // A cancel empties the name, so that the next Speichern proposes none.
  session.fileName = chosen.name;
  if (chosen.end == ChooserEnd::WindowClosed) return CommandResult::WindowClosed;
  if (chosen.name.empty()) return CommandResult::NotDone;

  Result<LoadedProgram> loaded = store.load(chosen.name);
  if (!loaded) return CommandResult::NotDone;
  session.program = std::move(loaded->program);
  noteProgramStored(session);
  session.highlightLine = kNoLine;
  if (loaded->incomplete && showMessage(screen, joinLines(loadWarningLines(), kMessageLineBreak),
                                        kOk) == MessageAnswer::WindowClosed) {
    return CommandResult::WindowClosed;
  }
  return CommandResult::Done;
}

CommandResult saveProgram(Screen& screen, Session& session, ProgramStore& store) {
  const ChosenFile chosen = chooseFile(screen, false, session.fileName, store);
  if (chosen.end == ChooserEnd::WindowClosed) return CommandResult::WindowClosed;
  const std::string& name = chosen.name;
  if (name.empty()) return CommandResult::NotDone;
  if (isDeviceName(name)) {
    return showMessage(screen, kDeviceName, kOk) == MessageAnswer::WindowClosed
               ? CommandResult::WindowClosed
               : CommandResult::NotDone;
  }

  // The program's own file is replaced without a question, unless another
  // tab saved it since this one last looked.
  const bool ownFile = name == session.fileName && !store.changedElsewhere(name);
  if (!ownFile && store.exists(name)) {
    const MessageAnswer answer = showMessage(screen, kOverwriteQuestion, kYesNo);
    if (answer == MessageAnswer::WindowClosed) return CommandResult::WindowClosed;
    if (answer != MessageAnswer::FirstButton) return CommandResult::Declined;
  }
  session.fileName = name;

  // The old file stays as it was unless the new one is completely stored.
  if (const Status saved = store.save(name, session.program); !saved) {
    const bool heldElsewhere = saved.reason() == kHeldElsewhereReason;
    const MessageAnswer answer =
        showMessage(screen, heldElsewhere ? kHeldElsewhere : kSaveFailed, kOk);
    return answer == MessageAnswer::WindowClosed ? CommandResult::WindowClosed
                                                 : CommandResult::NotDone;
  }
  noteProgramStored(session);
  return CommandResult::Done;
}

}  // namespace akkusim
