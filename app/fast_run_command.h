#pragma once
// The fast run: Starten without the pause after each step.

#include "app/command_result.h"

namespace akkusim {

struct Screen;
struct ListingView;
struct MemoryView;
struct MainButtons;
struct Session;

// Runs steps in batches and shows the machine between them, as often as
// the window presents; ends as runProgram ends (Escape stops it too).
CommandResult fastRun(Screen& screen, MainButtons& buttons, Session& session, ListingView& listing,
                      const MemoryView& memoryView);

}  // namespace akkusim
