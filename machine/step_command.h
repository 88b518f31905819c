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
