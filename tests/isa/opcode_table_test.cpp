#include "isa/opcode_table.h"

#include <gtest/gtest.h>

#include <string>

#include "text/ascii_case.h"

using namespace akkusim;

namespace {

struct Row {
  const char* mnemonic;
  int code;  // decimal, as listed in the instruction set
  int hasOperand;
  Op op;
};

// The fifty instructions in table order.
const Row kExpected[] = {
    {"LOAD", 276, 1, Op::Load},     {"STORE", 277, 1, Op::Store}, {"LOADI", 532, 1, Op::Loadi},
    {"ADD", 266, 1, Op::Add},       {"SUB", 267, 1, Op::Sub},     {"MUL", 268, 1, Op::Mul},
    {"DIV", 269, 1, Op::Div},       {"MOD", 270, 1, Op::Mod},     {"CMP", 271, 1, Op::Cmp},
    {"DIVU", 272, 1, Op::Divu},     {"MODU", 273, 1, Op::Modu},   {"MULH", 274, 1, Op::Mulh},
    {"MULHU", 275, 1, Op::Mulhu},   {"ADDI", 522, 1, Op::Addi},   {"SUBI", 523, 1, Op::Subi},
    {"MULI", 524, 1, Op::Muli},     {"DIVI", 525, 1, Op::Divi},   {"MODI", 526, 1, Op::Modi},
    {"DIVUI", 528, 1, Op::Divui},   {"MODUI", 529, 1, Op::Modui}, {"MULHI", 530, 1, Op::Mulhi},
    {"MULHUI", 531, 1, Op::Mulhui}, {"CMPI", 527, 1, Op::Cmpi},   {"AND", 306, 1, Op::And},
    {"OR", 307, 1, Op::Or},         {"XOR", 308, 1, Op::Xor},     {"NOT", 56, 0, Op::Not},
    {"SHL", 309, 1, Op::Shl},       {"SHR", 310, 1, Op::Shr},     {"ANDI", 562, 1, Op::Andi},
    {"ORI", 563, 1, Op::Ori},       {"XORI", 564, 1, Op::Xori},   {"SHLI", 565, 1, Op::Shli},
    {"SHRI", 566, 1, Op::Shri},     {"JMPP", 286, 1, Op::Jmpp},   {"JMPNN", 287, 1, Op::Jmpnn},
    {"JMPN", 288, 1, Op::Jmpn},     {"JMPNP", 289, 1, Op::Jmpnp}, {"JMPZ", 290, 1, Op::Jmpz},
    {"JMPNZ", 291, 1, Op::Jmpnz},   {"JMPV", 293, 1, Op::Jmpv},   {"JMPC", 294, 1, Op::Jmpc},
    {"JMP", 292, 1, Op::Jmp},       {"JHI", 296, 1, Op::Jhi},     {"JHS", 297, 1, Op::Jhs},
    {"JLO", 298, 1, Op::Jlo},       {"JLS", 299, 1, Op::Jls},     {"HOLD", 99, 0, Op::Hold},
    {"LOADC", 22, 0, Op::Loadc},    {"NOOP", 0, 0, Op::Noop},
};

TEST(OpcodeTable, HoldsTheFiftyInstructionsInOrderAndEveryLookupFindsThem) {
  static_assert(std::size(kExpected) == kOpcodeCount);
  for (std::size_t i = 0; i < kOpcodeCount; ++i) {
    const Row& row = kExpected[i];
    SCOPED_TRACE(row.mnemonic);
    const int16_t code = static_cast<int16_t>(row.code);
    const OpcodeRow& entry = kOpcodeRows[i];
    EXPECT_EQ(entry.mnemonic, row.mnemonic);
    EXPECT_EQ(entry.code, code);
    EXPECT_EQ(hasOperand(entry.operand), row.hasOperand == 1);

    ASSERT_NE(findMnemonic(lowerAscii(row.mnemonic)), nullptr);
    EXPECT_EQ(findMnemonic(lowerAscii(row.mnemonic))->code, code);
    EXPECT_EQ(findCode(static_cast<uint16_t>(code)), &kOpcodeRows[i]);
    EXPECT_EQ(mnemonicOf(code), row.mnemonic);
    EXPECT_EQ(decodeOp(static_cast<uint16_t>(row.code)), row.op);
    EXPECT_EQ(decodeIndex()[static_cast<uint16_t>(row.code)].operand, entry.operand);
  }
}

TEST(OpcodeTable, UnknownTextsAndCodesFindNothing) {
  for (const char* text : {"LOADX", "", "LOA", "ld",
                           "L\xC3\x96"
                           "AD",
                           " LOAD", "JMP:"}) {
    EXPECT_EQ(findMnemonic(text), nullptr) << text;
  }
  ASSERT_NE(findMnemonic("LoAdI"), nullptr);
  EXPECT_EQ(findMnemonic("LoAdI")->mnemonic, "LOADI");

  EXPECT_EQ(findCode(0xFFFF), nullptr);
  EXPECT_EQ(mnemonicOf(0x0127), "ERROR");
  EXPECT_EQ(mnemonicOf(-1), "ERROR");
  EXPECT_EQ(decodeOp(0xFFFF), Op::Unknown);
  EXPECT_EQ(findCode(0x0127), nullptr);
  EXPECT_EQ(decodeOp(0), Op::Noop) << "cleared memory runs as no-operations";

  int known = 0;
  for (uint32_t word = 0; word <= 0xFFFF; ++word) {
    known += decodeOp(static_cast<uint16_t>(word)) != Op::Unknown;
  }
  EXPECT_EQ(known, 50) << "exactly the table's codes decode";
}

// The high byte of a code tells the operand kind (0x01 memory, 0x02
// immediate, 0x00 none) and the low byte the operation; the table's finer
// kinds (write, shift count, jump target) follow from the low byte.
TEST(OpcodeTable, OperandKindFollowsTheCodesHighAndLowByte) {
  for (const OpcodeRow& row : kOpcodeRows) {
    SCOPED_TRACE(row.mnemonic);
    const int high = static_cast<uint16_t>(row.code) >> 8;
    const int low = static_cast<uint16_t>(row.code) & 0xFF;
    const bool shift = low == 0x35 || low == 0x36;
    OperandKind expected = OperandKind::None;
    if (high == 0x01) {
      expected = low >= 0x1E && low <= 0x2B ? OperandKind::JumpTarget
                 : shift                    ? OperandKind::MemoryShiftCount
                 : low == 0x15              ? OperandKind::MemoryWrite
                                            : OperandKind::MemoryRead;
    } else if (high == 0x02) {
      expected = shift ? OperandKind::ImmediateShiftCount : OperandKind::Immediate;
    } else {
      EXPECT_EQ(high, 0x00);
    }
    EXPECT_EQ(row.operand, expected);
    EXPECT_EQ(operandKindOf(row.op), expected);
  }
}

}  // namespace
