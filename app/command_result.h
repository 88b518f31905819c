#pragma once

#include "ui/message_box.h"

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
  AtBreakpoint,  // a run stopped before an instruction on a breakpoint line
  WindowClosed,  // the window is being closed: the program ends
};

// An error's message box answer as a command's end.
inline CommandResult afterErrorBox(MessageAnswer answer) {
  return answer == MessageAnswer::WindowClosed ? CommandResult::WindowClosed
                                               : CommandResult::ErrorShown;
}

}  // namespace akkusim
