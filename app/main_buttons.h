#pragma once
// The seven command buttons of the main window, created before the main
// routine runs and alive for the whole program.

#include <array>

#include "ui/button.h"

enum class MainButton { Laden, Speichern, Assemble, Starten, Schritt, Reset, Neu };

std::array<Button, 7>& mainButtons();
Button& mainButton(MainButton which);
// Back to the start-up state (labels, active); the main routine calls it so
// that a second run in one process (tests) starts alike.
void resetMainButtons();
