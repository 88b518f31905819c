#pragma once
// Starten/Stoppen: the run loop that owns the screen while a program runs.

#include <cstdint>

#include "machine/machine_state.h"

struct Screen;
struct ListingView;

// 2 HOLD, 3 Stoppen pressed, -1 window closing, other non-zero: the last
// step's error box result.
int32_t runProgram(Screen& screen, ListingView& listing, MachineState& machine);
