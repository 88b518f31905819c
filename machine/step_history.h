#pragma once
// Taking steps back: the steps of a session as the machine's registers now
// and then (a checkpoint) and the words their STOREs overwrote. A step is
// taken back by putting the words back down to a checkpoint, taking its
// registers, and running forward again to the step before: a run records at
// almost the speed of the plain loop, as most steps write no memory.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <vector>

#include "machine/execute.h"
#include "machine/machine_state.h"
#include "machine/registers.h"
#include "machine/store_log.h"

namespace akkusim {

// The machine before step `step` (counted since the history was cleared),
// with the store log at `storeEnd`. A run marks from word 0 on, so the word
// shown before a run's first step (`shownTouched`) can differ from the one
// the steps go on from.
struct StepCheckpoint {
  Registers registers{};
  std::optional<Address> shownTouched;
  uint64_t step = 0;
  uint64_t storeEnd = 0;
};

// Running forward from a checkpoint takes at most this many steps.
inline constexpr uint64_t kCheckpointSteps = 1024;
// The oldest checkpoints are forgotten beyond this many (at most 3 MiB):
// every run starts one, so a million steps stay within reach unless they
// came from more than 64,000 runs, far more than a learner starts by hand.
inline constexpr std::size_t kCheckpoints = 65536;
// How far back a step can always be taken (at most one STORE a step fits
// the store log from a checkpoint this far back).
inline constexpr uint64_t kHistorySteps = uint64_t{1} << 20;

struct StepHistory {
  std::unique_ptr<StoreUndo[]> stores;  // the ring of kStoreLogEntries, once recording
  uint64_t storeEnd = 0;
  std::deque<StepCheckpoint> checkpoints;  // oldest first
  uint64_t steps = 0;
  // The registers after the last recorded step: a machine that differs
  // when the next step is recorded (a run ended and put back its marked
  // word) gets a checkpoint of its own.
  Registers tip{};
};

// Runs up to `maxSteps` steps as runInstructionsLogged does and records
// them: `stopBefore` empty for no breakpoints, else kMemoryWords bytes.
RecordedRun runInstructionsRecorded(MachineState& machine, int64_t maxSteps, StepHistory& history,
                                    const std::vector<uint8_t>& stopBefore, bool leavesBreakpoint);
// One step, recorded.
StepOutcome executeInstructionRecorded(MachineState& machine, StepHistory& history);
// Before a run's first step: the run goes on from `machine`, but taking
// that step back shows `shownTouched` as the marked word.
void recordRunStart(StepHistory& history, const MachineState& machine,
                    std::optional<Address> shownTouched);

// How many steps can be taken back.
uint64_t stepsToTakeBack(const StepHistory& history);
// Puts the machine back to how it was `count` steps ago; false (nothing
// changed) when the history does not reach that far.
bool takeStepsBack(StepHistory& history, MachineState& machine, uint64_t count);
// Forgets every step; the memory of the log is given back.
void clearHistory(StepHistory& history);

}  // namespace akkusim
