#include "assembler/assemble_command.h"

#include "assembler/assemble.h"
#include "ui/listing_view.h"
#include "ui/message_box.h"
#include "ui/register_panel.h"

int32_t assemble(Screen& screen, ListingView& listing, MachineState& machine) {
  const AssembleResult result = assembleProgram(listing.lines, machine);
  if (result.error != AssembleError::None) {
    return showMessage(screen, assembleErrorMessage(result), "Abbruch");
  }
  drawMemoryView(screen, machine, -1);
  return 0;
}
