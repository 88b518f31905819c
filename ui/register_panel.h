#pragma once
// Register rows, flags and the memory view of 78 rows of 10 words.

#include <cstdint>
#include <string>
#include <string_view>

#include "machine/machine_state.h"
#include "ui/screen.h"

std::string formatNumber(int32_t value, int32_t width);
std::string alignRight(std::string_view text, int32_t width);

void drawRegisterPanel(Screen& screen, const MachineState& machine, int32_t touchedAddress);
void drawMemoryView(Screen& screen, const MachineState& machine, int32_t touchedAddress);
