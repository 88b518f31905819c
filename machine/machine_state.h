#pragma once
// The whole simulated computer.

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "isa/word.h"

namespace akkusim {

// A memory address, 0..65535. Wider than the 16 bits it names so that the pc
// can run past the end (65536 after an instruction at 65534) and be caught
// there instead of wrapping to 0.
using Address = int32_t;

inline constexpr Address kMemoryWords = 65536;
// An instruction is two words: the last address one can start at and still
// have its parameter in memory.
inline constexpr Address kLastInstructionAddress = kMemoryWords - 2;

// The one check of the memory limit: an instruction at `pc` can be fetched
// whole. A pc past it is a memory overflow.
constexpr bool instructionFits(Address pc) {
  return pc <= kLastInstructionAddress;
}

// The instruction address after a reset, before any step: no instruction has
// run. The panel shows "-"; the JSON report prints the number itself.
inline constexpr Address kNoInstruction = -2;

struct MachineState {
  Word accumulator = 0;
  Word instruction = 0;
  Word parameter = 0;
  std::array<Word, kMemoryWords> memory{};
  Address instructionAddress = 0;  // or kNoInstruction
  Address pc = 0;
  uint8_t carry = 0;
  uint8_t overflow = 0;
  uint8_t zero = 0;
  uint8_t negative = 0;
  // The word the last step touched, drawn red beside the instruction; steps
  // that touch nothing of their own keep it. A machine never reset shows the
  // word at 0 as both.
  std::optional<Address> touched = Address{0};
};

// Whether the step at instructionAddress has run.
constexpr bool hasExecuted(const MachineState& machine) {
  return machine.instructionAddress != kNoInstruction;
}

// The parameter register as the learner sees it: in decimal, read as signed,
// when the instruction register holds an instruction with an operand; "-"
// otherwise (also for a code word not in the table).
std::string parameterText(const MachineState& machine);

// Clears registers, flags, memory and the touched word; no instruction has
// run, pc 0.
void resetMachine(MachineState& machine);

}  // namespace akkusim
