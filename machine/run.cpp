#include "machine/run.h"

namespace akkusim {

namespace {

RunSummary summaryOf(const StepsRun& run) {
  // The memory-limit check fetches nothing, so it is no step of the program.
  const bool fetchedNothing = run.lastOutcome == StepOutcome::MemoryOverflow;
  return RunSummary{run.steps - (fetchedNothing ? 1 : 0), runEndOf(run.lastOutcome)};
}

}  // namespace

RunEnd runEndOf(StepOutcome lastOutcome) {
  switch (lastOutcome) {
    case StepOutcome::Executed:
      return RunEnd::StepLimit;
    case StepOutcome::Hold:
      return RunEnd::Hold;
    case StepOutcome::MemoryOverflow:
      return RunEnd::MemoryOverflow;
    case StepOutcome::BadShift:
      return RunEnd::BadShift;
    case StepOutcome::UnknownInstruction:
      return RunEnd::UnknownInstruction;
    case StepOutcome::DivisionByZero:
      return RunEnd::DivisionByZero;
  }
  return RunEnd::StepLimit;
}

std::string_view runEndName(RunEnd end) {
  switch (end) {
    case RunEnd::Hold:
      return "hold";
    case RunEnd::MemoryOverflow:
      return "memoryOverflow";
    case RunEnd::BadShift:
      return "badShift";
    case RunEnd::UnknownInstruction:
      return "unknownInstruction";
    case RunEnd::DivisionByZero:
      return "divisionByZero";
    case RunEnd::StepLimit:
      return "stepLimit";
  }
  return "";
}

RunSummary runToEnd(MachineState& machine, int64_t maxSteps) {
  return summaryOf(runInstructions(machine, maxSteps));
}

GuardedSummary runToEndRefusing(MachineState& machine, int64_t maxSteps,
                                const uint8_t* refusedCodes) {
  const GuardedRun guarded = runInstructionsRefusing(machine, maxSteps, refusedCodes);
  return GuardedSummary{summaryOf(guarded.run), guarded.refused};
}

RunSummary runToEnd(MachineState& machine, int64_t maxSteps, const StepObserver& observer) {
  return summaryOf(runInstructions(machine, maxSteps, observer));
}

}  // namespace akkusim
