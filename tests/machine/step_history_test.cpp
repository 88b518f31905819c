// Taking steps back in the core: every instruction taken back restores the
// machine, whether straight from a checkpoint or by running forward to it;
// the recorded run records and stops like single steps; and the history
// reaches far back in bounded memory.

#include "machine/step_history.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "machine/execute.h"
#include "support/machine_setup.h"

using namespace akkusim;

namespace {

const std::vector<uint8_t> kNoStops;

}  // namespace

// Setup: a NOOP before one instruction at kAt, flags, accumulator and
// marked word set. Run: both steps recorded, then taken back one by one.
// Verify: the machine after the NOOP (run forward from the checkpoint), then
// as at the start (the checkpoint itself).
TEST(StepHistory, EachInstructionTakenBackRestoresTheMachine) {
  struct Case {
    const char* mnemonic;
    uint16_t operand;
  };
  const Case cases[] = {
      {"STORE", 300},   {"STORE", kAt + 1}, {"STORE", kAt},   {"STORE", kAt - 2}, {"LOAD", 300},
      {"ADDI", 0x7FFF}, {"SHLI", 3},        {"SHLI", 0xFFFF}, {"DIVI", 0},        {"JMP", 40},
      {"NOT", 300},     {"LOADC", 0},       {"HOLD", 0},      {"NOOP", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mnemonic + std::string(" ") + std::to_string(c.operand));
    auto machine = freshMachine();
    machine->memory[300] = 1234;
    machine->accumulator = -5;
    machine->pc = kAt - 2;
    machine->touched = kUntouched;
    setFlags(*machine, "1010");
    place(*machine, kAt - 2, codeOf("NOOP"), 0);
    place(*machine, kAt, codeOf(c.mnemonic), c.operand);
    const auto start = std::make_unique<MachineState>(*machine);
    StepHistory history;

    executeInstructionRecorded(*machine, history);
    const auto afterNoop = std::make_unique<MachineState>(*machine);
    executeInstructionRecorded(*machine, history);

    ASSERT_TRUE(takeStepsBack(history, *machine, 1));
    expectSameMachine(*afterNoop, *machine);
    ASSERT_TRUE(takeStepsBack(history, *machine, 1));
    expectSameMachine(*start, *machine);
    EXPECT_FALSE(takeStepsBack(history, *machine, 1));
  }
}

TEST(StepHistory, RecordedRunMatchesSingleStepsAndStopsBeforeAMarkedAddress) {
  auto single = freshMachine();
  placeProgram(*single, {{"LOADI", 0}, {"ADDI", 1}, {"STORE", 100}, {"JMP", 2}});
  auto fast = std::make_unique<MachineState>(*single);
  const auto start = std::make_unique<MachineState>(*single);
  std::vector<uint8_t> stops(static_cast<std::size_t>(kMemoryWords), 0);
  stops[4] = 1;  // the STORE
  StepHistory history;

  // It leaves a marked address it starts on, and stops at the next one.
  const RecordedRun first = runInstructionsRecorded(*fast, 100, history, stops, true);
  for (int i = 0; i < 2; ++i) executeInstruction(*single);
  EXPECT_TRUE(first.atBreakpoint);
  EXPECT_EQ(first.run.steps, 2);
  expectSameMachine(*single, *fast);

  const RecordedRun again = runInstructionsRecorded(*fast, 100, history, stops, false);
  EXPECT_TRUE(again.atBreakpoint);
  EXPECT_EQ(again.run.steps, 0);

  const RecordedRun leaving = runInstructionsRecorded(*fast, 100, history, stops, true);
  EXPECT_EQ(leaving.run.steps, 3);  // STORE, JMP, ADDI
  EXPECT_EQ(stepsToTakeBack(history), 5u);
  ASSERT_TRUE(takeStepsBack(history, *fast, 3));
  expectSameMachine(*single, *fast);
  ASSERT_TRUE(takeStepsBack(history, *fast, 2));
  expectSameMachine(*start, *fast);
  EXPECT_FALSE(takeStepsBack(history, *fast, 1));
}

// A run marks from word 0 on and puts back the word marked before it when
// it ends. Setup: NOOPs, marked word 7777; a run of two steps, then two
// single steps. Run: back one step at a time. Verify: pc and marked word as
// they were shown before each step.
TEST(StepHistory, TakesBackTheMarkedWordAsShownAroundARun) {
  auto machine = freshMachine();
  placeProgram(*machine, {{"NOOP", 0}, {"NOOP", 0}, {"NOOP", 0}, {"NOOP", 0}});
  StepHistory history;
  machine->touched = 0;  // the run's start
  recordRunStart(history, *machine, kUntouched);
  runInstructionsRecorded(*machine, 2, history, kNoStops, false);
  machine->touched = kUntouched;
  executeInstructionRecorded(*machine, history);
  executeInstructionRecorded(*machine, history);

  struct Expected {
    Address pc;
    std::optional<Address> touched;
  };
  const Expected back[] = {{6, kUntouched}, {4, kUntouched}, {2, 0}, {0, kUntouched}};
  for (const Expected& e : back) {
    SCOPED_TRACE(e.pc);
    ASSERT_TRUE(takeStepsBack(history, *machine, 1));
    EXPECT_EQ(machine->pc, e.pc);
    EXPECT_EQ(machine->touched, e.touched);
  }
}

