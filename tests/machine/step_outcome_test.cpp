// Steps that do not simply execute: faults, unknown code words, HOLD and the
// end of memory.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "machine/execute.h"
#include "machine/machine_state.h"
#include "support/machine_setup.h"

using namespace akkusim;

namespace {

// Outcomes that fetch but leave the accumulator, flags and touched address.
struct FailingStep {
  const char* mnemonic;
  uint16_t parameter;
  uint16_t operandWord;
  StepOutcome outcome;
};

TEST(ExecuteInstruction, FailingStepsFetchButKeepAccumulatorFlagsAndTouched) {
  // clang-format off
  const std::vector<FailingStep> cases = {
      {"SHLI", 0xFFFF, 0, StepOutcome::BadShift},
      {"SHRI", 0x8000, 0, StepOutcome::BadShift},
      {"SHL", 100, 0x8000, StepOutcome::BadShift},
      {"SHR", 100, 0xFFFF, StepOutcome::BadShift},
      {"DIV", 100, 0, StepOutcome::DivisionByZero},
      {"MOD", 100, 0, StepOutcome::DivisionByZero},
      {"DIVU", 100, 0, StepOutcome::DivisionByZero},
      {"MODU", 100, 0, StepOutcome::DivisionByZero},
      {"DIVI", 0, 0, StepOutcome::DivisionByZero},
      {"MODI", 0, 0, StepOutcome::DivisionByZero},
      {"DIVUI", 0, 0, StepOutcome::DivisionByZero},
      {"MODUI", 0, 0, StepOutcome::DivisionByZero},
  };
  // clang-format on
  for (const FailingStep& c : cases) {
    SCOPED_TRACE(c.mnemonic);
    auto m = freshMachine();
    place(*m, kAt, codeOf(c.mnemonic), c.parameter);
    m->memory[c.parameter] = static_cast<int16_t>(c.operandWord);
    m->accumulator = 1234;
    m->pc = kAt;
    setFlags(*m, "1011");
    m->touched = kUntouched;

    EXPECT_EQ(executeInstruction(*m), c.outcome);

    EXPECT_EQ(m->accumulator, 1234);
    EXPECT_EQ(flagsOf(*m), "1011");
    EXPECT_EQ(m->touched, kUntouched);
    EXPECT_EQ(m->instructionAddress, kAt);
    EXPECT_EQ(m->pc, kAt + 2);
    EXPECT_EQ(static_cast<uint16_t>(m->parameter), c.parameter);
  }
}

TEST(ExecuteInstruction, UnknownCodeWordsAdvanceThePcAndChangeNothingElse) {
  for (uint16_t code : {uint16_t{0x0127}, uint16_t{0xFFFF}, uint16_t{0x0037}}) {
    SCOPED_TRACE(code);
    auto m = freshMachine();
    place(*m, kAt, code, 100);
    m->accumulator = -7;
    m->pc = kAt;
    setFlags(*m, "0101");
    m->touched = kUntouched;

    EXPECT_EQ(executeInstruction(*m), StepOutcome::UnknownInstruction);

    EXPECT_EQ(m->accumulator, -7);
    EXPECT_EQ(flagsOf(*m), "0101");
    EXPECT_EQ(m->touched, kUntouched);
    EXPECT_EQ(static_cast<uint16_t>(m->instruction), code);
    EXPECT_EQ(m->instructionAddress, kAt);
    EXPECT_EQ(m->pc, kAt + 2);
  }
}

TEST(ExecuteInstruction, HoldPointsThePcBackAtItselfAndStopsAgainAtOnce) {
  auto m = freshMachine();
  place(*m, kAt, codeOf("HOLD"), 0);
  m->pc = kAt;
  m->touched = kUntouched;

  EXPECT_EQ(executeInstruction(*m), StepOutcome::Hold);
  EXPECT_EQ(m->pc, kAt);
  EXPECT_EQ(m->instructionAddress, kAt);
  EXPECT_EQ(m->touched, kUntouched);

  EXPECT_EQ(executeInstruction(*m), StepOutcome::Hold);
  EXPECT_EQ(m->pc, kAt);
}

TEST(ExecuteInstruction, MemoryLimitLetsTheLastWordPairRunThenStopsForGood) {
  // Setup: LOADI at 65534 whose parameter is the very last word
  auto m = freshMachine();
  place(*m, 65534, codeOf("LOADI"), 42);
  m->pc = 65534;
  m->touched = kUntouched;

  // Run / Verify
  EXPECT_EQ(executeInstruction(*m), StepOutcome::Executed);
  EXPECT_EQ(m->accumulator, 42);
  EXPECT_EQ(m->pc, 65536);
  EXPECT_EQ(m->touched, 65535);

  const MachineState before = *m;
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(executeInstruction(*m), StepOutcome::MemoryOverflow);
    expectSameMachine(*m, before);
    EXPECT_EQ(m->touched, 65535);
  }
}

TEST(ExecuteInstruction, JumpToTheLastAddressRunsIntoTheMemoryLimit) {
  auto m = freshMachine();
  place(*m, 0, codeOf("JMP"), 65535);

  EXPECT_EQ(executeInstruction(*m), StepOutcome::Executed);
  EXPECT_EQ(m->pc, 65535);
  EXPECT_EQ(executeInstruction(*m), StepOutcome::MemoryOverflow);
  EXPECT_EQ(m->pc, 65535);
  EXPECT_EQ(m->instructionAddress, 0);
}

}  // namespace
