#pragma once
// The machine the step benchmarks run: a counting loop that never ends by
// itself, so a run stops only at its step limit.

#include <memory>

#include "machine/machine_state.h"

namespace akkusim {

// 0: ADDI 1, 2: CMPI 0, 4: JMPNZ 0, 6: JMP 0 (reached once in 65,536 passes).
std::unique_ptr<MachineState> loopMachine();

}  // namespace akkusim
