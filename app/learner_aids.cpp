#include "app/learner_aids.h"

#include <array>
#include <cstddef>

#include "app/session.h"
#include "app/step_command.h"
#include "ui/listing_view.h"
#include "ui/memory_view_tracker.h"
#include "ui/message_box.h"
#include "ui/register_panel.h"

namespace akkusim {

namespace {

struct AidKey {
  Key key;
  Aid aid;
};

constexpr std::array<AidKey, 4> kAidKeys{{
    {keys::kF1, Aid::Help},
    {keys::kF2, Aid::StepBack},
    {keys::kF8, Aid::FastRun},
    {keys::kF9, Aid::Breakpoint},
}};

// Five lines at most, as the message box holds.
constexpr std::string_view kHelpText =
    "F1 Hilfe   F2 Schritt zurück   F8 Schnelllauf (Stoppen oder Esc hält an)\\n"
    "F9 Haltepunkt auf der Zeile des Cursors an/aus: Starten und F8 halten davor\\n"
    "Editor: Pfeiltasten und Bild auf/ab wechseln die Zeile, Pos1/Ende springen,\\n"
    "Tab rückt ein, Eingabe fügt eine Zeile ein,\\n"
    "Rücktaste und Entf löschen Zeichen und leere Zeilen";

constexpr std::string_view kNothingToUndo = "Kein Schritt zum Zurücknehmen";

}  // namespace

std::optional<Aid> aidOfKey(Key key) {
  for (const AidKey& entry : kAidKeys) {
    if (entry.key == key) return entry.aid;
  }
  return std::nullopt;
}

std::string_view helpText() {
  return kHelpText;
}

CommandResult showHelp(Screen& screen) {
  const MessageAnswer answer = showMessage(screen, kHelpText, " OK ");
  return answer == MessageAnswer::WindowClosed ? CommandResult::WindowClosed : CommandResult::Done;
}

CommandResult stepBack(Screen& screen, Session& session, ListingView& listing,
                       const MemoryView& memoryView) {
  MachineState& machine = *session.machine;
  if (!takeStepsBack(session.history, machine, 1)) {
    session.panelShown.valid = false;
    const MessageAnswer answer = showMessage(screen, kNothingToUndo, " OK ");
    return answer == MessageAnswer::WindowClosed ? CommandResult::WindowClosed
                                                 : CommandResult::NotDone;
  }
  const int32_t line =
      hasExecuted(machine)
          ? session.lineMap.lineOfAddress[static_cast<std::size_t>(machine.instructionAddress)]
          : kNoLine;
  showExecutedLine(screen, session, listing, line);
  const bool atStart = session.history.steps == 0 && session.pictureBeforeSteps;
  if (atStart && restorePanel(screen, memoryView, *session.pictureBeforeSteps)) {
    session.panelShown.valid = false;
  } else {
    updateRegisterPanel(screen, memoryView, machine, machine.touched, session.panelShown);
  }
  return CommandResult::Done;
}

void keepPictureBeforeSteps(const Screen& screen, Session& session, const MemoryView& memoryView) {
  if (session.history.checkpoints.empty()) {
    session.pictureBeforeSteps = copyPanel(screen, memoryView);
  }
}

void toggleBreakpoint(Screen& screen, Session& session, ListingView& listing) {
  const int32_t index = session.cursor.currentLine;
  if (index < 0 || index >= lineCount(session.program)) return;
  ProgramLine& line = session.program.lines[static_cast<std::size_t>(index)];
  line.breakpoint = !line.breakpoint;
  const int32_t number = index + 1;
  drawListingRow(screen, listing, session.program, number, true,
                 number == session.highlightLine ? kLightGreen : kWhite);
}

std::vector<uint8_t> breakpointAddresses(const Session& session) {
  std::vector<uint8_t> stops;
  for (const ProgramLine& line : session.program.lines) {
    // A line typed since the last Assemble has no instruction in memory yet.
    if (!line.breakpoint || !line.assembledAddress || *line.assembledAddress >= kMemoryWords) {
      continue;
    }
    if (stops.empty()) stops.assign(static_cast<std::size_t>(kMemoryWords), 0);
    stops[static_cast<std::size_t>(*line.assembledAddress)] = 1;
  }
  return stops;
}

}  // namespace akkusim
