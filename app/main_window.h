#pragma once
// The main routine: start-up, the polling loop and shut-down.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "app/command_result.h"
#include "app/editor_command.h"
#include "app/main_buttons.h"
#include "app/session.h"
#include "base/result.h"
#include "files/program_store.h"
#include "gfx/key.h"
#include "gfx/screen.h"
#include "machine/machine_state.h"
#include "ui/button.h"
#include "ui/listing_view.h"
#include "ui/register_panel.h"

namespace akkusim {

struct MainWindow {
  Session session;
  MainButtons buttons = makeMainButtons();
  ListingView listing;
  MemoryView memoryView;
  MouseReading mouse;
  int32_t lastWheel = 0;
  std::optional<Key> key;
  CommandResult result = CommandResult::Done;
  ProgramStore* programs = nullptr;  // where Laden and Speichern keep programs
  // Shown in the listing at start, as never saved (the browser's shared link).
  std::optional<ProgramText> firstProgram;
};

// Start-up steps: window, colours, machine, listing, panel, buttons, wait.
// Fails (with the reason) when no window can be opened.
Status startMainWindow(Screen& screen, MainWindow& main);
// The loop until the window-close key or a command's -1.
void runMainLoop(Screen& screen, MainWindow& main);
// Start-up, loop and shut-down; the exit code (0, or 1 without a window).
int32_t runMainWindow(Screen& screen, ProgramStore& programs);
// The same for a window that others look at meanwhile (the browser's page
// asks it whether leaving would lose work); `main.programs` is set.
int32_t runMainWindow(Screen& screen, MainWindow& main);

void drawTextCursor(Screen& screen, const MainWindow& main);

}  // namespace akkusim
