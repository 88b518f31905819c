#pragma once
// Whether leaving now would lose the learner's work. The browser's page asks
// before it is closed or reloaded; the rule is the window's.

#include "app/session.h"

namespace akkusim {

// The program differs from the file last loaded or saved, or was never
// saved and is not empty. Blanks at the end of a line and empty lines at the
// end of the program do not count: the editor adds them as the cursor
// passes, and they change nothing in the file's program.
bool hasUnsavedChanges(const Session& session);

// The program as it now is matches its file (just loaded or saved).
void noteProgramStored(Session& session);
// A new program that was never saved.
void forgetStoredProgram(Session& session);

}  // namespace akkusim
