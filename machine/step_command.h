#pragma once
// One step as the window shows it: listing highlight and messages.

#include <cstdint>

#include "machine/machine_state.h"

struct Screen;
struct ListingView;

// 0 executed; 2 HOLD acknowledged; -1 window closing; otherwise the result
// of the error's message box.
int32_t executeStep(Screen& screen, ListingView& listing, MachineState& machine,
                    int32_t& touchedAddress);

// The listing's screen area during a run. Once a step has shown the whole
// view, the screen matches the listing image (no text cursor, no scroll bar)
// and nothing else draws there until the run ends, so later steps copy only
// the rows they redrew: the same picture for a fraction of the copying.
struct ListingScreenSync {
  bool screenShowsImage = false;
};

// As above, for the run loop.
int32_t executeStep(Screen& screen, ListingView& listing, MachineState& machine,
                    int32_t& touchedAddress, ListingScreenSync& sync);
