#include "machine/machine_state.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

using namespace akkusim;

namespace {

bool allZero(const auto& words) {
  return std::all_of(words.begin(), words.end(), [](auto w) { return w == 0; });
}

TEST(MachineState, StartsWithEveryFieldZero) {
  const auto machine = std::make_unique<MachineState>();
  EXPECT_EQ(machine->accumulator, 0);
  EXPECT_EQ(machine->instruction, 0);
  EXPECT_EQ(machine->parameter, 0);
  EXPECT_TRUE(allZero(machine->memory));
  EXPECT_EQ(machine->instructionAddress, 0) << "not -2 before the first reset";
  EXPECT_EQ(machine->pc, 0);
  EXPECT_EQ(machine->carry + machine->overflow + machine->zero + machine->negative, 0);
}

TEST(MachineState, ResetClearsRegistersFlagsAndMemory) {
  auto machine = std::make_unique<MachineState>();
  machine->accumulator = -5;
  machine->instruction = 0x114;
  machine->parameter = 9;
  machine->memory.fill(3);
  machine->instructionAddress = 65534;
  machine->pc = 65536;
  machine->carry = machine->overflow = machine->zero = machine->negative = 1;

  resetMachine(*machine);

  EXPECT_EQ(machine->accumulator, 0);
  EXPECT_EQ(machine->instruction, 0);
  EXPECT_EQ(machine->parameter, 0);
  EXPECT_TRUE(allZero(machine->memory));
  EXPECT_EQ(machine->instructionAddress, -2);
  EXPECT_EQ(machine->pc, 0);
  EXPECT_EQ(machine->carry + machine->overflow + machine->zero + machine->negative, 0);
}

}  // namespace
