// Running to the end: the steps counted, how the run ended, and what an
// observer of the run sees.

#include "machine/run.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "machine/execute.h"
#include "machine/machine_state.h"
#include "support/machine_setup.h"

using namespace akkusim;

namespace {

struct EndCase {
  std::string name;
  Instruction last;
  int64_t maxSteps;
  int64_t steps;
  RunEnd end;
  int16_t unknownCode = 0;  // put at 6 in place of `last` when not 0
};

// 0..4 count down from 3; 6 ends as the case says.
std::unique_ptr<MachineState> countdownThen(const EndCase& c) {
  auto m = freshMachine();
  placeProgram(*m, {{"LOADI", 3}, {"SUBI", 1}, {"JMPNZ", 2}, c.last});
  if (c.unknownCode != 0) m->memory[6] = c.unknownCode;
  return m;
}

const std::vector<EndCase>& endCases() {
  static const std::vector<EndCase> cases = {
      {"hold", {"HOLD", 0}, 100, 8, RunEnd::Hold},
      {"division", {"DIVI", 0}, 100, 8, RunEnd::DivisionByZero},
      {"shift", {"SHLI", 0xFFFF}, 100, 8, RunEnd::BadShift},
      {"unknown", {"HOLD", 0}, 100, 8, RunEnd::UnknownInstruction, 0x7777},
      {"limit", {"HOLD", 0}, 5, 5, RunEnd::StepLimit},
      {"limit at hold", {"HOLD", 0}, 8, 8, RunEnd::Hold},
      {"no step", {"HOLD", 0}, 0, 0, RunEnd::StepLimit},
      // NOOPs up to the end of memory: the check that stops there fetches
      // nothing, so it is no step.
      {"memory end", {"NOOP", 0}, 1'000'000, 7 + 32765, RunEnd::MemoryOverflow},
  };
  return cases;
}

TEST(RunToEnd, CountsTheStepsAndTellsHowTheRunEnded) {
  for (const EndCase& c : endCases()) {
    SCOPED_TRACE(c.name);
    auto m = countdownThen(c);

    const RunSummary run = runToEnd(*m, c.maxSteps);

    EXPECT_EQ(run.steps, c.steps);
    EXPECT_EQ(run.end, c.end);
  }
}

// The observed run is the same run: same summary, same machine, and the
// observer sees the machine after each fetched step as single steps leave it.
TEST(RunToEnd, AnObserverSeesEveryFetchedStepOfTheSameRun) {
  for (const EndCase& c : endCases()) {
    SCOPED_TRACE(c.name);
    auto plain = countdownThen(c);
    auto observed = std::make_unique<MachineState>(*plain);
    auto single = std::make_unique<MachineState>(*plain);
    std::vector<int32_t> seenAddresses;
    std::vector<int16_t> seenAccumulators;

    const RunSummary plainRun = runToEnd(*plain, c.maxSteps);
    const RunSummary observedRun = runToEnd(*observed, c.maxSteps, [&](const MachineState& m) {
      seenAddresses.push_back(m.instructionAddress);
      seenAccumulators.push_back(m.accumulator);
    });

    EXPECT_EQ(observedRun.steps, plainRun.steps);
    EXPECT_EQ(observedRun.end, plainRun.end);
    expectSameMachine(*observed, *plain);
    ASSERT_EQ(static_cast<int64_t>(seenAddresses.size()), plainRun.steps);
    for (std::size_t i = 0; i < seenAddresses.size(); ++i) {
      executeInstruction(*single);
      EXPECT_EQ(seenAddresses[i], single->instructionAddress) << "step " << i;
      EXPECT_EQ(seenAccumulators[i], single->accumulator) << "step " << i;
    }
  }
}

TEST(RunEnd, EachStepOutcomeEndsTheRunWithItsName) {
  struct Case {
    StepOutcome outcome;
    RunEnd end;
    const char* name;
  };
  const Case cases[] = {
      {StepOutcome::Hold, RunEnd::Hold, "hold"},
      {StepOutcome::MemoryOverflow, RunEnd::MemoryOverflow, "memoryOverflow"},
      {StepOutcome::BadShift, RunEnd::BadShift, "badShift"},
      {StepOutcome::UnknownInstruction, RunEnd::UnknownInstruction, "unknownInstruction"},
      {StepOutcome::DivisionByZero, RunEnd::DivisionByZero, "divisionByZero"},
      {StepOutcome::Executed, RunEnd::StepLimit, "stepLimit"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(runEndOf(c.outcome), c.end);
    EXPECT_EQ(runEndName(c.end), c.name);
  }
}

}  // namespace
