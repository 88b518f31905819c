// What each instruction does to the accumulator, the flags, the program
// counter and the touched address, one executed instruction at a time.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "machine/execute.h"
#include "machine/machine_state.h"
#include "support/machine_setup.h"
#include "support/test_names.h"

using namespace akkusim;

namespace {

// One instruction at kAt. For memory forms `operandWord` stands at address
// `parameter`; immediates ignore it (it lands in a word nobody reads).
struct OneInstruction {
  const char* mnemonic;
  uint16_t accumulator;
  uint16_t parameter;
  uint16_t operandWord;
  const char* flagsBefore;
  uint16_t expectedAccumulator;
  const char* expectedFlags;
  std::optional<Address> expectedTouched;
};

class OneInstructionTest : public testing::TestWithParam<OneInstruction> {};

TEST_P(OneInstructionTest, SetsAccumulatorFlagsAndTouchedAddress) {
  // Setup
  const OneInstruction& c = GetParam();
  auto m = freshMachine();
  place(*m, kAt, codeOf(c.mnemonic), c.parameter);
  m->memory[c.parameter] = static_cast<int16_t>(c.operandWord);
  m->accumulator = static_cast<int16_t>(c.accumulator);
  m->pc = kAt;
  setFlags(*m, c.flagsBefore);
  m->touched = kUntouched;

  // Run
  const StepOutcome outcome = executeInstruction(*m);

  // Verify
  EXPECT_EQ(outcome, StepOutcome::Executed);
  EXPECT_EQ(static_cast<uint16_t>(m->accumulator), c.expectedAccumulator);
  EXPECT_EQ(flagsOf(*m), c.expectedFlags);
  EXPECT_EQ(m->touched, c.expectedTouched);
  EXPECT_EQ(m->instructionAddress, kAt);
  EXPECT_EQ(m->pc, kAt + 2);
  EXPECT_EQ(static_cast<uint16_t>(m->instruction), codeOf(c.mnemonic));
  EXPECT_EQ(static_cast<uint16_t>(m->parameter), c.parameter);
}

constexpr int32_t kParameterWord = kAt + 1;

// The mnemonic and the row's place in its table: "ADD_0", "CMPI_3".
std::string caseName(const testing::TestParamInfo<OneInstruction>& info) {
  return testNameOf(info.param.mnemonic) + "_" + std::to_string(info.index);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Arithmetic, OneInstructionTest, testing::Values(
    // add: V from the change of the accumulator's sign bit
    OneInstruction{"ADD",   0xFFFF, 100, 1,      "0000", 0x0000, "1110", 100},
    OneInstruction{"ADD",   0x7FFF, 100, 1,      "0000", 0x8000, "0101", 100},
    OneInstruction{"ADD",   0x0002, 100, 3,      "1111", 0x0005, "0000", 100},
    OneInstruction{"ADDI",  0x8000, 0xFFFF, 0,   "0000", 0x7FFF, "1100", kParameterWord},
    // subtract: C is the borrow
    OneInstruction{"SUB",   0x0001, 100, 2,      "0000", 0xFFFF, "1101", 100},
    OneInstruction{"SUB",   0x9000, 100, 0x1000, "0000", 0x8000, "0001", 100},
    OneInstruction{"SUBI",  0x0005, 5, 0,        "1111", 0x0000, "0010", kParameterWord},
    // multiply: unsigned product, C when it does not fit 16 bits
    OneInstruction{"MUL",   0x0100, 100, 0x0100, "0000", 0x0000, "1010", 100},
    OneInstruction{"MULI",  0x0003, 0xFFFF, 0,   "0000", 0xFFFD, "1101", kParameterWord},
    OneInstruction{"MULI",  0x0007, 6, 0,        "1111", 0x002A, "0000", kParameterWord},
    OneInstruction{"MULH",  0xFFFE, 100, 3,      "1100", 0xFFFF, "0001", 100},
    OneInstruction{"MULHU", 0xFFFF, 100, 0xFFFF, "0000", 0xFFFE, "0001", 100},
    OneInstruction{"MULHI", 0x8000, 0x8000, 0,   "0000", 0x4000, "0000", kParameterWord},
    OneInstruction{"MULHUI",0x8000, 4, 0,        "0000", 0x0002, "0000", kParameterWord},
    // division: signed truncates toward zero, remainder takes A's sign
    OneInstruction{"DIV",   0xFFF9, 100, 2,      "1100", 0xFFFD, "0001", 100},
    OneInstruction{"MOD",   0xFFF9, 100, 2,      "0000", 0xFFFF, "0001", 100},
    OneInstruction{"DIV",   0x8000, 100, 0xFFFF, "0000", 0x8000, "0001", 100},
    OneInstruction{"MOD",   0x8000, 100, 0xFFFF, "0000", 0x0000, "0010", 100},
    OneInstruction{"DIVU",  0xFFF9, 100, 2,      "0000", 0x7FFC, "0000", 100},
    OneInstruction{"MODU",  0xFFF9, 100, 2,      "0000", 0x0001, "0000", 100},
    OneInstruction{"DIVI",  0x0007, 0xFFFE, 0,   "0000", 0xFFFD, "0001", kParameterWord},
    OneInstruction{"MODI",  0x0007, 0xFFFE, 0,   "0000", 0x0001, "0000", kParameterWord},
    OneInstruction{"DIVUI", 0x0007, 0xFFFE, 0,   "0000", 0x0000, "0010", kParameterWord},
    OneInstruction{"MODUI", 0x0007, 0xFFFE, 0,   "0000", 0x0007, "0000", kParameterWord}),
    caseName);

INSTANTIATE_TEST_SUITE_P(Compare, OneInstructionTest, testing::Values(
    // N is the unsigned borrow, not the sign of the difference
    OneInstruction{"CMP",   0x0000, 100, 0x9000, "0000", 0x0000, "1001", 100},
    OneInstruction{"CMP",   0x9000, 100, 0x1000, "1111", 0x9000, "0000", 100},
    OneInstruction{"CMPI",  0x0005, 5, 0,        "1101", 0x0005, "0010", kParameterWord},
    // V: sign of A against bit 15 of the difference
    OneInstruction{"CMPI",  0x8000, 1, 0,        "0000", 0x8000, "0100", kParameterWord},
    OneInstruction{"CMPI",  0x7FFF, 0xFFFF, 0,   "0000", 0x7FFF, "1101", kParameterWord},
    // 0 - 1 = 0xFFFF turns the sign bit on: V, where the two-operand
    // overflow rule (0 - 1 is no overflow) would give none
    OneInstruction{"CMPI",  0x0000, 1, 0,        "0000", 0x0000, "1101", kParameterWord}),
    caseName);

INSTANTIATE_TEST_SUITE_P(Logic, OneInstructionTest, testing::Values(
    OneInstruction{"LOAD",  0x1234, 100, 0x8001, "1100", 0x8001, "0001", 100},
    OneInstruction{"LOADI", 0x1234, 0,   0,      "1101", 0x0000, "0010", kParameterWord},
    OneInstruction{"AND",   0xF0F0, 100, 0x0FF0, "1100", 0x00F0, "0000", 100},
    OneInstruction{"OR",    0xF000, 100, 0x000F, "0000", 0xF00F, "0001", 100},
    OneInstruction{"XOR",   0xFFFF, 100, 0xFFFF, "0000", 0x0000, "0010", 100},
    OneInstruction{"ANDI",  0x8001, 0x8000, 0,   "1100", 0x8000, "0001", kParameterWord},
    OneInstruction{"ORI",   0x0000, 0,   0,      "0000", 0x0000, "0010", kParameterWord},
    OneInstruction{"XORI",  0x00FF, 0x0F0F, 0,   "0000", 0x0FF0, "0000", kParameterWord},
    // NOT reports its parameter word's value as the touched address
    OneInstruction{"NOT",   0x0000, 0,   0,      "1100", 0xFFFF, "0001", 0},
    OneInstruction{"NOT",   0xFFFF, 300, 0,      "0000", 0x0000, "0010", 300},
    // LOADC leaves every flag; no touched word
    OneInstruction{"LOADC", 0x1234, 0,   0,      "1011", 0x0001, "1011", kNoWord},
    OneInstruction{"LOADC", 0x1234, 0,   0,      "0110", 0x0000, "0110", kNoWord},
    // NOOP changes nothing, not even the touched address
    OneInstruction{"NOOP",  0x1234, 100, 0,      "1010", 0x1234, "1010", kUntouched}),
    caseName);

INSTANTIATE_TEST_SUITE_P(Shift, OneInstructionTest, testing::Values(
    OneInstruction{"SHLI",  0x8001, 1,  0,       "0000", 0x0002, "1000", kParameterWord},
    OneInstruction{"SHRI",  0x8001, 1,  0,       "0000", 0x4000, "1000", kParameterWord},
    OneInstruction{"SHLI",  0x0001, 16, 0,       "0000", 0x0000, "1010", kParameterWord},
    OneInstruction{"SHLI",  0x0001, 17, 0,       "0000", 0x0000, "0010", kParameterWord},
    OneInstruction{"SHRI",  0x8000, 16, 0,       "0000", 0x0000, "1010", kParameterWord},
    OneInstruction{"SHRI",  0xFFFF, 31, 0,       "1000", 0x0000, "0010", kParameterWord},
    OneInstruction{"SHLI",  0xFFFF, 32, 0,       "1000", 0x0000, "0010", kParameterWord},
    OneInstruction{"SHRI",  0xFFFF, 32767, 0,    "1000", 0x0000, "0010", kParameterWord},
    // count 0: accumulator kept, C and V cleared, Z and N recomputed
    OneInstruction{"SHLI",  0x8000, 0,  0,       "1110", 0x8000, "0001", kParameterWord},
    // logical right shift: the sign bit is not copied
    OneInstruction{"SHRI",  0x8000, 4,  0,       "0000", 0x0800, "0000", kParameterWord},
    // memory forms take the count from memory but still mark the parameter word
    OneInstruction{"SHL",   0x0003, 100, 2,      "0000", 0x000C, "0000", kParameterWord},
    OneInstruction{"SHR",   0x0003, 100, 1,      "0100", 0x0001, "1000", kParameterWord}),
    caseName);
// clang-format on

TEST(ExecuteInstruction, StoreWritesTheWordAtTheUnsignedAddressAndKeepsFlags) {
  auto m = freshMachine();
  place(*m, kAt, codeOf("STORE"), 0x8000);
  m->accumulator = -5;
  m->pc = kAt;
  setFlags(*m, "1010");
  m->touched = kUntouched;

  EXPECT_EQ(executeInstruction(*m), StepOutcome::Executed);

  EXPECT_EQ(m->memory[32768], -5);
  EXPECT_EQ(m->touched, 32768);
  EXPECT_EQ(flagsOf(*m), "1010");
  EXPECT_EQ(m->accumulator, -5);
}

struct Jump {
  const char* mnemonic;
  const char* flags;
  bool taken;
};

TEST(ExecuteInstruction, JumpsFollowTheirConditionAndKeepTheFlags) {
  // clang-format off
  const std::vector<Jump> cases = {
      {"JMPP", "0000", true},  {"JMPP", "0010", false}, {"JMPP", "0001", false},
      {"JMPNN", "1110", true}, {"JMPNN", "0001", false},
      {"JMPN", "0001", true},  {"JMPN", "1110", false},
      {"JMPNP", "0010", true}, {"JMPNP", "0001", true},  {"JMPNP", "1100", false},
      {"JMPZ", "0010", true},  {"JMPZ", "1101", false},
      {"JMPNZ", "1101", true}, {"JMPNZ", "0010", false},
      {"JMPV", "0100", true},  {"JMPV", "1011", false},
      {"JMPC", "1000", true},  {"JMPC", "0111", false},
      {"JMP", "0000", true},   {"JMP", "1111", true},
      {"JHI", "0101", true},   {"JHI", "1000", false},  {"JHI", "0010", false},
      {"JHS", "0111", true},   {"JHS", "1000", false},
      {"JLO", "1000", true},   {"JLO", "0111", false},
      {"JLS", "1000", true},   {"JLS", "0010", true},   {"JLS", "0101", false},
  };
  // clang-format on
  for (const Jump& c : cases) {
    SCOPED_TRACE(std::string(c.mnemonic) + " with CVZN " + c.flags);
    auto m = freshMachine();
    place(*m, kAt, codeOf(c.mnemonic), 0xFFF0);
    m->pc = kAt;
    setFlags(*m, c.flags);
    m->touched = kUntouched;

    EXPECT_EQ(executeInstruction(*m), StepOutcome::Executed);

    EXPECT_EQ(m->pc, c.taken ? 0xFFF0 : kAt + 2);
    EXPECT_EQ(m->touched, c.taken ? std::optional<Address>(0xFFF0) : kNoWord);
    EXPECT_EQ(flagsOf(*m), c.flags);
  }
}

// The flag rules worked out again in wide integer arithmetic, straight from
// their definitions, for the operands where 16 bits run out: the edges of
// the signed and the unsigned range and their neighbours.
struct Expected {
  uint16_t accumulator;
  std::string flags;  // "CVZN"
};

char bit(bool value) {
  return value ? '1' : '0';
}

uint16_t low16(int64_t value) {
  return static_cast<uint16_t>(static_cast<uint64_t>(value) & 0xFFFFu);
}

bool signOf(int64_t word) {
  return ((static_cast<uint64_t>(word) >> 15) & 1u) != 0;
}

// add, subtract, multiply: r computed without limit; V when the
// accumulator's sign bit changed.
Expected arithmetic(uint16_t a, int64_t r, bool carry) {
  const uint16_t result = low16(r);
  return {result,
          {bit(carry), bit(signOf(a) != signOf(result)), bit(result == 0), bit(signOf(result))}};
}

Expected logic(int64_t value) {
  const uint16_t result = low16(value);
  return {result, {'0', '0', bit(result == 0), bit(signOf(result))}};
}

Expected referenceOf(const std::string& operation, uint16_t a, uint16_t x) {
  const int64_t as = static_cast<int16_t>(a);
  const int64_t xs = static_cast<int16_t>(x);
  if (operation == "ADD") return arithmetic(a, int64_t{a} + x, int64_t{a} + x > 65535);
  if (operation == "SUB") return arithmetic(a, int64_t{a} - x, a < x);
  if (operation == "MUL") return arithmetic(a, int64_t{a} * x, int64_t{a} * x > 65535);
  if (operation == "CMP") {
    return {a,
            {bit(a < x), bit(signOf(a) != signOf(low16(int64_t{a} - x))), bit(a == x), bit(a < x)}};
  }
  if (operation == "DIV") return logic(as / xs);
  if (operation == "MOD") return logic(as % xs);
  if (operation == "DIVU") return logic(a / x);
  if (operation == "MODU") return logic(a % x);
  if (operation == "MULH") return logic((as * xs) >> 16);
  return logic((int64_t{a} * x) >> 16);  // MULHU
}

std::string inverted(const std::string& flags) {
  std::string result = flags;
  for (char& flag : result) flag = flag == '1' ? '0' : '1';
  return result;
}

TEST(ExecuteInstruction, ArithmeticAtTheEdgesOfTheRangeAgreesWithWideArithmetic) {
  const uint16_t edges[] = {0x0000, 0x0001, 0x0002, 0x00FF, 0x0100, 0x7FFE,
                            0x7FFF, 0x8000, 0x8001, 0xFFFE, 0xFFFF};
  for (const std::string operation :
       {"ADD", "SUB", "MUL", "CMP", "DIV", "MOD", "DIVU", "MODU", "MULH", "MULHU"}) {
    for (const bool immediate : {false, true}) {
      const std::string mnemonic = operation + (immediate ? "I" : "");
      for (const uint16_t a : edges) {
        for (const uint16_t x : edges) {
          if (x == 0 && (operation.starts_with("DIV") || operation.starts_with("MOD"))) continue;
          SCOPED_TRACE(mnemonic + " " + std::to_string(a) + ", " + std::to_string(x));
          // Setup: every flag the opposite of the expected one, so that each
          // must be written.
          const Expected expected = referenceOf(operation, a, x);
          auto m = freshMachine();
          place(*m, kAt, codeOf(mnemonic.c_str()), immediate ? x : 100);
          if (!immediate) m->memory[100] = static_cast<int16_t>(x);
          m->accumulator = static_cast<int16_t>(a);
          m->pc = kAt;
          setFlags(*m, inverted(expected.flags));
          m->touched = kUntouched;

          // Run
          const StepOutcome outcome = executeInstruction(*m);

          // Verify
          EXPECT_EQ(outcome, StepOutcome::Executed);
          EXPECT_EQ(static_cast<uint16_t>(m->accumulator), expected.accumulator);
          EXPECT_EQ(flagsOf(*m), expected.flags);
        }
      }
    }
  }
}

// Shifts by every count from 0 to 33 and a few far beyond: the result is
// A * 2^n mod 65536 or A div 2^n (0 from 16 on), C the last bit moved out
// (bit 16 - n or n - 1 of A, for n from 1 to 16), V always 0.
TEST(ExecuteInstruction, ShiftsByEveryCountAgreeWithTheirDefinition) {
  std::vector<int32_t> counts;
  for (int32_t n = 0; n <= 33; ++n) counts.push_back(n);
  for (const int32_t n : {64, 255, 256, 0x7FFF}) counts.push_back(n);
  for (const char* operation : {"SHL", "SHR"}) {
    const bool left = std::string(operation) == "SHL";
    for (const bool immediate : {false, true}) {
      const std::string mnemonic = std::string(operation) + (immediate ? "I" : "");
      for (const uint16_t a : {0x0001, 0x8000, 0x8001, 0x5555, 0xAAAA, 0xFFFF}) {
        for (const int32_t n : counts) {
          SCOPED_TRACE(mnemonic + " " + std::to_string(a) + " by " + std::to_string(n));
          const int64_t wide = left ? (n < 16 ? int64_t{a} << n : 0) : (n < 16 ? a >> n : 0);
          const bool carry = n >= 1 && n <= 16 && (((a >> (left ? 16 - n : n - 1)) & 1) != 0);
          Expected expected = logic(wide);
          expected.flags[0] = bit(carry);
          auto m = freshMachine();
          place(*m, kAt, codeOf(mnemonic.c_str()), immediate ? static_cast<uint16_t>(n) : 100);
          if (!immediate) m->memory[100] = static_cast<int16_t>(n);
          m->accumulator = static_cast<int16_t>(a);
          m->pc = kAt;
          setFlags(*m, inverted(expected.flags));
          m->touched = kUntouched;

          EXPECT_EQ(executeInstruction(*m), StepOutcome::Executed);

          EXPECT_EQ(static_cast<uint16_t>(m->accumulator), expected.accumulator);
          EXPECT_EQ(flagsOf(*m), expected.flags);
          EXPECT_EQ(m->touched, kParameterWord);
        }
      }
    }
  }
}

}  // namespace
