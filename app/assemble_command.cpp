#include "app/assemble_command.h"

#include "app/session.h"
#include "program/assemble.h"
#include "program/messages.h"
#include "ui/message_box.h"
#include "ui/register_panel.h"

namespace akkusim {

CommandResult assemble(Screen& screen, Session& session, const MemoryView& memoryView) {
  MachineState& machine = *session.machine;
  const AssembleResult result = assembleProgram(session.program, machine, session.lineMap);
  if (result.error != AssembleError::None) {
    return afterErrorBox(
        showMessage(screen, joinLines(assembleErrorLines(result), kMessageLineBreak), "Abbruch"));
  }
  drawMemoryView(screen, memoryView, machine, -1);
  return CommandResult::Done;
}

}  // namespace akkusim
