#pragma once
// The Assemble button: the passes plus the error message and the redraw.

#include <cstdint>

#include "machine/machine_state.h"

struct Screen;
struct ListingView;

// 0 on success; after an error the message box's result.
int32_t assemble(Screen& screen, ListingView& listing, MachineState& machine);
