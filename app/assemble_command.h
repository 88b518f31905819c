#pragma once
// The Assemble button: the passes plus the error message and the redraw.

#include "app/command_result.h"
#include "machine/machine_state.h"

namespace akkusim {

struct Screen;
struct MemoryView;
struct Session;

CommandResult assemble(Screen& screen, Session& session, const MemoryView& memoryView);

}  // namespace akkusim
