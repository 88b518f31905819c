#pragma once
// One step as the window shows it: listing highlight and messages.

#include <cstdint>

#include "app/command_result.h"
#include "machine/execute.h"
#include "machine/machine_state.h"

namespace akkusim {

struct Screen;
struct ListingView;
struct MemoryView;
struct Session;

// Done when the instruction was executed and the run may go on.
CommandResult executeStep(Screen& screen, Session& session, ListingView& listing,
                          const MemoryView& memoryView);

// The listing's screen area during a run. Once a step has shown the whole
// view, the screen matches the listing image (no text cursor, no scroll bar)
// and nothing else draws there until the run ends, so later steps copy only
// the rows they redrew: the same picture for a fraction of the copying.
struct ListingScreenSync {
  bool screenShowsImage = false;
};

// As above, for the run loop.
CommandResult executeStep(Screen& screen, Session& session, ListingView& listing,
                          const MemoryView& memoryView, ListingScreenSync& sync);

// Moves the executed-line mark to `line` (1-based, or kNoLine for none) and
// shows the rows it redrew.
void showExecutedLine(Screen& screen, Session& session, ListingView& listing, int32_t line);
void showExecutedLine(Screen& screen, Session& session, ListingView& listing, int32_t line,
                      ListingScreenSync& sync);

// How a step that ended with `outcome` ends the command: Done for an
// executed instruction, else the end's message box (HOLD first draws the
// memory view without the touched word).
CommandResult stepEnd(Screen& screen, const MemoryView& memoryView, const MachineState& machine,
                      StepOutcome outcome);

}  // namespace akkusim
