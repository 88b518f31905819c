#pragma once
// The Assemble button: the passes plus the error message and the redraw.

#include "app/command_result.h"
#include "machine/machine_state.h"

namespace akkusim {

struct Screen;
struct ListingView;
struct MemoryView;

CommandResult assemble(Screen& screen, ListingView& listing, const MemoryView& memoryView,
                       MachineState& machine);

}  // namespace akkusim
