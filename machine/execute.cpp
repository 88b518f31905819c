#include "machine/execute.h"

#include "isa/opcode_table.h"

namespace akkusim {

namespace {

// The registers a step works on, held in locals by the callers so that the
// compiler can keep them in machine registers across a run.
struct Registers {
  uint16_t accumulator;
  int16_t instruction;
  int16_t parameter;
  int32_t instructionAddress;
  int32_t pc;
  // Four booleans rather than one packed word: packing costs each step four
  // shifts and ors, and pushed the run loop's locals out of registers.
  bool carry;
  bool overflow;
  bool zero;
  bool negative;
  int32_t touched;
};

Registers loadRegisters(const MachineState& machine, int32_t touched) {
  return Registers{static_cast<uint16_t>(machine.accumulator),
                   machine.instruction,
                   machine.parameter,
                   machine.instructionAddress,
                   machine.pc,
                   machine.carry != 0,
                   machine.overflow != 0,
                   machine.zero != 0,
                   machine.negative != 0,
                   touched};
}

void storeRegisters(const Registers& r, MachineState& machine, int32_t& touched) {
  machine.accumulator = static_cast<int16_t>(r.accumulator);
  machine.instruction = r.instruction;
  machine.parameter = r.parameter;
  machine.instructionAddress = r.instructionAddress;
  machine.pc = r.pc;
  machine.carry = r.carry;
  machine.overflow = r.overflow;
  machine.zero = r.zero;
  machine.negative = r.negative;
  touched = r.touched;
}

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
  r.accumulator = static_cast<uint16_t>(result);
  setFlags(r, false, false, r.accumulator == 0, signBit(r.accumulator));
}

// Add, subtract and multiply: V marks a change of the accumulator's sign bit.
inline void setArithmetic(Registers& r, uint32_t oldA, uint32_t result, bool carry) {
  r.accumulator = static_cast<uint16_t>(result);
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
  r.accumulator = static_cast<uint16_t>(result);
  setFlags(r, carry, false, result == 0, signBit(result));
}

inline void shiftRight(Registers& r, uint32_t a, int32_t n) {
  const uint32_t result = n >= 16 ? 0u : a >> n;
  const bool carry = n >= 1 && n <= 16 && ((a >> (n - 1)) & 1u) != 0;
  r.accumulator = static_cast<uint16_t>(result);
  setFlags(r, carry, false, result == 0, signBit(result));
}

inline void jumpIf(Registers& r, bool condition, uint32_t target) {
  if (condition) {
    r.pc = static_cast<int32_t>(target);
    r.touched = static_cast<int32_t>(target);
  } else {
    r.touched = -1;
  }
}

inline int32_t asSigned(uint32_t word) {
  return static_cast<int16_t>(static_cast<uint16_t>(word));
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

// The memory word an executed step marks, as the table's operand kind for
// the operation says: the word M[p] for a memory operand, the parameter word
// for an immediate one or a shift count. Jumps, NOT and LOADC mark in their
// own cases, the others leave the mark. Resolved at compile time, so each
// case costs what a hand-written mark would.
template <Op kOp>
[[gnu::always_inline]] inline StepOutcome executed(Registers& r, uint32_t p,
                                                   int32_t parameterWord) {
  constexpr OperandKind kind = operandKindOf(kOp);
  if constexpr (kind == OperandKind::MemoryRead || kind == OperandKind::MemoryWrite) {
    r.touched = static_cast<int32_t>(p);
  } else if constexpr (kind == OperandKind::Immediate || kind == OperandKind::MemoryShiftCount ||
                       kind == OperandKind::ImmediateShiftCount) {
    r.touched = parameterWord;
  }
  return StepOutcome::Executed;
}

// Division and remainder, signed or not as the operation says; a divisor of
// 0 ends the step unmarked.
template <Op kOp>
[[gnu::always_inline]] inline StepOutcome divided(Registers& r, uint32_t a, uint32_t x, uint32_t p,
                                                  int32_t parameterWord) {
  constexpr bool remainder =
      kOp == Op::Mod || kOp == Op::Modi || kOp == Op::Modu || kOp == Op::Modui;
  constexpr bool isSigned = kOp == Op::Div || kOp == Op::Mod || kOp == Op::Divi || kOp == Op::Modi;
  const StepOutcome outcome =
      isSigned ? divideSigned(r, a, x, remainder) : divideUnsigned(r, a, x, remainder);
  if (outcome != StepOutcome::Executed) return outcome;
  return executed<kOp>(r, p, parameterWord);
}

// A shift by the count; a negative count ends the step unmarked.
template <Op kOp>
[[gnu::always_inline]] inline StepOutcome shifted(Registers& r, uint32_t a, uint32_t countWord,
                                                  uint32_t p, int32_t parameterWord) {
  const int32_t count = asSigned(countWord);
  if (count < 0) return StepOutcome::BadShift;
  if constexpr (kOp == Op::Shl || kOp == Op::Shli) {
    shiftLeft(r, a, count);
  } else {
    shiftRight(r, a, count);
  }
  return executed<kOp>(r, p, parameterWord);
}

// The operation itself. M[p] is read only by the instructions that use it.
[[gnu::always_inline]] inline StepOutcome operate(Registers& r, Op op, uint32_t a, uint32_t p,
                                                  int16_t* memory, int32_t parameterWord) {
  const auto fromMemory = [memory, p]() -> uint32_t { return static_cast<uint16_t>(memory[p]); };
  switch (op) {
    case Op::Load:
      setLogic(r, fromMemory());
      return executed<Op::Load>(r, p, parameterWord);
    case Op::Store:
      memory[p] = static_cast<int16_t>(r.accumulator);
      return executed<Op::Store>(r, p, parameterWord);
    case Op::Loadi:
      setLogic(r, p);
      return executed<Op::Loadi>(r, p, parameterWord);
    case Op::Add:
      add(r, a, fromMemory());
      return executed<Op::Add>(r, p, parameterWord);
    case Op::Addi:
      add(r, a, p);
      return executed<Op::Addi>(r, p, parameterWord);
    case Op::Sub:
      subtract(r, a, fromMemory());
      return executed<Op::Sub>(r, p, parameterWord);
    case Op::Subi:
      subtract(r, a, p);
      return executed<Op::Subi>(r, p, parameterWord);
    case Op::Mul:
      multiply(r, a, fromMemory());
      return executed<Op::Mul>(r, p, parameterWord);
    case Op::Muli:
      multiply(r, a, p);
      return executed<Op::Muli>(r, p, parameterWord);
    case Op::Div:
      return divided<Op::Div>(r, a, fromMemory(), p, parameterWord);
    case Op::Mod:
      return divided<Op::Mod>(r, a, fromMemory(), p, parameterWord);
    case Op::Divi:
      return divided<Op::Divi>(r, a, p, p, parameterWord);
    case Op::Modi:
      return divided<Op::Modi>(r, a, p, p, parameterWord);
    case Op::Divu:
      return divided<Op::Divu>(r, a, fromMemory(), p, parameterWord);
    case Op::Modu:
      return divided<Op::Modu>(r, a, fromMemory(), p, parameterWord);
    case Op::Divui:
      return divided<Op::Divui>(r, a, p, p, parameterWord);
    case Op::Modui:
      return divided<Op::Modui>(r, a, p, p, parameterWord);
    case Op::Cmp:
      compare(r, a, fromMemory());
      return executed<Op::Cmp>(r, p, parameterWord);
    case Op::Cmpi:
      compare(r, a, p);
      return executed<Op::Cmpi>(r, p, parameterWord);
    case Op::Mulh:
      setLogic(r, highWord(static_cast<int64_t>(asSigned(a)) * asSigned(fromMemory())));
      return executed<Op::Mulh>(r, p, parameterWord);
    case Op::Mulhi:
      setLogic(r, highWord(static_cast<int64_t>(asSigned(a)) * asSigned(p)));
      return executed<Op::Mulhi>(r, p, parameterWord);
    case Op::Mulhu:
      setLogic(r, highWord(static_cast<int64_t>(a) * fromMemory()));
      return executed<Op::Mulhu>(r, p, parameterWord);
    case Op::Mulhui:
      setLogic(r, highWord(static_cast<int64_t>(a) * p));
      return executed<Op::Mulhui>(r, p, parameterWord);
    case Op::And:
      setLogic(r, a & fromMemory());
      return executed<Op::And>(r, p, parameterWord);
    case Op::Andi:
      setLogic(r, a & p);
      return executed<Op::Andi>(r, p, parameterWord);
    case Op::Or:
      setLogic(r, a | fromMemory());
      return executed<Op::Or>(r, p, parameterWord);
    case Op::Ori:
      setLogic(r, a | p);
      return executed<Op::Ori>(r, p, parameterWord);
    case Op::Xor:
      setLogic(r, a ^ fromMemory());
      return executed<Op::Xor>(r, p, parameterWord);
    case Op::Xori:
      setLogic(r, a ^ p);
      return executed<Op::Xori>(r, p, parameterWord);

    case Op::Shl:
      return shifted<Op::Shl>(r, a, fromMemory(), p, parameterWord);
    case Op::Shr:
      return shifted<Op::Shr>(r, a, fromMemory(), p, parameterWord);
    case Op::Shli:
      return shifted<Op::Shli>(r, a, p, p, parameterWord);
    case Op::Shri:
      return shifted<Op::Shri>(r, a, p, p, parameterWord);

    // A jump marks its target when it is taken and nothing otherwise.
    case Op::Jmpp:
      jumpIf(r, !r.zero && !r.negative, p);
      return executed<Op::Jmpp>(r, p, parameterWord);
    case Op::Jmpnn:
      jumpIf(r, !r.negative, p);
      return executed<Op::Jmpnn>(r, p, parameterWord);
    case Op::Jmpn:
      jumpIf(r, r.negative, p);
      return executed<Op::Jmpn>(r, p, parameterWord);
    case Op::Jmpnp:
      jumpIf(r, r.zero || r.negative, p);
      return executed<Op::Jmpnp>(r, p, parameterWord);
    case Op::Jmpz:
      jumpIf(r, r.zero, p);
      return executed<Op::Jmpz>(r, p, parameterWord);
    case Op::Jmpnz:
      jumpIf(r, !r.zero, p);
      return executed<Op::Jmpnz>(r, p, parameterWord);
    case Op::Jmpv:
      jumpIf(r, r.overflow, p);
      return executed<Op::Jmpv>(r, p, parameterWord);
    case Op::Jmpc:
      jumpIf(r, r.carry, p);
      return executed<Op::Jmpc>(r, p, parameterWord);
    case Op::Jmp:
      jumpIf(r, true, p);
      return executed<Op::Jmp>(r, p, parameterWord);
    case Op::Jhi:
      jumpIf(r, !r.carry && !r.zero, p);
      return executed<Op::Jhi>(r, p, parameterWord);
    case Op::Jhs:
      jumpIf(r, !r.carry, p);
      return executed<Op::Jhs>(r, p, parameterWord);
    case Op::Jlo:
      jumpIf(r, r.carry, p);
      return executed<Op::Jlo>(r, p, parameterWord);
    case Op::Jls:
      jumpIf(r, r.carry || r.zero, p);
      return executed<Op::Jls>(r, p, parameterWord);

    // Written without an operand, NOT still marks the word its parameter
    // names, and LOADC clears the mark.
    case Op::Not:
      r.touched = static_cast<int32_t>(p);
      setLogic(r, ~a & 0xFFFFu);
      return executed<Op::Not>(r, p, parameterWord);
    case Op::Loadc:
      r.touched = -1;
      r.accumulator = static_cast<uint16_t>(r.carry ? 1 : 0);
      return executed<Op::Loadc>(r, p, parameterWord);
    case Op::Noop:
      return StepOutcome::Executed;
    case Op::Hold:
      // Points at the HOLD again, so a further step stops at once.
      r.pc -= 2;
      return StepOutcome::Hold;
    case Op::Unknown:
      return StepOutcome::UnknownInstruction;
  }
  return StepOutcome::UnknownInstruction;
}

// Inlined into both callers so that the run loop keeps the registers local.
[[gnu::always_inline]] inline StepOutcome step(Registers& r, int16_t* memory,
                                               const DecodedWord* decode) {
  if (r.pc > kLastInstructionAddress) return StepOutcome::MemoryOverflow;

  const int32_t address = r.pc;
  r.instructionAddress = address;
  r.pc = address + 2;
  r.instruction = memory[address];
  r.parameter = memory[address + 1];

  const uint32_t p = static_cast<uint16_t>(r.parameter);
  return operate(r, decode[static_cast<uint16_t>(r.instruction)].op, r.accumulator, p, memory,
                 address + 1);
}

}  // namespace

StepOutcome executeInstruction(MachineState& machine, int32_t& touchedAddress) {
  Registers r = loadRegisters(machine, touchedAddress);
  const StepOutcome outcome = step(r, machine.memory.data(), decodeIndex());
  storeRegisters(r, machine, touchedAddress);
  return outcome;
}

namespace {

// One loop for both runs: the plain one passes an observer that does
// nothing, which the compiler removes.
template <typename Observe>
[[gnu::always_inline]] inline StepsRun runLoop(MachineState& machine, int32_t& touchedAddress,
                                               int64_t maxSteps, Observe observe) {
  Registers r = loadRegisters(machine, touchedAddress);
  int16_t* const memory = machine.memory.data();
  const DecodedWord* const decode = decodeIndex();
  StepsRun run;
  while (run.steps < maxSteps) {
    run.lastOutcome = step(r, memory, decode);
    ++run.steps;
    if (run.lastOutcome != StepOutcome::Executed) {
      // A MemoryOverflow step fetched nothing, so there is nothing to see.
      if (run.lastOutcome != StepOutcome::MemoryOverflow) observe(r);
      break;
    }
    observe(r);
  }
  storeRegisters(r, machine, touchedAddress);
  return run;
}

}  // namespace

StepsRun runInstructions(MachineState& machine, int32_t& touchedAddress, int64_t maxSteps) {
  return runLoop(machine, touchedAddress, maxSteps, [](const Registers&) {});
}

StepsRun runInstructions(MachineState& machine, int32_t& touchedAddress, int64_t maxSteps,
                         const StepObserver& observer) {
  return runLoop(machine, touchedAddress, maxSteps, [&](const Registers& r) {
    storeRegisters(r, machine, touchedAddress);
    observer(machine);
  });
}

}  // namespace akkusim
