#include "app/step_command.h"

#include <algorithm>

#include "app/learner_aids.h"
#include "app/session.h"
#include "gfx/draw.h"
#include "machine/execute.h"
#include "program/messages.h"
#include "ui/listing_view.h"
#include "ui/message_box.h"
#include "ui/register_panel.h"
#include "ui/scroll_view.h"

namespace akkusim {

namespace {

constexpr const char* kOkButton = " OK ";

// Puts the rows a step redrew on the screen: the whole view, or with a
// synchronised screen only those rows.
void showRows(Screen& screen, ListingView& listing, ListingScreenSync* sync,
              const int32_t (&lines)[2]) {
  if (sync == nullptr || !sync->screenShowsImage) {
    showView(screen, listing.view, false, false);
    if (sync != nullptr) {
      sync->screenShowsImage = true;
    }
    return;
  }
  const ScrollView& view = listing.view;
  const int32_t height = view.bounds.height;
  for (const int32_t line : lines) {
    if (line == kNoLine) {
      continue;
    }
    const int32_t rowY = (line - 1) * kListingRowHeight - view.scrollY;
    const int32_t top = std::max(rowY, 0);
    const int32_t bottom = std::min(rowY + kListingRowHeight - 1, height - 1);
    if (top <= bottom) {
      putImageRegion(screen.window, view.bounds.x, view.bounds.y + top, view.image, 0, top,
                     view.bounds.width - 1, bottom - top);
    }
  }
}

// Moves the executed-line mark to `line` (or none). A line the program no
// longer has (edited or loaded since the last Assemble) is neither drawn nor
// kept as the mark.
void moveHighlight(Screen& screen, Session& session, ListingView& listing, int32_t line,
                   ListingScreenSync* sync) {
  int32_t& highlightLine = session.highlightLine;
  int32_t redrawn[2] = {kNoLine, kNoLine};
  if (highlightLine != kNoLine &&
      drawListingRow(screen, listing, session.program, highlightLine, false, kWhite)) {
    redrawn[0] = highlightLine;
  }
  if (line != kNoLine &&
      drawListingRow(screen, listing, session.program, line, false, kLightGreen)) {
    highlightLine = line;
    redrawn[1] = line;
    showRows(screen, listing, sync, redrawn);
    return;
  }
  if (highlightLine != kNoLine) {
    showRows(screen, listing, sync, redrawn);
    highlightLine = kNoLine;
  }
}

CommandResult step(Screen& screen, Session& session, ListingView& listing,
                   const MemoryView& memoryView, ListingScreenSync* sync) {
  MachineState& machine = *session.machine;
  if (!instructionFits(machine.pc)) {
    return stepEnd(screen, memoryView, machine, StepOutcome::MemoryOverflow);
  }
  // The instruction about to be fetched lies at pc; the operation cannot
  // change the line map, so the mark can be placed once the step is done.
  const int32_t line = session.lineMap.lineOfAddress[static_cast<std::size_t>(machine.pc)];
  keepPictureBeforeSteps(screen, session, memoryView);
  const StepOutcome outcome = executeInstructionRecorded(machine, session.history);
  moveHighlight(screen, session, listing, line, sync);
  return stepEnd(screen, memoryView, machine, outcome);
}

}  // namespace

CommandResult executeStep(Screen& screen, Session& session, ListingView& listing,
                          const MemoryView& memoryView) {
  return step(screen, session, listing, memoryView, nullptr);
}

CommandResult executeStep(Screen& screen, Session& session, ListingView& listing,
                          const MemoryView& memoryView, ListingScreenSync& sync) {
  return step(screen, session, listing, memoryView, &sync);
}

void showExecutedLine(Screen& screen, Session& session, ListingView& listing, int32_t line) {
  moveHighlight(screen, session, listing, line, nullptr);
}

void showExecutedLine(Screen& screen, Session& session, ListingView& listing, int32_t line,
                      ListingScreenSync& sync) {
  moveHighlight(screen, session, listing, line, &sync);
}

CommandResult stepEnd(Screen& screen, const MemoryView& memoryView, const MachineState& machine,
                      StepOutcome outcome) {
  switch (outcome) {
    case StepOutcome::Executed:
      return CommandResult::Done;
    case StepOutcome::Hold: {
      drawMemoryView(screen, memoryView, machine, std::nullopt);
      const MessageAnswer answer = showMessage(screen, outcomeMessage(outcome), kOkButton);
      return answeredByButton(answer) ? CommandResult::HoldReached : CommandResult::WindowClosed;
    }
    case StepOutcome::MemoryOverflow:
    case StepOutcome::BadShift:
    case StepOutcome::UnknownInstruction:
    case StepOutcome::DivisionByZero:
      return afterErrorBox(showMessage(screen, outcomeMessage(outcome), kOkButton));
  }
  return CommandResult::Done;
}

}  // namespace akkusim
