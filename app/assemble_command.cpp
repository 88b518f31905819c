#include "app/assemble_command.h"

#include "program/assemble.h"
#include "program/messages.h"
#include "ui/listing_view.h"
#include "ui/message_box.h"
#include "ui/register_panel.h"

namespace akkusim {

CommandResult assemble(Screen& screen, ListingView& listing, const MemoryView& memoryView,
                       MachineState& machine) {
  const AssembleResult result = assembleProgram(listing.lines, machine);
  if (result.error != AssembleError::None) {
    return afterErrorBox(showMessage(screen, messageBoxText(assembleErrorLines(result)), "Abbruch"));
  }
  drawMemoryView(screen, memoryView, machine, -1);
  return CommandResult::Done;
}

}  // namespace akkusim
