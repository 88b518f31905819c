#pragma once
// The fifty instructions of the machine in one table. Encoding (the
// assembler), decoding (the executor), display (the register panel and the
// runner) and the word a step marks as touched all read it or the indexes
// built from it.

#include <array>
#include <cstdint>
#include <string_view>

#include "isa/word.h"

namespace akkusim {

// What an instruction does; the executor switches over it so that a missing
// case is a compile error. `Unknown` stands for a code word not in the table.
enum class Op : uint8_t {
  Load,
  Store,
  Loadi,
  Add,
  Sub,
  Mul,
  Div,
  Mod,
  Cmp,
  Divu,
  Modu,
  Mulh,
  Mulhu,
  Addi,
  Subi,
  Muli,
  Divi,
  Modi,
  Divui,
  Modui,
  Mulhi,
  Mulhui,
  Cmpi,
  And,
  Or,
  Xor,
  Not,
  Shl,
  Shr,
  Andi,
  Ori,
  Xori,
  Shli,
  Shri,
  Jmpp,
  Jmpnn,
  Jmpn,
  Jmpnp,
  Jmpz,
  Jmpnz,
  Jmpv,
  Jmpc,
  Jmp,
  Jhi,
  Jhs,
  Jlo,
  Jls,
  Hold,
  Loadc,
  Noop,
  Unknown,
};

// What the parameter word stands for. It decides whether a source line
// writes an operand and which memory word an executed step marks:
//   MemoryRead, MemoryWrite           the word M[p]
//   Immediate, MemoryShiftCount,
//   ImmediateShiftCount               the parameter word itself
//   JumpTarget                        p when the jump is taken, none otherwise
//   None                              no operand; the mark stays (NOT marks
//                                     M[p] and LOADC clears it, as cases of
//                                     their own)
enum class OperandKind : uint8_t {
  None,
  MemoryRead,
  MemoryWrite,
  Immediate,
  MemoryShiftCount,
  ImmediateShiftCount,
  JumpTarget,
};

constexpr bool hasOperand(OperandKind kind) {
  return kind != OperandKind::None;
}

struct OpcodeRow {
  Op op;
  Word code;
  OperandKind operand;
  std::string_view mnemonic;
};

inline constexpr std::size_t kOpcodeCount = 50;

// The rows in their fixed order; every lookup takes the first match.
// clang-format off
inline constexpr std::array<OpcodeRow, kOpcodeCount> kOpcodeRows{{
    {Op::Load,   0x0114, OperandKind::MemoryRead,          "LOAD"},    // A := M[p]
    {Op::Store,  0x0115, OperandKind::MemoryWrite,         "STORE"},   // M[p] := A
    {Op::Loadi,  0x0214, OperandKind::Immediate,           "LOADI"},   // A := p
    {Op::Add,    0x010A, OperandKind::MemoryRead,          "ADD"},     // A := A + M[p]
    {Op::Sub,    0x010B, OperandKind::MemoryRead,          "SUB"},     // A := A - M[p]
    {Op::Mul,    0x010C, OperandKind::MemoryRead,          "MUL"},     // A := low word of A * M[p]
    {Op::Div,    0x010D, OperandKind::MemoryRead,          "DIV"},     // A := A / M[p], signed
    {Op::Mod,    0x010E, OperandKind::MemoryRead,          "MOD"},     // A := remainder of A / M[p], signed
    {Op::Cmp,    0x010F, OperandKind::MemoryRead,          "CMP"},     // flags of A - M[p]; A unchanged
    {Op::Divu,   0x0110, OperandKind::MemoryRead,          "DIVU"},    // A := A / M[p], unsigned
    {Op::Modu,   0x0111, OperandKind::MemoryRead,          "MODU"},    // A := remainder, unsigned
    {Op::Mulh,   0x0112, OperandKind::MemoryRead,          "MULH"},    // A := high word of signed A * M[p]
    {Op::Mulhu,  0x0113, OperandKind::MemoryRead,          "MULHU"},   // A := high word of unsigned A * M[p]
    {Op::Addi,   0x020A, OperandKind::Immediate,           "ADDI"},    // A := A + p
    {Op::Subi,   0x020B, OperandKind::Immediate,           "SUBI"},    // A := A - p
    {Op::Muli,   0x020C, OperandKind::Immediate,           "MULI"},    // A := low word of A * p
    {Op::Divi,   0x020D, OperandKind::Immediate,           "DIVI"},    // A := A / p, signed
    {Op::Modi,   0x020E, OperandKind::Immediate,           "MODI"},    // A := remainder of A / p, signed
    {Op::Divui,  0x0210, OperandKind::Immediate,           "DIVUI"},   // A := A / p, unsigned
    {Op::Modui,  0x0211, OperandKind::Immediate,           "MODUI"},   // A := remainder, unsigned
    {Op::Mulhi,  0x0212, OperandKind::Immediate,           "MULHI"},   // A := high word of signed A * p
    {Op::Mulhui, 0x0213, OperandKind::Immediate,           "MULHUI"},  // A := high word of unsigned A * p
    {Op::Cmpi,   0x020F, OperandKind::Immediate,           "CMPI"},    // flags of A - p; A unchanged
    {Op::And,    0x0132, OperandKind::MemoryRead,          "AND"},     // A := A and M[p]
    {Op::Or,     0x0133, OperandKind::MemoryRead,          "OR"},      // A := A or M[p]
    {Op::Xor,    0x0134, OperandKind::MemoryRead,          "XOR"},     // A := A xor M[p]
    {Op::Not,    0x0038, OperandKind::None,                "NOT"},     // A := not A
    {Op::Shl,    0x0135, OperandKind::MemoryShiftCount,    "SHL"},     // A := A shifted left by M[p]
    {Op::Shr,    0x0136, OperandKind::MemoryShiftCount,    "SHR"},     // A := A shifted right by M[p]
    {Op::Andi,   0x0232, OperandKind::Immediate,           "ANDI"},    // A := A and p
    {Op::Ori,    0x0233, OperandKind::Immediate,           "ORI"},     // A := A or p
    {Op::Xori,   0x0234, OperandKind::Immediate,           "XORI"},    // A := A xor p
    {Op::Shli,   0x0235, OperandKind::ImmediateShiftCount, "SHLI"},    // A := A shifted left by p
    {Op::Shri,   0x0236, OperandKind::ImmediateShiftCount, "SHRI"},    // A := A shifted right by p
    {Op::Jmpp,   0x011E, OperandKind::JumpTarget,          "JMPP"},    // jump if Z = 0 and N = 0
    {Op::Jmpnn,  0x011F, OperandKind::JumpTarget,          "JMPNN"},   // jump if N = 0
    {Op::Jmpn,   0x0120, OperandKind::JumpTarget,          "JMPN"},    // jump if N = 1
    {Op::Jmpnp,  0x0121, OperandKind::JumpTarget,          "JMPNP"},   // jump if Z = 1 or N = 1
    {Op::Jmpz,   0x0122, OperandKind::JumpTarget,          "JMPZ"},    // jump if Z = 1
    {Op::Jmpnz,  0x0123, OperandKind::JumpTarget,          "JMPNZ"},   // jump if Z = 0
    {Op::Jmpv,   0x0125, OperandKind::JumpTarget,          "JMPV"},    // jump if V = 1
    {Op::Jmpc,   0x0126, OperandKind::JumpTarget,          "JMPC"},    // jump if C = 1
    {Op::Jmp,    0x0124, OperandKind::JumpTarget,          "JMP"},     // jump always
    {Op::Jhi,    0x0128, OperandKind::JumpTarget,          "JHI"},     // jump if C = 0 and Z = 0
    {Op::Jhs,    0x0129, OperandKind::JumpTarget,          "JHS"},     // jump if C = 0
    {Op::Jlo,    0x012A, OperandKind::JumpTarget,          "JLO"},     // jump if C = 1
    {Op::Jls,    0x012B, OperandKind::JumpTarget,          "JLS"},     // jump if C = 1 or Z = 1
    {Op::Hold,   0x0063, OperandKind::None,                "HOLD"},    // stop: "Programmende"
    {Op::Loadc,  0x0016, OperandKind::None,                "LOADC"},   // A := C (0 or 1)
    {Op::Noop,   0x0000, OperandKind::None,                "NOOP"},    // nothing
}};
// clang-format on
// The operand kind of an operation, known at compile time.
constexpr OperandKind operandKindOf(Op op) {
  for (const OpcodeRow& row : kOpcodeRows) {
    if (row.op == op) return row.operand;
  }
  return OperandKind::None;
}

// The row of the mnemonic spelt by `token` in any letter case (a..z only),
// or nullptr. Builds no strings: the listing looks up every line it draws.
const OpcodeRow* findMnemonic(std::string_view token);
// The first row with this code word, or nullptr.
const OpcodeRow* findCode(WordBits word);
// Its mnemonic, or "ERROR".
std::string_view mnemonicOf(Word code);

// What the executor needs of a code word, for all 65,536 of them, indexed
// by the word: built from the rows, never decoded by bits.
struct DecodedWord {
  Op op;
  OperandKind operand;
};
const DecodedWord* decodeIndex();
Op decodeOp(WordBits word);

}  // namespace akkusim
