#include "app/main_buttons.h"

namespace {

std::array<Button, 7> makeMainButtons() {
  return {
      makeButton(30, 130, 80, 15, "Laden"),    makeButton(30, 155, 80, 15, "Speichern"),
      makeButton(130, 130, 80, 15, "Assemble"), makeButton(130, 155, 80, 15, "Starten"),
      makeButton(230, 130, 80, 15, "Schritt"), makeButton(230, 155, 80, 15, "Reset"),
      makeButton(330, 130, 80, 15, "Neu"),
  };
}

// Created before the main routine runs, like the tables.
std::array<Button, 7> gMainButtons = makeMainButtons();

}  // namespace

std::array<Button, 7>& mainButtons() { return gMainButtons; }

Button& mainButton(MainButton which) { return gMainButtons[static_cast<std::size_t>(which)]; }

void resetMainButtons() { gMainButtons = makeMainButtons(); }
