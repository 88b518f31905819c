#include "machine/execute.h"

#include <array>

#include "isa/opcode_table.h"

namespace {

// The operation of every code word, taken from decodeOp once, so that the
// step loop reads one byte instead of calling across translation units.
struct OpOfWord {
  std::array<Op, 65536> op;
  OpOfWord() {
    for (uint32_t word = 0; word < 65536; ++word) op[word] = decodeOp(static_cast<uint16_t>(word));
  }
};

const Op* opOfWord() {
  static const OpOfWord table;
  return table.op.data();
}

// The registers a step works on, held in locals by the callers so that the
// compiler can keep them in machine registers across a run.
struct Registers {
  uint16_t accumulator;
  int16_t instruction;
  int16_t parameter;
  int32_t instructionAddress;
  int32_t pc;
  uint32_t flags;  // kCarry | kOverflow | kZero | kNegative, one register
  int32_t touched;
};

constexpr uint32_t kCarry = 1;
constexpr uint32_t kOverflow = 2;
constexpr uint32_t kZero = 4;
constexpr uint32_t kNegative = 8;

Registers loadRegisters(const MachineState& machine, int32_t touched) {
  return Registers{static_cast<uint16_t>(machine.accumulator),
                   machine.instruction,
                   machine.parameter,
                   machine.instructionAddress,
                   machine.pc,
                   (machine.carry ? kCarry : 0u) | (machine.overflow ? kOverflow : 0u) |
                       (machine.zero ? kZero : 0u) | (machine.negative ? kNegative : 0u),
                   touched};
}

void storeRegisters(const Registers& r, MachineState& machine, int32_t& touched) {
  machine.accumulator = static_cast<int16_t>(r.accumulator);
  machine.instruction = r.instruction;
  machine.parameter = r.parameter;
  machine.instructionAddress = r.instructionAddress;
  machine.pc = r.pc;
  machine.carry = (r.flags & kCarry) != 0;
  machine.overflow = (r.flags & kOverflow) != 0;
  machine.zero = (r.flags & kZero) != 0;
  machine.negative = (r.flags & kNegative) != 0;
  touched = r.touched;
}

inline uint8_t signBit(uint32_t word) {
  return static_cast<uint8_t>((word >> 15) & 1u);
}

// The four flags are always written as one group.
inline void setFlags(Registers& r, bool c, bool v, bool z, bool n) {
  r.flags = (c ? kCarry : 0u) | (v ? kOverflow : 0u) | (z ? kZero : 0u) | (n ? kNegative : 0u);
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

// Inlined into both callers so that the run loop keeps the registers local.
[[gnu::always_inline]] inline StepOutcome step(Registers& r, int16_t* memory, const Op* ops) {
  if (r.pc > 65534) return StepOutcome::MemoryOverflow;

  const int32_t address = r.pc;
  r.instructionAddress = address;
  r.pc = address + 2;
  r.instruction = memory[address];
  r.parameter = memory[address + 1];

  const Op op = ops[static_cast<uint16_t>(r.instruction)];
  const uint32_t a = r.accumulator;
  const uint32_t p = static_cast<uint16_t>(r.parameter);
  // The memory operand M; reading a word changes nothing, so it is read only
  // by the instructions that use it.
  const auto operand = [memory, p]() -> uint32_t { return static_cast<uint16_t>(memory[p]); };
  const int32_t parameterWord = address + 1;

  switch (op) {
    // Memory operand: the touched word is the operand's address.
    case Op::Load:
      r.touched = static_cast<int32_t>(p);
      setLogic(r, operand());
      return StepOutcome::Executed;
    case Op::Store:
      r.touched = static_cast<int32_t>(p);
      memory[p] = static_cast<int16_t>(r.accumulator);
      return StepOutcome::Executed;
    case Op::Add:
      r.touched = static_cast<int32_t>(p);
      add(r, a, operand());
      return StepOutcome::Executed;
    case Op::Sub:
      r.touched = static_cast<int32_t>(p);
      subtract(r, a, operand());
      return StepOutcome::Executed;
    case Op::Mul:
      r.touched = static_cast<int32_t>(p);
      multiply(r, a, operand());
      return StepOutcome::Executed;
    case Op::Div:
    case Op::Mod: {
      const StepOutcome outcome = divideSigned(r, a, operand(), op == Op::Mod);
      if (outcome == StepOutcome::Executed) r.touched = static_cast<int32_t>(p);
      return outcome;
    }
    case Op::Divu:
    case Op::Modu: {
      const StepOutcome outcome = divideUnsigned(r, a, operand(), op == Op::Modu);
      if (outcome == StepOutcome::Executed) r.touched = static_cast<int32_t>(p);
      return outcome;
    }
    case Op::Cmp:
      r.touched = static_cast<int32_t>(p);
      compare(r, a, operand());
      return StepOutcome::Executed;
    case Op::Mulh:
      r.touched = static_cast<int32_t>(p);
      setLogic(r, highWord(static_cast<int64_t>(asSigned(a)) * asSigned(operand())));
      return StepOutcome::Executed;
    case Op::Mulhu:
      r.touched = static_cast<int32_t>(p);
      setLogic(r, highWord(static_cast<int64_t>(a) * operand()));
      return StepOutcome::Executed;
    case Op::And:
      r.touched = static_cast<int32_t>(p);
      setLogic(r, a & operand());
      return StepOutcome::Executed;
    case Op::Or:
      r.touched = static_cast<int32_t>(p);
      setLogic(r, a | operand());
      return StepOutcome::Executed;
    case Op::Xor:
      r.touched = static_cast<int32_t>(p);
      setLogic(r, a ^ operand());
      return StepOutcome::Executed;

    // Immediate operand: the touched word is the parameter word itself.
    case Op::Loadi:
      r.touched = parameterWord;
      setLogic(r, p);
      return StepOutcome::Executed;
    case Op::Addi:
      r.touched = parameterWord;
      add(r, a, p);
      return StepOutcome::Executed;
    case Op::Subi:
      r.touched = parameterWord;
      subtract(r, a, p);
      return StepOutcome::Executed;
    case Op::Muli:
      r.touched = parameterWord;
      multiply(r, a, p);
      return StepOutcome::Executed;
    case Op::Divi:
    case Op::Modi: {
      const StepOutcome outcome = divideSigned(r, a, p, op == Op::Modi);
      if (outcome == StepOutcome::Executed) r.touched = parameterWord;
      return outcome;
    }
    case Op::Divui:
    case Op::Modui: {
      const StepOutcome outcome = divideUnsigned(r, a, p, op == Op::Modui);
      if (outcome == StepOutcome::Executed) r.touched = parameterWord;
      return outcome;
    }
    case Op::Mulhi:
      r.touched = parameterWord;
      setLogic(r, highWord(static_cast<int64_t>(asSigned(a)) * asSigned(p)));
      return StepOutcome::Executed;
    case Op::Mulhui:
      r.touched = parameterWord;
      setLogic(r, highWord(static_cast<int64_t>(a) * p));
      return StepOutcome::Executed;
    case Op::Cmpi:
      r.touched = parameterWord;
      compare(r, a, p);
      return StepOutcome::Executed;
    case Op::Andi:
      r.touched = parameterWord;
      setLogic(r, a & p);
      return StepOutcome::Executed;
    case Op::Ori:
      r.touched = parameterWord;
      setLogic(r, a | p);
      return StepOutcome::Executed;
    case Op::Xori:
      r.touched = parameterWord;
      setLogic(r, a ^ p);
      return StepOutcome::Executed;

    // Shifts mark the parameter word, also when the count comes from memory.
    case Op::Shl:
    case Op::Shr:
    case Op::Shli:
    case Op::Shri: {
      const bool fromMemory = op == Op::Shl || op == Op::Shr;
      const int32_t count = asSigned(fromMemory ? operand() : p);
      if (count < 0) return StepOutcome::BadShift;
      r.touched = parameterWord;
      if (op == Op::Shl || op == Op::Shli) {
        shiftLeft(r, a, count);
      } else {
        shiftRight(r, a, count);
      }
      return StepOutcome::Executed;
    }

    case Op::Jmpp:
      jumpIf(r, (r.flags & (kZero | kNegative)) == 0, p);
      return StepOutcome::Executed;
    case Op::Jmpnn:
      jumpIf(r, (r.flags & kNegative) == 0, p);
      return StepOutcome::Executed;
    case Op::Jmpn:
      jumpIf(r, (r.flags & kNegative) != 0, p);
      return StepOutcome::Executed;
    case Op::Jmpnp:
      jumpIf(r, (r.flags & (kZero | kNegative)) != 0, p);
      return StepOutcome::Executed;
    case Op::Jmpz:
      jumpIf(r, (r.flags & kZero) != 0, p);
      return StepOutcome::Executed;
    case Op::Jmpnz:
      jumpIf(r, (r.flags & kZero) == 0, p);
      return StepOutcome::Executed;
    case Op::Jmpv:
      jumpIf(r, (r.flags & kOverflow) != 0, p);
      return StepOutcome::Executed;
    case Op::Jmpc:
      jumpIf(r, (r.flags & kCarry) != 0, p);
      return StepOutcome::Executed;
    case Op::Jmp:
      jumpIf(r, true, p);
      return StepOutcome::Executed;
    case Op::Jhi:
      jumpIf(r, (r.flags & (kCarry | kZero)) == 0, p);
      return StepOutcome::Executed;
    case Op::Jhs:
      jumpIf(r, (r.flags & kCarry) == 0, p);
      return StepOutcome::Executed;
    case Op::Jlo:
      jumpIf(r, (r.flags & kCarry) != 0, p);
      return StepOutcome::Executed;
    case Op::Jls:
      jumpIf(r, (r.flags & (kCarry | kZero)) != 0, p);
      return StepOutcome::Executed;

    case Op::Not:
      r.touched = static_cast<int32_t>(p);
      setLogic(r, ~a & 0xFFFFu);
      return StepOutcome::Executed;
    case Op::Loadc:
      r.touched = -1;
      r.accumulator = static_cast<uint16_t>(r.flags & kCarry);
      return StepOutcome::Executed;
    case Op::Noop:
      return StepOutcome::Executed;
    case Op::Hold:
      // Points at the HOLD again, so a further step stops at once.
      r.pc = address;
      return StepOutcome::Hold;
    case Op::Unknown:
      return StepOutcome::UnknownInstruction;
  }
  return StepOutcome::UnknownInstruction;
}

}  // namespace

StepOutcome executeInstruction(MachineState& machine, int32_t& touchedAddress) {
  Registers r = loadRegisters(machine, touchedAddress);
  const StepOutcome outcome = step(r, machine.memory.data(), opOfWord());
  storeRegisters(r, machine, touchedAddress);
  return outcome;
}

int64_t runInstructions(MachineState& machine, int32_t& touchedAddress, int64_t maxSteps,
                        StepOutcome& lastOutcome) {
  Registers r = loadRegisters(machine, touchedAddress);
  int16_t* const memory = machine.memory.data();
  const Op* const ops = opOfWord();
  StepOutcome outcome = StepOutcome::Executed;
  int64_t steps = 0;
  while (steps < maxSteps) {
    outcome = step(r, memory, ops);
    ++steps;
    if (outcome != StepOutcome::Executed) break;
  }
  storeRegisters(r, machine, touchedAddress);
  lastOutcome = outcome;
  return steps;
}
