#include "machine/step_history.h"

namespace akkusim {

StepUndo undoRecordBefore(const MachineState& machine) {
  StepUndo record;
  record.accumulator = machine.accumulator;
  record.instruction = machine.instruction;
  record.parameter = machine.parameter;
  record.instructionAddress =
      static_cast<uint16_t>(hasExecuted(machine) ? machine.instructionAddress : 0);
  record.flags = static_cast<uint8_t>(
      (machine.carry != 0 ? kUndoCarry : 0) | (machine.overflow != 0 ? kUndoOverflow : 0) |
      (machine.zero != 0 ? kUndoZero : 0) | (machine.negative != 0 ? kUndoNegative : 0) |
      (machine.touched ? kUndoHasTouched : 0) | (hasExecuted(machine) ? kUndoExecuted : 0));
  record.touched = static_cast<uint16_t>(machine.touched.value_or(0));
  if (instructionFits(machine.pc)) {
    record.wordAddress = bitsOf(machine.memory[static_cast<std::size_t>(machine.pc) + 1]);
  }
  record.oldWord = machine.memory[record.wordAddress];
  return record;
}

void undoStep(MachineState& machine, const StepUndo& record) {
  machine.memory[record.wordAddress] = record.oldWord;
  machine.pc = machine.instructionAddress;
  machine.accumulator = record.accumulator;
  machine.instruction = record.instruction;
  machine.parameter = record.parameter;
  machine.instructionAddress =
      (record.flags & kUndoExecuted) != 0 ? Address{record.instructionAddress} : kNoInstruction;
  machine.carry = (record.flags & kUndoCarry) != 0 ? 1 : 0;
  machine.overflow = (record.flags & kUndoOverflow) != 0 ? 1 : 0;
  machine.zero = (record.flags & kUndoZero) != 0 ? 1 : 0;
  machine.negative = (record.flags & kUndoNegative) != 0 ? 1 : 0;
  machine.touched =
      (record.flags & kUndoHasTouched) != 0 ? std::optional<Address>(record.touched) : std::nullopt;
}

std::optional<StepUndo> takeLastStep(StepHistory& history) {
  if (history.count == 0) return std::nullopt;
  history.next = history.next == 0 ? history.ring.size() - 1 : history.next - 1;
  --history.count;
  return history.ring[history.next];
}

void setNewestTouched(StepHistory& history, std::optional<Address> touched) {
  if (history.count == 0) return;
  StepUndo& record = history.ring[history.next == 0 ? history.ring.size() - 1 : history.next - 1];
  record.touched = static_cast<uint16_t>(touched.value_or(0));
  record.flags = static_cast<uint8_t>(touched ? record.flags | kUndoHasTouched
                                              : record.flags & ~kUndoHasTouched);
}

void clearHistory(StepHistory& history) {
  std::vector<StepUndo>().swap(history.ring);
  history.next = 0;
  history.count = 0;
}

}  // namespace akkusim
