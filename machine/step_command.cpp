#include "machine/step_command.h"

#include "machine/execute.h"
#include "ui/listing_view.h"
#include "ui/message_box.h"
#include "ui/register_panel.h"
#include "ui/scroll_view.h"

namespace {

constexpr int32_t kLastFetchAddress = kMemoryWords - 2;
constexpr const char* kOkButton = " OK ";

// Moves the executed-line mark to `line` (0 = none). A line the program no
// longer has (edited or loaded since the last Assemble) is neither drawn nor
// kept as the mark.
void moveHighlight(Screen& screen, ListingView& listing, int32_t line) {
  if (listing.highlightLine != 0) {
    drawListingRow(screen, listing, listing.highlightLine, false, kWhite);
  }
  if (line > 0 && drawListingRow(screen, listing, line, false, kLightGreen)) {
    listing.highlightLine = line;
    showView(screen, listing.view, false, false);
    return;
  }
  if (listing.highlightLine != 0) {
    showView(screen, listing.view, false, false);
    listing.highlightLine = 0;
  }
}

}  // namespace

int32_t executeStep(Screen& screen, ListingView& listing, MachineState& machine,
                    int32_t& touchedAddress) {
  if (machine.pc > kLastFetchAddress) {
    return showMessage(screen, outcomeMessage(StepOutcome::MemoryOverflow), kOkButton);
  }
  // The instruction about to be fetched lies at pc; the operation cannot
  // change the line map, so the mark can be placed once the step is done.
  const int32_t line = machine.lineOfAddress[static_cast<std::size_t>(machine.pc)];
  const StepOutcome outcome = executeInstruction(machine, touchedAddress);
  moveHighlight(screen, listing, line);

  switch (outcome) {
    case StepOutcome::Executed:
      return 0;
    case StepOutcome::Hold: {
      drawMemoryView(screen, machine, -1);
      const int32_t answer = showMessage(screen, outcomeMessage(outcome), kOkButton);
      return answer > 0 ? 2 : -1;
    }
    case StepOutcome::MemoryOverflow:
    case StepOutcome::BadShift:
    case StepOutcome::UnknownInstruction:
    case StepOutcome::DivisionByZero:
      return showMessage(screen, outcomeMessage(outcome), kOkButton);
  }
  return 0;
}
