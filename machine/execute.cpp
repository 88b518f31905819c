#include "machine/execute.h"

#include "isa/opcode_table.h"
#include "machine/step_rules.h"
#include "machine/store_log.h"

namespace akkusim {

namespace {

// The memory word an executed step marks, as the table's operand kind for
// the operation says: the word M[p] for a memory operand, the parameter word
// for an immediate one or a shift count. Jumps, NOT and LOADC mark in their
// own cases, the others leave the mark. Resolved at compile time, so each
// case costs what a hand-written mark would.
template <Op kOp>
[[gnu::always_inline]] inline StepOutcome executed(Registers& r, uint32_t p,
                                                   Address parameterWord) {
  constexpr OperandKind kind = operandKindOf(kOp);
  if constexpr (kind == OperandKind::MemoryRead || kind == OperandKind::MemoryWrite) {
    r.touched = static_cast<Address>(p);
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
                                                  Address parameterWord) {
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
                                                  uint32_t p, Address parameterWord) {
  const int32_t count = asSigned(countWord);
  if (count < 0) return StepOutcome::BadShift;
  if constexpr (kOp == Op::Shl || kOp == Op::Shli) {
    shiftLeft(r, a, count);
  } else {
    shiftRight(r, a, count);
  }
  return executed<kOp>(r, p, parameterWord);
}

// Writes a STORE's word: the plain runs just write it.
struct PlainWrite {
  [[gnu::always_inline]] void operator()(Word* memory, uint32_t address, Word value) const {
    memory[address] = value;
  }
};

// The operation itself. M[p] is read only by the instructions that use it.
template <typename Write>
[[gnu::always_inline]] inline StepOutcome operate(Registers& r, Op op, uint32_t a, uint32_t p,
                                                  Word* memory, Address parameterWord,
                                                  Write& write) {
  const auto fromMemory = [memory, p]() -> uint32_t { return bitsOf(memory[p]); };
  switch (op) {
    case Op::Load:
      setLogic(r, fromMemory());
      return executed<Op::Load>(r, p, parameterWord);
    case Op::Store:
      write(memory, p, asWord(r.accumulator));
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
      r.touched = static_cast<Address>(p);
      setLogic(r, ~a & 0xFFFFu);
      return executed<Op::Not>(r, p, parameterWord);
    case Op::Loadc:
      r.touched = kNothingTouched;
      r.accumulator = r.carry ? 1 : 0;
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
template <typename Write>
[[gnu::always_inline]] inline StepOutcome step(Registers& r, Word* memory,
                                               const DecodedWord* decode, Write& write) {
  if (!instructionFits(r.pc)) return StepOutcome::MemoryOverflow;

  const Address address = r.pc;
  r.instructionAddress = address;
  r.pc = address + 2;
  r.instruction = memory[address];
  r.parameter = memory[address + 1];

  const uint32_t p = bitsOf(r.parameter);
  return operate(r, decode[bitsOf(r.instruction)].op, r.accumulator, p, memory, address + 1, write);
}

}  // namespace

StepOutcome executeInstruction(MachineState& machine) {
  Registers r = loadRegisters(machine);
  PlainWrite write;
  const StepOutcome outcome = step(r, machine.memory.data(), decodeIndex(), write);
  storeRegisters(r, machine);
  return outcome;
}

namespace {

// One loop for every run: the plain one passes an observer that does
// nothing and a check before each step that always goes on, which the
// compiler removes.
template <typename Observe, typename Before, typename Write>
[[gnu::always_inline]] inline StepsRun runLoop(MachineState& machine, int64_t maxSteps,
                                               Observe observe, Before& before, Write& write) {
  Registers r = loadRegisters(machine);
  Word* const memory = machine.memory.data();
  const DecodedWord* const decode = decodeIndex();
  StepsRun run;
  while (run.steps < maxSteps) {
    if (!before(r)) break;
    run.lastOutcome = step(r, memory, decode, write);
    ++run.steps;
    if (run.lastOutcome != StepOutcome::Executed) {
      // A MemoryOverflow step fetched nothing, so there is nothing to see.
      if (run.lastOutcome != StepOutcome::MemoryOverflow) observe(r);
      break;
    }
    observe(r);
  }
  storeRegisters(r, machine);
  return run;
}

struct GoOn {
  constexpr bool operator()(const Registers&) const { return true; }
};

}  // namespace

StepsRun runInstructions(MachineState& machine, int64_t maxSteps) {
  GoOn goOn;
  PlainWrite write;
  return runLoop(
      machine, maxSteps, [](const Registers&) {}, goOn, write);
}

StepsRun runInstructions(MachineState& machine, int64_t maxSteps, const StepObserver& observer) {
  GoOn goOn;
  PlainWrite write;
  return runLoop(
      machine, maxSteps,
      [&](const Registers& r) {
        storeRegisters(r, machine);
        observer(machine);
      },
      goOn, write);
}

namespace {

// Stops before an instruction whose code word is refused.
struct RefuseCodes {
  const uint8_t* refused;
  const Word* memory;
  bool stopped = false;

  [[gnu::always_inline]] bool operator()(const Registers& r) {
    // A pc past the last instruction fetches nothing: nothing to refuse.
    if (!instructionFits(r.pc)) return true;
    if (refused[bitsOf(memory[r.pc])] != 0) {
      stopped = true;
      return false;
    }
    return true;
  }
};

}  // namespace

GuardedRun runInstructionsRefusing(MachineState& machine, int64_t maxSteps,
                                   const uint8_t* refusedCodes) {
  RefuseCodes refuse{refusedCodes, machine.memory.data()};
  PlainWrite write;
  GuardedRun guarded;
  guarded.run = runLoop(
      machine, maxSteps, [](const Registers&) {}, refuse, write);
  guarded.refused = refuse.stopped;
  return guarded;
}

namespace {

// A STORE's write that first notes the word it overwrites, with the log's
// end in a field: as a local of the inlined loop it stays in a register.
struct LoggedWrite {
  StoreUndo* entries;
  uint64_t end;

  [[gnu::always_inline]] void operator()(Word* memory, uint32_t address, Word value) {
    entries[end & (kStoreLogEntries - 1)] =
        StoreUndo{static_cast<uint16_t>(address), memory[address]};
    ++end;
    memory[address] = value;
  }
};

// Stops before a marked instruction, except on the first step of a run
// that leaves the breakpoint it starts on.
struct StopBefore {
  const uint8_t* marked;
  bool leaving;
  bool atBreakpoint = false;

  [[gnu::always_inline]] bool operator()(const Registers& r) {
    // A pc past the last instruction fetches nothing: no instruction to stop before.
    if (!instructionFits(r.pc)) return true;
    if (marked[static_cast<std::size_t>(r.pc)] != 0 && !leaving) {
      atBreakpoint = true;
      return false;
    }
    leaving = false;
    return true;
  }
};

}  // namespace

RecordedRun runInstructionsLogged(MachineState& machine, int64_t maxSteps, StoreLog& log,
                                  const uint8_t* stopBefore, bool leavesBreakpoint) {
  LoggedWrite write{log.entries, log.end};
  RecordedRun recorded;
  // Without breakpoints the loop is the plain one but for the STOREs.
  if (stopBefore == nullptr) {
    GoOn goOn;
    recorded.run = runLoop(
        machine, maxSteps, [](const Registers&) {}, goOn, write);
  } else {
    StopBefore stops{stopBefore, leavesBreakpoint};
    recorded.run = runLoop(
        machine, maxSteps, [](const Registers&) {}, stops, write);
    recorded.atBreakpoint = stops.atBreakpoint;
  }
  log.end = write.end;
  return recorded;
}

}  // namespace akkusim
