// Taking steps back in the core: every instruction's record restores the
// machine, the fast recorded run records and stops like single steps, and
// the ring keeps the newest steps.

#include "machine/step_history.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "machine/execute.h"
#include "support/machine_setup.h"

using namespace akkusim;

namespace {

const std::vector<uint8_t> kNoStops(static_cast<std::size_t>(kMemoryWords), 0);

}  // namespace

// Setup: one instruction at kAt with flags, accumulator and marked word set.
// Run: record, execute, undo. Verify: the machine as before.
TEST(StepHistory, EachInstructionsRecordRestoresTheMachine) {
  struct Case {
    const char* mnemonic;
    uint16_t operand;
  };
  const Case cases[] = {
      {"STORE", 300}, {"STORE", kAt + 1}, {"STORE", kAt}, {"LOAD", 300}, {"ADDI", 0x7FFF},
      {"SHLI", 3},    {"SHLI", 0xFFFF},   {"DIVI", 0},    {"JMP", 40},   {"NOT", 300},
      {"LOADC", 0},   {"HOLD", 0},        {"NOOP", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mnemonic);
    auto machine = freshMachine();
    machine->memory[300] = 1234;
    machine->accumulator = -5;
    machine->pc = kAt;
    machine->touched = kUntouched;
    setFlags(*machine, "1010");
    place(*machine, kAt, codeOf(c.mnemonic), c.operand);
    const auto before = std::make_unique<MachineState>(*machine);

    const StepUndo record = undoRecordBefore(*machine);
    executeInstruction(*machine);
    undoStep(*machine, record);

    expectSameMachine(*before, *machine);
  }
}

TEST(StepHistory, RecordedRunMatchesSingleStepsAndStopsBeforeAMarkedAddress) {
  auto single = freshMachine();
  placeProgram(*single, {{"LOADI", 0}, {"ADDI", 1}, {"STORE", 100}, {"JMP", 2}});
  auto fast = std::make_unique<MachineState>(*single);
  std::vector<uint8_t> stops = kNoStops;
  stops[4] = 1;  // the STORE
  StepHistory history;

  // It leaves a marked address it starts on, and stops at the next one.
  const RecordedRun first = runInstructionsRecorded(*fast, 100, history, stops, true);
  for (int i = 0; i < 2; ++i) executeInstruction(*single);
  EXPECT_TRUE(first.atBreakpoint);
  EXPECT_EQ(first.run.steps, 2);
  expectSameMachine(*single, *fast);

  fast->pc = 4;
  const RecordedRun again = runInstructionsRecorded(*fast, 100, history, stops, false);
  EXPECT_TRUE(again.atBreakpoint);
  EXPECT_EQ(again.run.steps, 0);

  const RecordedRun leaving = runInstructionsRecorded(*fast, 100, history, stops, true);
  EXPECT_EQ(leaving.run.steps, 3);  // STORE, JMP, ADDI
  EXPECT_EQ(history.count, 5u);
  for (int i = 0; i < 5; ++i) undoStep(*fast, *takeLastStep(history));
  auto start = freshMachine();
  placeProgram(*start, {{"LOADI", 0}, {"ADDI", 1}, {"STORE", 100}, {"JMP", 2}});
  expectSameMachine(*start, *fast);
  EXPECT_FALSE(takeLastStep(history));
}

TEST(StepHistory, TheRingKeepsTheNewestStepsUpToItsCap) {
  auto machine = freshMachine();
  placeProgram(*machine, {{"ADDI", 1}, {"JMP", 0}});
  StepHistory history;
  const int64_t steps = static_cast<int64_t>(kHistorySteps) + 10;

  runInstructionsRecorded(*machine, steps, history, kNoStops, true);

  EXPECT_EQ(history.count, kHistorySteps);
  EXPECT_EQ(history.ring.size(), kHistorySteps);
  // Every step back is one of the newest: ADDI steps count down by one.
  const int16_t last = machine->accumulator;
  int16_t lastAdd = last;
  std::size_t taken = 0;
  while (const std::optional<StepUndo> record = takeLastStep(history)) {
    undoStep(*machine, *record);
    ++taken;
    if (machine->pc == 0) lastAdd = machine->accumulator;
  }
  EXPECT_EQ(taken, kHistorySteps);
  EXPECT_EQ(static_cast<int16_t>(last - lastAdd), static_cast<int16_t>(kHistorySteps / 2));
  clearHistory(history);
  EXPECT_EQ(history.ring.capacity(), 0u);
}
