#pragma once

namespace akkusim {

// How a command of the main window ended, as the main loop and the run loop
// need to know it.

enum class CommandResult {
  Done,          // assembled, stepped, loaded or saved
  NotDone,       // cancelled, or the file could not be opened or written
  Declined,      // "Nein" to overwriting a file
  ErrorShown,    // an error's message box was acknowledged
  HoldReached,   // "Programmende" was acknowledged
  Stopped,       // Stoppen ended a run
  WindowClosed,  // the window is being closed: the program ends
};

// A message box's answer as a command's end: -1 is the window closing.
inline CommandResult afterErrorBox(int answer) {
  return answer == -1 ? CommandResult::WindowClosed : CommandResult::ErrorShown;
}

}  // namespace akkusim
