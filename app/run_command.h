#pragma once
// Starten/Stoppen: the run loop that owns the screen while a program runs.

#include "app/command_result.h"
#include "machine/machine_state.h"

namespace akkusim {

struct Screen;
struct ListingView;
struct MemoryView;
struct MainButtons;
struct Session;

// HoldReached, Stopped, WindowClosed, or ErrorShown after a run-time error.
CommandResult runProgram(Screen& screen, MainButtons& buttons, Session& session,
                         ListingView& listing, const MemoryView& memoryView);

}  // namespace akkusim
