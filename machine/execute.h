#pragma once
// The semantics of one instruction, without any screen.

#include <cstdint>
#include <functional>
#include <vector>

#include "machine/machine_state.h"

namespace akkusim {

enum class StepOutcome {
  Executed,
  Hold,                // HOLD executed: pc points at it again
  MemoryOverflow,      // the instruction at pc does not fit: nothing fetched, nothing changed
  BadShift,            // negative shift count
  UnknownInstruction,  // code word not in the table
  DivisionByZero,      // divide or remainder by 0
};

// Performs one step: memory limit check, fetch (instructionAddress, pc,
// instruction, parameter), decode through the table and the operation, which
// sets the touched word as the instruction group says.
StepOutcome executeInstruction(MachineState& machine);

// How far a run of steps went: the steps performed (a MemoryOverflow step,
// which fetches nothing, included) and the outcome of the last one (Executed
// when none was made or the limit was reached).
struct StepsRun {
  int64_t steps = 0;
  StepOutcome lastOutcome = StepOutcome::Executed;
};

// Runs up to `maxSteps` steps with the same results as calling
// executeInstruction that often, but with the hot registers kept in locals.
// Stops after the first step whose outcome is not Executed.
StepsRun runInstructions(MachineState& machine, int64_t maxSteps);

// Sees the machine after every step that fetched an instruction.
using StepObserver = std::function<void(const MachineState&)>;

// The same loop, writing the registers back and calling `observer` after
// each step that fetched something; slower, for a trace.
StepsRun runInstructions(MachineState& machine, int64_t maxSteps, const StepObserver& observer);

// How a run that refuses some instructions went: as above, and whether it
// stopped before a refused one (that step not made, pc at it).
struct GuardedRun {
  StepsRun run;
  bool refused = false;
};

// The plain loop, stopping before an instruction whose code word is marked
// in `refusedCodes` (kMemoryWords bytes indexed by the word's bits, non-zero
// = refused): however the word came there, written as data or stored by the
// program itself.
GuardedRun runInstructionsRefusing(MachineState& machine, int64_t maxSteps,
                                   const uint8_t* refusedCodes);

struct StoreLog;

// How a run that may stop at breakpoints went: as above, and whether it
// stopped before a marked instruction (that step not made).
struct RecordedRun {
  StepsRun run;
  bool atBreakpoint = false;
};

// The plain loop, but each STORE first notes the word it overwrites in
// `log`; with a non-null `stopBefore` (kMemoryWords bytes, non-zero = stop)
// it stops before an instruction whose address is marked, with
// `leavesBreakpoint` not before the first step, so that a run can leave the
// breakpoint it was started on. The step history is built on it.
RecordedRun runInstructionsLogged(MachineState& machine, int64_t maxSteps, StoreLog& log,
                                  const uint8_t* stopBefore, bool leavesBreakpoint);

}  // namespace akkusim
