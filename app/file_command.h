#pragma once
// Laden and Speichern with their dialogs.

#include <cstdint>

#include "app/command_result.h"

namespace akkusim {

class ProgramStore;
struct Screen;
struct Session;

// Done also when the file was read with losses and the warning confirmed.
CommandResult loadProgram(Screen& screen, Session& session, ProgramStore& store);
// A save the store cannot keep is a failed save, with its message.
CommandResult saveProgram(Screen& screen, Session& session, ProgramStore& store);

}  // namespace akkusim
