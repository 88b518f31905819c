#include "machine/machine_state.h"

#include "isa/opcode_table.h"

namespace akkusim {

std::string parameterText(const MachineState& machine) {
  const OpcodeRow* row = findCode(bitsOf(machine.instruction));
  if (row == nullptr || !hasOperand(row->operand)) return "-";
  return std::to_string(machine.parameter);
}

void resetMachine(MachineState& machine) {
  machine.accumulator = 0;
  machine.instruction = 0;
  machine.parameter = 0;
  machine.instructionAddress = kNoInstruction;
  machine.pc = 0;
  machine.carry = 0;
  machine.overflow = 0;
  machine.zero = 0;
  machine.negative = 0;
  machine.memory.fill(0);
  machine.touched = std::nullopt;
}

}  // namespace akkusim
