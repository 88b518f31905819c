#pragma once
// Running a program to its end without pause: what every front end without a
// window does with an assembled machine.

#include <cstdint>
#include <string_view>

#include "machine/execute.h"
#include "machine/machine_state.h"

namespace akkusim {

// How a run ended: a step outcome other than Executed, or the step limit.
enum class RunEnd { Hold, MemoryOverflow, BadShift, UnknownInstruction, DivisionByZero, StepLimit };

RunEnd runEndOf(StepOutcome lastOutcome);
// The name of the end in JSON output and test files, e.g. "hold", "stepLimit".
std::string_view runEndName(RunEnd end);

struct RunSummary {
  int64_t steps = 0;  // instructions fetched, the last one included
  RunEnd end = RunEnd::Hold;
};

// Runs up to `maxSteps` steps through the fast run loop.
RunSummary runToEnd(MachineState& machine, int64_t maxSteps);
// The same run, stopped before an instruction whose code word is marked in
// `refusedCodes` (see runInstructionsRefusing); `refused` tells whether it
// was, with the machine's pc then at that instruction.
struct GuardedSummary {
  RunSummary summary;
  bool refused = false;
};
GuardedSummary runToEndRefusing(MachineState& machine, int64_t maxSteps,
                                const uint8_t* refusedCodes);
// The same run, showing `observer` the machine after every fetched step.
RunSummary runToEnd(MachineState& machine, int64_t maxSteps, const StepObserver& observer);

}  // namespace akkusim
