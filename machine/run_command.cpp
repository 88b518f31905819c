#include "machine/run_command.h"
// STUB: replaced by the running-programs work.
int32_t runProgram(Screen&, ListingView&, MachineState&) { return 3; }
