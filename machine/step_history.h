#pragma once
// Taking steps back: what one step changed, and the last steps of a session
// in a ring of fixed size.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "machine/machine_state.h"

namespace akkusim {

// What one step may change, as it was before the step: the registers, the
// flags, the counters, the marked word, and the one memory word a step can
// write (STORE writes the word its parameter names; for every other step
// that word keeps its value, so restoring it changes nothing). Taken before
// the step, so the executor itself stays as it is. The pc is not kept: a
// step that fetched an instruction (the only ones recorded) leaves its
// address as the instruction address, and that is where the pc stood.
struct StepUndo {
  Word accumulator = 0;
  Word instruction = 0;
  Word parameter = 0;
  Word oldWord = 0;                 // the value of memory[wordAddress]
  uint16_t wordAddress = 0;         // the word the step may write
  uint16_t instructionAddress = 0;  // read only with kUndoExecuted
  uint16_t touched = 0;             // read only with kUndoHasTouched
  uint8_t flags = 0;                // the kUndo bits below
};

// A full history is kHistorySteps records of this size (16 MiB).
static_assert(sizeof(StepUndo) == 16);

// The bits of StepUndo::flags.
inline constexpr uint8_t kUndoCarry = 1;
inline constexpr uint8_t kUndoOverflow = 2;
inline constexpr uint8_t kUndoZero = 4;
inline constexpr uint8_t kUndoNegative = 8;
inline constexpr uint8_t kUndoHasTouched = 16;
inline constexpr uint8_t kUndoExecuted = 32;  // an instruction had run before the step

// The record for the step the machine is about to make.
StepUndo undoRecordBefore(const MachineState& machine);
// Puts the machine back to how it was when `record` was taken.
void undoStep(MachineState& machine, const StepUndo& record);

// Enough for a long fast run; at this cap the oldest step is forgotten.
inline constexpr std::size_t kHistorySteps = std::size_t{1} << 20;

// The newest steps, oldest first from `next` once the ring is full. Memory
// grows with the steps taken, up to kHistorySteps records.
struct StepHistory {
  std::vector<StepUndo> ring;
  std::size_t next = 0;   // where the next record goes
  std::size_t count = 0;  // records that can still be taken back
};

inline void recordStep(StepHistory& history, const StepUndo& record) {
  if (history.ring.size() < kHistorySteps && history.next == history.ring.size()) {
    history.ring.push_back(record);
  } else {
    history.ring[history.next] = record;
  }
  history.next = history.next + 1 == kHistorySteps ? 0 : history.next + 1;
  if (history.count < kHistorySteps) ++history.count;
}

// The newest record, removed; nothing when no step is left to take back.
std::optional<StepUndo> takeLastStep(StepHistory& history);
// Makes the newest record restore `touched` as the marked word: a run marks
// from word 0 on, but taking its first step back shows what was marked
// before the run.
void setNewestTouched(StepHistory& history, std::optional<Address> touched);
// Forgets every step; the memory of the ring is given back.
void clearHistory(StepHistory& history);

}  // namespace akkusim
