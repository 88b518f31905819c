// Steps on random memory and registers: the machine stays within its
// invariants whatever it executes, and the fast run loop ends in exactly the
// state that single steps reach.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "machine/execute.h"

using namespace akkusim;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 12) return 0;
  static auto machine = std::make_unique<MachineState>();
  static auto fast = std::make_unique<MachineState>();
  MachineState& m = *machine;
  m = MachineState{};
  m.accumulator = asWord(data[0] | data[1] << 8);
  m.pc = (data[2] | data[3] << 8) % (kMemoryWords + 1);
  m.carry = data[4] & 1;
  m.overflow = data[4] >> 1 & 1;
  m.zero = data[4] >> 2 & 1;
  m.negative = data[4] >> 3 & 1;
  const uint8_t* words = data + 5;
  const size_t count = (size - 5) / 2;
  for (size_t i = 0; i < count && i < kDistinctWords; ++i) {
    // Place the words where the program counter will find them.
    const size_t address = (static_cast<size_t>(m.pc) + i) % kDistinctWords;
    m.memory[address] = asWord(words[2 * i] | words[2 * i + 1] << 8);
  }
  *fast = m;
  int64_t steps = 0;
  for (int step = 0; step < 2000; ++step) {
    ++steps;
    const StepOutcome outcome = executeInstruction(m);
    if (m.pc < 0 || m.pc > kMemoryWords) std::abort();
    if ((m.carry | m.overflow | m.zero | m.negative) > 1) std::abort();
    if (m.touched && (*m.touched < 0 || *m.touched >= kMemoryWords)) std::abort();
    if (outcome != StepOutcome::Executed) break;
  }
  runInstructions(*fast, steps);
  if (fast->touched != m.touched || fast->pc != m.pc || fast->accumulator != m.accumulator ||
      fast->instructionAddress != m.instructionAddress || fast->carry != m.carry ||
      fast->overflow != m.overflow || fast->zero != m.zero || fast->negative != m.negative ||
      fast->memory != m.memory) {
    std::abort();
  }
  return 0;
}
