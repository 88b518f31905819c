#pragma once
// The whole simulated computer.

#include <array>
#include <cstdint>
#include <string>

namespace akkusim {

inline constexpr int32_t kMemoryWords = 65536;
// An instruction is two words: the last address one can start at and still
// have its parameter in memory. A pc above it is a memory overflow.
inline constexpr int32_t kLastInstructionAddress = kMemoryWords - 2;

struct MachineState {
  int16_t accumulator = 0;
  int16_t instruction = 0;
  int16_t parameter = 0;
  std::array<int16_t, kMemoryWords> memory{};
  int32_t instructionAddress = 0;
  int32_t pc = 0;
  uint8_t carry = 0;
  uint8_t overflow = 0;
  uint8_t zero = 0;
  uint8_t negative = 0;
};

// The parameter register as the learner sees it: in decimal, read as signed,
// when the instruction register holds an instruction with an operand; "-"
// otherwise (also for a code word not in the table).
std::string parameterText(const MachineState& machine);

// Clears registers, flags and memory; instructionAddress -2, pc 0.
void resetMachine(MachineState& machine);

}  // namespace akkusim
