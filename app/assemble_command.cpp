#include "app/assemble_command.h"

#include "app/session.h"
#include "program/assemble.h"
#include "program/messages.h"
#include "ui/message_box.h"
#include "ui/register_panel.h"

namespace akkusim {

CommandResult assemble(Screen& screen, Session& session, const MemoryView& memoryView) {
  MachineState& machine = *session.machine;
  // Assembling resets the machine but leaves the touched word: a first step
  // that touches nothing of its own shows the word the last one touched.
  const std::optional<Address> touched = machine.touched;
  const AssembleResult result = assembleProgram(session.program, machine, session.lineMap);
  machine.touched = touched;
  if (result.error != AssembleError::None) {
    return afterErrorBox(
        showMessage(screen, joinLines(assembleErrorLines(result), kMessageLineBreak), "Abbruch"));
  }
  drawMemoryView(screen, memoryView, machine, std::nullopt);
  return CommandResult::Done;
}

}  // namespace akkusim
