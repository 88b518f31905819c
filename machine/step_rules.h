#pragma once
// The rules by which the operations set the accumulator, the flags and the
// pc. Only the executor includes it: every rule is inlined into its run loop.

#include <cstdint>

#include "machine/execute.h"
#include "machine/machine_state.h"
#include "machine/registers.h"

namespace akkusim {

inline uint8_t signBit(uint32_t word) {
  return static_cast<uint8_t>((word >> 15) & 1u);
}

// The four flags are always written as one group.
inline void setFlags(Registers& r, bool c, bool v, bool z, bool n) {
  r.carry = c;
  r.overflow = v;
  r.zero = z;
  r.negative = n;
}

inline void setLogic(Registers& r, uint32_t result) {
  r.accumulator = static_cast<WordBits>(result);
  setFlags(r, false, false, r.accumulator == 0, signBit(r.accumulator));
}

// Add, subtract and multiply: V marks a change of the accumulator's sign bit.
inline void setArithmetic(Registers& r, uint32_t oldA, uint32_t result, bool carry) {
  r.accumulator = static_cast<WordBits>(result);
  setFlags(r, carry, signBit(oldA) != signBit(r.accumulator), r.accumulator == 0,
           signBit(r.accumulator));
}

inline void add(Registers& r, uint32_t a, uint32_t x) {
  setArithmetic(r, a, a + x, a + x > 0xFFFFu);
}
inline void subtract(Registers& r, uint32_t a, uint32_t x) {
  setArithmetic(r, a, a - x, a < x);
}
inline void multiply(Registers& r, uint32_t a, uint32_t x) {
  setArithmetic(r, a, a * x, a * x > 0xFFFFu);
}

inline void compare(Registers& r, uint32_t a, uint32_t x) {
  const bool below = a < x;
  setFlags(r, below, signBit(a) != signBit((a - x) & 0xFFFFu), a == x, below);
}

inline void shiftLeft(Registers& r, uint32_t a, int32_t n) {
  const uint32_t result = n >= 16 ? 0u : (a << n) & 0xFFFFu;
  const bool carry = n >= 1 && n <= 16 && ((a >> (16 - n)) & 1u) != 0;
  r.accumulator = static_cast<WordBits>(result);
  setFlags(r, carry, false, result == 0, signBit(result));
}

inline void shiftRight(Registers& r, uint32_t a, int32_t n) {
  const uint32_t result = n >= 16 ? 0u : a >> n;
  const bool carry = n >= 1 && n <= 16 && ((a >> (n - 1)) & 1u) != 0;
  r.accumulator = static_cast<WordBits>(result);
  setFlags(r, carry, false, result == 0, signBit(result));
}

// A jump marks its target when it is taken and nothing otherwise.
inline void jumpIf(Registers& r, bool condition, uint32_t target) {
  if (condition) {
    r.pc = static_cast<Address>(target);
    r.touched = static_cast<Address>(target);
  } else {
    r.touched = kNothingTouched;
  }
}

inline int32_t asSigned(uint32_t word) {
  return asWord(word);
}

// Bits 16 to 31 of a 32-bit product.
inline uint32_t highWord(int64_t product) {
  return static_cast<uint32_t>(static_cast<uint64_t>(product) >> 16) & 0xFFFFu;
}

// Signed division truncating toward zero; -32768 / -1 wraps to -32768 when
// the low 16 bits are stored.
inline StepOutcome divideSigned(Registers& r, uint32_t a, uint32_t x, bool remainder) {
  const int32_t divisor = asSigned(x);
  if (divisor == 0) return StepOutcome::DivisionByZero;
  const int32_t dividend = asSigned(a);
  setLogic(r, static_cast<uint32_t>(remainder ? dividend % divisor : dividend / divisor));
  return StepOutcome::Executed;
}

inline StepOutcome divideUnsigned(Registers& r, uint32_t a, uint32_t x, bool remainder) {
  if (x == 0) return StepOutcome::DivisionByZero;
  setLogic(r, remainder ? a % x : a / x);
  return StepOutcome::Executed;
}

}  // namespace akkusim
