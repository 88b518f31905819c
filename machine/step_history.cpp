#include "machine/step_history.h"

#include <algorithm>
#include <memory>

namespace akkusim {

namespace {

// A checkpoint whose STOREs since have left the ring can no longer be
// reached.
bool reachable(const StepHistory& history, const StepCheckpoint& checkpoint) {
  return history.storeEnd - checkpoint.storeEnd <= kStoreLogEntries;
}

// The machine as it is now becomes the checkpoint for the current step.
void checkpoint(StepHistory& history, const MachineState& machine,
                std::optional<Address> shownTouched) {
  const StepCheckpoint point{loadRegisters(machine), shownTouched, history.steps, history.storeEnd};
  if (!history.checkpoints.empty() && history.checkpoints.back().step == history.steps) {
    history.checkpoints.back() = point;
  } else {
    history.checkpoints.push_back(point);
  }
  while (history.checkpoints.size() > kCheckpoints ||
         !reachable(history, history.checkpoints.front())) {
    history.checkpoints.pop_front();
  }
  history.tip = point.registers;
}

void allocateLog(StepHistory& history) {
  if (history.stores) return;
    // Unwritten where the library can, so that the pages come as the log
    // fills; the browser's library only has the zero-filled kind.
#if defined(__cpp_lib_smart_ptr_for_overwrite)
  history.stores = std::make_unique_for_overwrite<StoreUndo[]>(kStoreLogEntries);
#else
  history.stores = std::make_unique<StoreUndo[]>(kStoreLogEntries);
#endif
}

// Before recording: the log, and a checkpoint where the steps would not go
// on from the last recorded one.
void prepare(StepHistory& history, const MachineState& machine) {
  allocateLog(history);
  if (history.checkpoints.empty() || history.tip != loadRegisters(machine)) {
    checkpoint(history, machine, machine.touched);
  }
}

// Runs `count` recorded steps again, none stopping the way.
void runAgain(StepHistory& history, MachineState& machine, uint64_t count) {
  StoreLog log{history.stores.get(), history.storeEnd};
  uint64_t left = count;
  while (left > 0) {
    const RecordedRun part =
        runInstructionsLogged(machine, static_cast<int64_t>(left), log, nullptr, false);
    if (part.run.steps <= 0) break;
    left -= static_cast<uint64_t>(part.run.steps);
  }
  history.storeEnd = log.end;
}

}  // namespace

RecordedRun runInstructionsRecorded(MachineState& machine, int64_t maxSteps, StepHistory& history,
                                    const std::vector<uint8_t>& stopBefore, bool leavesBreakpoint) {
  prepare(history, machine);
  const uint8_t* const stops = stopBefore.empty() ? nullptr : stopBefore.data();
  RecordedRun total;
  while (total.run.steps < maxSteps) {
    if (history.steps - history.checkpoints.back().step >= kCheckpointSteps) {
      checkpoint(history, machine, machine.touched);
    }
    const uint64_t room = kCheckpointSteps - (history.steps - history.checkpoints.back().step);
    const int64_t steps = std::min(maxSteps - total.run.steps, static_cast<int64_t>(room));
    StoreLog log{history.stores.get(), history.storeEnd};
    const RecordedRun part =
        runInstructionsLogged(machine, steps, log, stops, leavesBreakpoint && total.run.steps == 0);
    history.storeEnd = log.end;
    total.run.steps += part.run.steps;
    total.run.lastOutcome = part.run.lastOutcome;
    total.atBreakpoint = part.atBreakpoint;
    // A step past the memory's end fetched nothing: nothing to take back.
    const bool fetched = part.run.lastOutcome != StepOutcome::MemoryOverflow;
    history.steps += static_cast<uint64_t>(part.run.steps - (fetched ? 0 : 1));
    if (part.atBreakpoint || part.run.lastOutcome != StepOutcome::Executed) break;
  }
  history.tip = loadRegisters(machine);
  return total;
}

StepOutcome executeInstructionRecorded(MachineState& machine, StepHistory& history) {
  static const std::vector<uint8_t> kNoStops;
  return runInstructionsRecorded(machine, 1, history, kNoStops, false).run.lastOutcome;
}

void recordRunStart(StepHistory& history, const MachineState& machine,
                    std::optional<Address> shownTouched) {
  allocateLog(history);
  checkpoint(history, machine, shownTouched);
}

uint64_t stepsToTakeBack(const StepHistory& history) {
  for (const StepCheckpoint& point : history.checkpoints) {
    if (reachable(history, point)) return history.steps - point.step;
  }
  return 0;
}

bool takeStepsBack(StepHistory& history, MachineState& machine, uint64_t count) {
  if (count == 0 || count > stepsToTakeBack(history)) return false;
  const uint64_t target = history.steps - count;
  while (history.checkpoints.back().step > target) history.checkpoints.pop_back();
  StepCheckpoint& from = history.checkpoints.back();
  while (history.storeEnd > from.storeEnd) {
    --history.storeEnd;
    const StoreUndo& undo = history.stores[history.storeEnd & (kStoreLogEntries - 1)];
    machine.memory[undo.address] = undo.oldWord;
  }
  storeRegisters(from.registers, machine);
  if (from.step == target) {
    // From here on the steps go on from what is shown.
    machine.touched = from.shownTouched;
    from.registers = loadRegisters(machine);
  } else {
    runAgain(history, machine, target - from.step);
  }
  history.steps = target;
  history.tip = loadRegisters(machine);
  return true;
}

void clearHistory(StepHistory& history) {
  history.stores.reset();
  history.storeEnd = 0;
  std::deque<StepCheckpoint>().swap(history.checkpoints);
  history.steps = 0;
  history.tip = Registers{};
}

}  // namespace akkusim