// Setup: a run of two NOOPs from word 0 on, the word before it marked.
// Run: both taken back, two single steps, one of them taken back. Verify:
// the steps after the run's start go on from the word shown there, also
// when the one left is run forward again from that checkpoint.
TEST(StepHistory, StepsAfterTakingBackToARunStartGoOnFromTheShownMark) {
  auto machine = freshMachine();
  placeProgram(*machine, {{"NOOP", 0}, {"NOOP", 0}, {"NOOP", 0}});
  StepHistory history;
  machine->touched = 0;  // the run's start
  recordRunStart(history, *machine, kUntouched);
  runInstructionsRecorded(*machine, 2, history, kNoStops, false);

  ASSERT_TRUE(takeStepsBack(history, *machine, 2));
  executeInstructionRecorded(*machine, history);
  executeInstructionRecorded(*machine, history);
  ASSERT_TRUE(takeStepsBack(history, *machine, 1));

  EXPECT_EQ(machine->pc, 2);
  EXPECT_EQ(machine->touched, kUntouched);
}

// Setup: 10,000 runs of three steps, each started as Starten and the fast
// run start theirs. Run: take every step back. Verify: all 30,000 steps
// go back, to the machine before the first run.
TEST(StepHistory, ManyShortRunsKeepAllTheirSteps) {
  const std::vector<Instruction> program{{"ADDI", 1}, {"STORE", 100}, {"JMP", 0}};
  auto machine = freshMachine();
  placeProgram(*machine, program);
  StepHistory history;
  constexpr uint64_t kRuns = 10000;
  for (uint64_t run = 0; run < kRuns; ++run) {
    recordRunStart(history, *machine, machine->touched);
    runInstructionsRecorded(*machine, 3, history, kNoStops, false);
  }

  EXPECT_EQ(stepsToTakeBack(history), 3 * kRuns);
  ASSERT_TRUE(takeStepsBack(history, *machine, 3 * kRuns));
  auto plain = freshMachine();
  placeProgram(*plain, program);
  expectSameMachine(*plain, *machine);
}

// Setup: a loop that stores on five of its seven steps, run until the store log has
// gone round twice. Run: steps back, far and then one at a time. Verify:
// each time the machine a plain run reaches in as many steps; memory stays
// within its bounds, and clearing gives it back.
TEST(StepHistory, ReachesAMillionStepsBackInBoundedMemory) {
  const std::vector<Instruction> program{{"ADDI", 1},    {"STORE", 100}, {"STORE", 101},
                                         {"STORE", 102}, {"STORE", 103}, {"STORE", 104},
                                         {"JMP", 0}};
  auto machine = freshMachine();
  placeProgram(*machine, program);
  StepHistory history;
  const int64_t steps = 3 * static_cast<int64_t>(kStoreLogEntries) + 12345;

  runInstructionsRecorded(*machine, steps, history, kNoStops, false);

  EXPECT_GE(stepsToTakeBack(history), kHistorySteps);
  EXPECT_LE(history.checkpoints.size(), kCheckpoints);
  EXPECT_FALSE(takeStepsBack(history, *machine, stepsToTakeBack(history) + 1));
  int64_t back = 0;
  const uint64_t far = kHistorySteps;
  for (const uint64_t count : {uint64_t{1}, uint64_t{1}, uint64_t{1000}, far, uint64_t{1}}) {
    back += static_cast<int64_t>(count);
    SCOPED_TRACE(back);
    ASSERT_TRUE(takeStepsBack(history, *machine, count));
    auto plain = freshMachine();
    placeProgram(*plain, program);
    runInstructions(*plain, steps - back);
    expectSameMachine(*plain, *machine);
  }
  // As far as the history reaches.
  back += static_cast<int64_t>(stepsToTakeBack(history));
  ASSERT_TRUE(takeStepsBack(history, *machine, stepsToTakeBack(history)));
  auto plain = freshMachine();
  placeProgram(*plain, program);
  runInstructions(*plain, steps - back);
  expectSameMachine(*plain, *machine);
  clearHistory(history);
  EXPECT_EQ(history.stores, nullptr);
  EXPECT_FALSE(takeStepsBack(history, *machine, 1));
}
