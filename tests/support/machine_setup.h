#pragma once
// Machine states built word by word for the execution tests, and compared
// as a whole.

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "isa/opcode_table.h"
#include "machine/machine_state.h"

namespace akkusim {

inline constexpr Address kAt = 200;          // where single instructions are placed
inline constexpr Address kUntouched = 7777;  // a touched address no step reports
// What a step that touches nothing leaves as the touched word.
inline constexpr std::optional<Address> kNoWord = std::nullopt;

inline uint16_t codeOf(const char* mnemonic) {
  const OpcodeRow* row = findMnemonic(mnemonic);
  EXPECT_NE(row, nullptr) << mnemonic;
  return row == nullptr ? uint16_t{0xFFFF} : static_cast<uint16_t>(row->code);
}

inline std::unique_ptr<MachineState> freshMachine() {
  auto machine = std::make_unique<MachineState>();
  resetMachine(*machine);
  return machine;
}

// Flags as the text "CVZN" of 0/1 digits, so failures read like the panel.
inline std::string flagsOf(const MachineState& m) {
  std::string text;
  for (uint8_t flag : {m.carry, m.overflow, m.zero, m.negative}) text += flag ? '1' : '0';
  return text;
}

inline void setFlags(MachineState& m, const std::string& cvzn) {
  m.carry = cvzn[0] == '1';
  m.overflow = cvzn[1] == '1';
  m.zero = cvzn[2] == '1';
  m.negative = cvzn[3] == '1';
}

inline void place(MachineState& m, int32_t address, uint16_t code, uint16_t parameter) {
  m.memory[static_cast<std::size_t>(address)] = static_cast<int16_t>(code);
  m.memory[static_cast<std::size_t>(address) + 1] = static_cast<int16_t>(parameter);
}

struct Instruction {
  const char* mnemonic;
  uint16_t operand;
};

inline void placeProgram(MachineState& m, const std::vector<Instruction>& program) {
  Address address = 0;
  for (const Instruction& word : program) {
    place(m, address, codeOf(word.mnemonic), word.operand);
    address += 2;
  }
}

inline void expectSameMachine(const MachineState& a, const MachineState& b) {
  EXPECT_EQ(a.accumulator, b.accumulator);
  EXPECT_EQ(a.instruction, b.instruction);
  EXPECT_EQ(a.parameter, b.parameter);
  EXPECT_EQ(a.instructionAddress, b.instructionAddress);
  EXPECT_EQ(a.pc, b.pc);
  EXPECT_EQ(a.touched, b.touched);
  EXPECT_EQ(flagsOf(a), flagsOf(b));
  EXPECT_TRUE(a.memory == b.memory);
}

}  // namespace akkusim
