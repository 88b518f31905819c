#include "isa/opcode_table.h"

#include <algorithm>

// clang-format off
const std::array<OpcodeRow, kOpcodeCount> kOpcodeRows{{
    {Op::Load,   0x0114, 1, "LOAD"},    // A := M[p]
    {Op::Store,  0x0115, 1, "STORE"},   // M[p] := A
    {Op::Loadi,  0x0214, 1, "LOADI"},   // A := p
    {Op::Add,    0x010A, 1, "ADD"},     // A := A + M[p]
    {Op::Sub,    0x010B, 1, "SUB"},     // A := A - M[p]
    {Op::Mul,    0x010C, 1, "MUL"},     // A := low word of A * M[p]
    {Op::Div,    0x010D, 1, "DIV"},     // A := A / M[p], signed
    {Op::Mod,    0x010E, 1, "MOD"},     // A := remainder of A / M[p], signed
    {Op::Cmp,    0x010F, 1, "CMP"},     // flags of A - M[p]; A unchanged
    {Op::Divu,   0x0110, 1, "DIVU"},    // A := A / M[p], unsigned
    {Op::Modu,   0x0111, 1, "MODU"},    // A := remainder, unsigned
    {Op::Mulh,   0x0112, 1, "MULH"},    // A := high word of signed A * M[p]
    {Op::Mulhu,  0x0113, 1, "MULHU"},   // A := high word of unsigned A * M[p]
    {Op::Addi,   0x020A, 1, "ADDI"},    // A := A + p
    {Op::Subi,   0x020B, 1, "SUBI"},    // A := A - p
    {Op::Muli,   0x020C, 1, "MULI"},    // A := low word of A * p
    {Op::Divi,   0x020D, 1, "DIVI"},    // A := A / p, signed
    {Op::Modi,   0x020E, 1, "MODI"},    // A := remainder of A / p, signed
    {Op::Divui,  0x0210, 1, "DIVUI"},   // A := A / p, unsigned
    {Op::Modui,  0x0211, 1, "MODUI"},   // A := remainder, unsigned
    {Op::Mulhi,  0x0212, 1, "MULHI"},   // A := high word of signed A * p
    {Op::Mulhui, 0x0213, 1, "MULHUI"},  // A := high word of unsigned A * p
    {Op::Cmpi,   0x020F, 1, "CMPI"},    // flags of A - p; A unchanged
    {Op::And,    0x0132, 1, "AND"},     // A := A and M[p]
    {Op::Or,     0x0133, 1, "OR"},      // A := A or M[p]
    {Op::Xor,    0x0134, 1, "XOR"},     // A := A xor M[p]
    {Op::Not,    0x0038, 0, "NOT"},     // A := not A
    {Op::Shl,    0x0135, 1, "SHL"},     // A := A shifted left by M[p]
    {Op::Shr,    0x0136, 1, "SHR"},     // A := A shifted right by M[p]
    {Op::Andi,   0x0232, 1, "ANDI"},    // A := A and p
    {Op::Ori,    0x0233, 1, "ORI"},     // A := A or p
    {Op::Xori,   0x0234, 1, "XORI"},    // A := A xor p
    {Op::Shli,   0x0235, 1, "SHLI"},    // A := A shifted left by p
    {Op::Shri,   0x0236, 1, "SHRI"},    // A := A shifted right by p
    {Op::Jmpp,   0x011E, 1, "JMPP"},    // jump if Z = 0 and N = 0
    {Op::Jmpnn,  0x011F, 1, "JMPNN"},   // jump if N = 0
    {Op::Jmpn,   0x0120, 1, "JMPN"},    // jump if N = 1
    {Op::Jmpnp,  0x0121, 1, "JMPNP"},   // jump if Z = 1 or N = 1
    {Op::Jmpz,   0x0122, 1, "JMPZ"},    // jump if Z = 1
    {Op::Jmpnz,  0x0123, 1, "JMPNZ"},   // jump if Z = 0
    {Op::Jmpv,   0x0125, 1, "JMPV"},    // jump if V = 1
    {Op::Jmpc,   0x0126, 1, "JMPC"},    // jump if C = 1
    {Op::Jmp,    0x0124, 1, "JMP"},     // jump always
    {Op::Jhi,    0x0128, 1, "JHI"},     // jump if C = 0 and Z = 0
    {Op::Jhs,    0x0129, 1, "JHS"},     // jump if C = 0
    {Op::Jlo,    0x012A, 1, "JLO"},     // jump if C = 1
    {Op::Jls,    0x012B, 1, "JLS"},     // jump if C = 1 or Z = 1
    {Op::Hold,   0x0063, 0, "HOLD"},    // stop: "Programmende"
    {Op::Loadc,  0x0016, 0, "LOADC"},   // A := C (0 or 1)
    {Op::Noop,   0x0000, 0, "NOOP"},    // nothing
}};
// clang-format on

namespace {

OpcodeTable buildTable() {
  OpcodeTable table;
  for (std::size_t i = 0; i < kOpcodeCount; ++i) {
    table[i] = OpcodeEntry{kOpcodeRows[i].code, kOpcodeRows[i].hasOperand,
                           kOpcodeRows[i].mnemonic};
  }
  return table;
}

// Row of every possible code word, filled from the rows in order so that the
// first matching row wins exactly as the scan would.
struct RowIndex {
  std::array<int8_t, 65536> row;
  RowIndex() {
    row.fill(-1);
    for (std::size_t i = kOpcodeCount; i-- > 0;) {
      row[static_cast<uint16_t>(kOpcodeRows[i].code)] = static_cast<int8_t>(i);
    }
  }
};

const RowIndex& rowIndex() {
  static const RowIndex index;
  return index;
}

// Built during start-up, before any window exists.
[[maybe_unused]] const bool kTablesBuilt = (opcodeTable(), rowIndex(), true);

}  // namespace

const OpcodeTable& opcodeTable() {
  static const OpcodeTable table = buildTable();
  return table;
}

int rowOfCode(uint16_t word) { return rowIndex().row[word]; }

Op decodeOp(uint16_t word) {
  const int row = rowOfCode(word);
  return row < 0 ? Op::Unknown : kOpcodeRows[static_cast<std::size_t>(row)].op;
}

OpcodeEntry findByCode(int16_t code) {
  const int row = rowOfCode(static_cast<uint16_t>(code));
  return row < 0 ? OpcodeEntry{} : opcodeTable()[static_cast<std::size_t>(row)];
}

OpcodeEntry findByMnemonic(std::string_view text) {
  std::string key(text);
  std::transform(key.begin(), key.end(), key.begin(),
                 [](char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; });
  for (const OpcodeEntry& entry : opcodeTable()) {
    if (entry.mnemonic == key) return entry;
  }
  return OpcodeEntry{};
}

std::string mnemonicOf(int16_t code) {
  const int row = rowOfCode(static_cast<uint16_t>(code));
  return row < 0 ? std::string("ERROR") : opcodeTable()[static_cast<std::size_t>(row)].mnemonic;
}
