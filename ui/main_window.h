#pragma once
// The main routine: start-up, the polling loop and shut-down.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

#include "machine/machine_state.h"
#include "program/editor_command.h"
#include "ui/button.h"
#include "ui/listing_view.h"
#include "ui/screen.h"

struct MainWindow {
  std::unique_ptr<MachineState> machine = std::make_unique<MachineState>();
  ListingView listing;
  MouseState mouse;
  int32_t lastWheel = 0;
  std::string key;
  std::string spec = "a0%";
  EditorCursor cursor;
  int32_t touchedAddress = 0;
  int32_t result = 0;
  std::filesystem::path programFolder;  // the "Programme" folder
};

// Start-up steps: window, colours, machine, listing, panel, buttons, wait.
// False (with a reason) when no window can be opened.
bool startMainWindow(Screen& screen, MainWindow& main, std::string& error);
// The loop until the window-close key or a command's -1.
void runMainLoop(Screen& screen, MainWindow& main);
// Start-up, loop and shut-down; the exit code (0, or 1 without a window).
int32_t runMainWindow(Screen& screen, const std::filesystem::path& programFolder);

void drawTextCursor(Screen& screen, const MainWindow& main);
