#include "machine/run_command.h"

#include <array>

#include "machine/step_command.h"
#include "program/line_edit.h"
#include "ui/button.h"
#include "ui/main_buttons.h"
#include "ui/memory_view_tracker.h"
#include "ui/register_panel.h"

namespace {

// Every command button but Starten, which turns into Stoppen during a run.
constexpr std::array<MainButton, 6> kLockedDuringRun{
    MainButton::Laden,   MainButton::Speichern, MainButton::Assemble,
    MainButton::Schritt, MainButton::Reset,     MainButton::Neu,
};

}  // namespace

int32_t runProgram(Screen& screen, ListingView& listing, MachineState& machine) {
  for (const MainButton which : kLockedDuringRun) {
    disableButton(screen, mainButton(which));
  }
  Button& startStop = mainButton(MainButton::Starten);
  startStop.label = "Stoppen";
  drawButton(screen, startStop);

  // The click that started the run must not stop it at once.
  MouseState mouse{};
  waitForRelease(screen, mouse);

  int32_t touchedAddress = 0;
  int32_t result = 0;
  MemoryViewShadow shown;    // the first pass draws the whole view
  ListingScreenSync listed;  // and shows the whole listing
  do {
    result = executeStep(screen, listing, machine, touchedAddress, listed);
    pollMouse(screen, mouse);
    if (buttonPressed(mouse, startStop, 1)) {
      result = 3;
    }
    if (readKey(screen) == keys::kWindowClose) {
      result = -1;
    }
    // A pass that executed its instruction drew nothing over the memory
    // view, so repainting the words that changed gives the full picture; a
    // step that ends the run may have (HOLD, a message box).
    if (result == 0) {
      updateMemoryView(screen, machine, touchedAddress, shown);
    } else {
      drawMemoryView(screen, machine, touchedAddress);
    }
    sleepMs(screen, 1);
  } while (result == 0);

  for (const MainButton which : kLockedDuringRun) {
    enableButton(screen, mainButton(which));
  }
  startStop.label = "Starten";
  drawButton(screen, startStop);
  return result;
}
