#include "machine/machine_state.h"

#include "isa/opcode_table.h"

std::string parameterText(const MachineState& machine) {
  const int row = rowOfCode(static_cast<uint16_t>(machine.instruction));
  if (row < 0 || kOpcodeRows[static_cast<std::size_t>(row)].hasOperand == 0) return "-";
  return std::to_string(machine.parameter);
}

void resetMachine(MachineState& machine) {
  machine.accumulator = 0;
  machine.instruction = 0;
  machine.parameter = 0;
  machine.instructionAddress = -2;
  machine.pc = 0;
  machine.carry = 0;
  machine.overflow = 0;
  machine.zero = 0;
  machine.negative = 0;
  machine.memory.fill(0);
}
