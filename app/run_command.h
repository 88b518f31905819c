#pragma once
// Starten/Stoppen: the run loop that owns the screen while a program runs.

#include <cstdint>
#include <optional>
#include <vector>

#include "app/command_result.h"
#include "machine/machine_state.h"

namespace akkusim {

struct Screen;
struct ListingView;
struct MemoryView;
struct MainButtons;
struct Session;
struct Button;

// HoldReached, Stopped, WindowClosed, AtBreakpoint, or ErrorShown after a
// run-time error.
CommandResult runProgram(Screen& screen, MainButtons& buttons, Session& session,
                         ListingView& listing, const MemoryView& memoryView);

// What every run does around its loop: the other buttons locked, Starten
// turned into Stoppen, and the marked word put back afterwards.
struct RunFrame {
  std::optional<Address> touchedBeforeRun;
};
// Returns Stoppen, for the loop to poll.
Button& beginRun(Screen& screen, MainButtons& buttons, MachineState& machine, RunFrame& frame);
void endRun(Screen& screen, MainButtons& buttons, MachineState& machine, const RunFrame& frame);

// Stops a run before an instruction of a breakpoint line: its line marked.
CommandResult stopAtBreakpoint(Screen& screen, Session& session, ListingView& listing);

}  // namespace akkusim
