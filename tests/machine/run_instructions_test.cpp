// Whole programs, single-stepped and through the fast run loop.

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <random>
#include <vector>

#include "isa/opcode_table.h"
#include "machine/execute.h"
#include "machine/machine_state.h"
#include "support/machine_setup.h"

using namespace akkusim;

namespace {

// Sum of 1 to 10 with a counting loop.
const std::vector<Instruction> kSumProgram = {
    {"LOADI", 0},  {"STORE", 100}, {"LOADI", 10},  {"STORE", 101},  // 0..6
    {"LOAD", 100}, {"ADD", 101},   {"STORE", 100},                  // 8..12 loop
    {"LOAD", 101}, {"SUBI", 1},    {"STORE", 101}, {"JMPNZ", 8},    // 14..20
    {"LOAD", 100}, {"HOLD", 0},                                     // 22, 24
};

TEST(Programs, CountingLoopRunsToHoldWithTheSum) {
  auto m = freshMachine();
  placeProgram(*m, kSumProgram);

  StepOutcome outcome = StepOutcome::Executed;
  int steps = 0;
  while (outcome == StepOutcome::Executed && steps < 1000) {
    outcome = executeInstruction(*m);
    ++steps;
  }

  EXPECT_EQ(outcome, StepOutcome::Hold);
  EXPECT_EQ(m->accumulator, 55);
  EXPECT_EQ(m->memory[101], 0);
  EXPECT_EQ(m->pc, 24);
  EXPECT_EQ(steps, 4 + 10 * 7 + 2);
}

TEST(Programs, CompareThenJumpNegativeFollowsTheUnsignedBorrow) {
  // 0x0000 compared with 0x9000: the difference 0x7000 is positive, yet N = 1
  auto m = freshMachine();
  placeProgram(*m,
               {{"CMP", 100}, {"JMPN", 8}, {"LOADI", 1}, {"HOLD", 0}, {"LOADI", 2}, {"HOLD", 0}});
  m->memory[100] = static_cast<int16_t>(0x9000);

  const StepsRun run = runInstructions(*m, 100);

  EXPECT_EQ(run.lastOutcome, StepOutcome::Hold);
  EXPECT_EQ(run.steps, 4);
  EXPECT_EQ(m->accumulator, 2);
}

TEST(Programs, LoadcAfterACarryingAddKeepsTheAddsZeroAndNegative) {
  auto m = freshMachine();
  placeProgram(*m, {{"LOADI", 0xFFFF}, {"ADDI", 1}, {"LOADC", 0}, {"HOLD", 0}});

  const StepsRun run = runInstructions(*m, 100);

  EXPECT_EQ(run.lastOutcome, StepOutcome::Hold);
  EXPECT_EQ(m->accumulator, 1);
  EXPECT_EQ(flagsOf(*m), "1110");
}

TEST(RunInstructions, ClearedMemoryRunsNoopsUpToTheMemoryLimit) {
  auto m = freshMachine();
  m->touched = 5;

  const StepsRun run = runInstructions(*m, 1'000'000);

  EXPECT_EQ(run.lastOutcome, StepOutcome::MemoryOverflow);
  EXPECT_EQ(run.steps, 32768 + 1);
  EXPECT_EQ(m->pc, 65536);
  EXPECT_EQ(m->instructionAddress, 65534);
  EXPECT_EQ(m->touched, 5);
}

TEST(RunInstructions, StopsAtTheStepLimitWithOutcomeExecuted) {
  auto m = freshMachine();
  placeProgram(*m, kSumProgram);

  const StepsRun none = runInstructions(*m, 0);
  EXPECT_EQ(none.steps, 0);
  EXPECT_EQ(none.lastOutcome, StepOutcome::Executed);
  EXPECT_EQ(m->instructionAddress, -2);

  const StepsRun five = runInstructions(*m, 5);
  EXPECT_EQ(five.steps, 5);
  EXPECT_EQ(five.lastOutcome, StepOutcome::Executed);
  EXPECT_EQ(m->instructionAddress, 8);
}

// Random code words drawn from the table (plus some unknown ones) and random
// parameters: the fast loop must end exactly where single steps end.
TEST(RunInstructions, MatchesRepeatedSingleStepsOnRandomPrograms) {
  std::mt19937 random(20240611);
  for (int trial = 0; trial < 40; ++trial) {
    SCOPED_TRACE(trial);
    auto single = freshMachine();
    for (int32_t address = 0; address < 400; address += 2) {
      const uint32_t pick = random() % 60;
      const uint16_t code = pick < kOpcodeCount ? static_cast<uint16_t>(kOpcodeRows[pick].code)
                                                : static_cast<uint16_t>(random());
      // Small parameters keep jumps and memory operands inside the program.
      const uint16_t parameter =
          static_cast<uint16_t>(random() % 3 == 0 ? random() : random() % 400);
      place(*single, address, code, parameter);
    }
    auto fast = std::make_unique<MachineState>(*single);

    const int64_t limit = 1 + static_cast<int64_t>(random() % 5000);
    int64_t singleSteps = 0;
    StepOutcome singleLast = StepOutcome::Executed;
    while (singleSteps < limit) {
      singleLast = executeInstruction(*single);
      ++singleSteps;
      if (singleLast != StepOutcome::Executed) break;
    }
    const StepsRun fastRun = runInstructions(*fast, limit);

    EXPECT_EQ(fastRun.steps, singleSteps);
    EXPECT_EQ(fastRun.lastOutcome, singleLast);
    EXPECT_EQ(fast->touched, single->touched);
    expectSameMachine(*fast, *single);
  }
}

}  // namespace
