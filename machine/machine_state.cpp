#include "machine/machine_state.h"

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
