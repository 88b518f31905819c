#pragma once
// The fifty instructions of the machine. One table drives encoding (the
// assembler), decoding (the executor) and display (the register panel).

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

// What an instruction does; the executor switches over it so that a missing
// case is a compile error. `Unknown` stands for a code word not in the table.
enum class Op : uint8_t {
  Load, Store, Loadi, Add, Sub, Mul, Div, Mod, Cmp, Divu, Modu, Mulh, Mulhu,
  Addi, Subi, Muli, Divi, Modi, Divui, Modui, Mulhi, Mulhui, Cmpi,
  And, Or, Xor, Not, Shl, Shr, Andi, Ori, Xori, Shli, Shri,
  Jmpp, Jmpnn, Jmpn, Jmpnp, Jmpz, Jmpnz, Jmpv, Jmpc, Jmp, Jhi, Jhs, Jlo, Jls,
  Hold, Loadc, Noop,
  Unknown,
};

struct OpcodeRow {
  Op op;
  int16_t code;
  int16_t hasOperand;
  const char* mnemonic;
};

inline constexpr std::size_t kOpcodeCount = 50;

// The rows in their fixed order; lookups scan them first match first.
extern const std::array<OpcodeRow, kOpcodeCount> kOpcodeRows;

struct OpcodeEntry {
  int16_t code = -1;
  int16_t hasOperand = -1;
  std::string mnemonic;
};

using OpcodeTable = std::array<OpcodeEntry, kOpcodeCount>;

// The table as built at start-up (before any window exists).
const OpcodeTable& opcodeTable();

// First entry with this code (compared as signed 16-bit), or the empty entry.
OpcodeEntry findByCode(int16_t code);
// Upper-cases `text` (a..z only), then the first entry with that mnemonic.
OpcodeEntry findByMnemonic(std::string_view text);
// Mnemonic of the first entry with this code, or "ERROR".
std::string mnemonicOf(int16_t code);

// Fast decode with exactly the results of the scan: a 65,536-entry table
// built from the rows. Never decodes by bits.
Op decodeOp(uint16_t word);
// Row index (0..49) of the first row with this code, or -1.
int rowOfCode(uint16_t word);
