#pragma once
// The machine without its memory, as one record: what a step works on, and
// what a checkpoint keeps to take steps back.

#include <optional>

#include "isa/word.h"
#include "machine/machine_state.h"

namespace akkusim {

// The touched word in the registers: a plain Address with a value for none,
// so that it stays in one machine register across a run.
inline constexpr Address kNothingTouched = -1;

// Held in locals by the run loop so that the compiler can keep them in
// machine registers across a run.
struct Registers {
  WordBits accumulator;
  Word instruction;
  Word parameter;
  Address instructionAddress;
  Address pc;
  // Four booleans rather than one packed word: packing costs each step four
  // shifts and ors, and pushed the run loop's locals out of registers.
  bool carry;
  bool overflow;
  bool zero;
  bool negative;
  Address touched;  // or kNothingTouched

  friend bool operator==(const Registers&, const Registers&) = default;
};

inline Registers loadRegisters(const MachineState& machine) {
  return Registers{bitsOf(machine.accumulator),
                   machine.instruction,
                   machine.parameter,
                   machine.instructionAddress,
                   machine.pc,
                   machine.carry != 0,
                   machine.overflow != 0,
                   machine.zero != 0,
                   machine.negative != 0,
                   machine.touched.value_or(kNothingTouched)};
}

inline void storeRegisters(const Registers& r, MachineState& machine) {
  machine.accumulator = asWord(r.accumulator);
  machine.instruction = r.instruction;
  machine.parameter = r.parameter;
  machine.instructionAddress = r.instructionAddress;
  machine.pc = r.pc;
  machine.carry = r.carry;
  machine.overflow = r.overflow;
  machine.zero = r.zero;
  machine.negative = r.negative;
  machine.touched = r.touched == kNothingTouched ? std::nullopt : std::optional<Address>(r.touched);
}

}  // namespace akkusim
