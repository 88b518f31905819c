#include "bench/counting_loop.h"

#include <cstddef>
#include <cstdint>
#include <iterator>

#include "isa/opcode_table.h"

namespace akkusim {

namespace {

uint16_t codeOf(Op op) {
  for (const OpcodeRow& row : kOpcodeRows) {
    if (row.op == op) return static_cast<uint16_t>(row.code);
  }
  return 0xFFFF;
}

}  // namespace

std::unique_ptr<MachineState> loopMachine() {
  auto machine = std::make_unique<MachineState>();
  resetMachine(*machine);
  const uint16_t program[] = {codeOf(Op::Addi),  1, codeOf(Op::Cmpi), 0,
                              codeOf(Op::Jmpnz), 0, codeOf(Op::Jmp),  0};
  for (std::size_t i = 0; i < std::size(program); ++i) {
    machine->memory[i] = static_cast<int16_t>(program[i]);
  }
  return machine;
}

}  // namespace akkusim
