#include "isa/opcode_table.h"

#include "text/ascii_case.h"

namespace akkusim {

namespace {

// The row and the decoding of every possible code word, filled from the rows
// backwards so that the first row with a code wins.
struct CodeIndex {
  std::array<int8_t, kDistinctWords> row;
  std::array<DecodedWord, kDistinctWords> decoded;
  CodeIndex() {
    row.fill(-1);
    decoded.fill(DecodedWord{Op::Unknown, OperandKind::None});
    for (std::size_t i = kOpcodeCount; i-- > 0;) {
      const WordBits word = bitsOf(kOpcodeRows[i].code);
      row[word] = static_cast<int8_t>(i);
      decoded[word] = DecodedWord{kOpcodeRows[i].op, kOpcodeRows[i].operand};
    }
  }
};

const CodeIndex& codeIndex() {
  static const CodeIndex index;
  return index;
}

// A token is packed with its length into one word (upper-cased a..z only)
// and found in a small open-addressed index; tokens longer than the longest
// mnemonic never match.
constexpr std::size_t kMaxMnemonicLength = 7;
constexpr std::size_t kSlots = 128;

constexpr uint64_t packKey(std::string_view token) {
  uint64_t key = static_cast<uint64_t>(token.size()) << 56;
  for (std::size_t i = 0; i < token.size(); ++i) {
    key |= static_cast<uint64_t>(static_cast<unsigned char>(upperAscii(token[i]))) << (8 * i);
  }
  return key;
}

constexpr std::size_t slotOf(uint64_t key) {
  return static_cast<std::size_t>((key * 0x9E3779B97F4A7C15ull) >> 57) & (kSlots - 1);
}

struct MnemonicIndex {
  std::array<uint64_t, kSlots> keys{};
  std::array<int8_t, kSlots> rows{};  // -1 = free slot

  MnemonicIndex() {
    rows.fill(-1);
    // Rows in table order; a key already present keeps its earlier row.
    for (std::size_t row = 0; row < kOpcodeCount; ++row) {
      const uint64_t key = packKey(kOpcodeRows[row].mnemonic);
      std::size_t slot = slotOf(key);
      while (rows[slot] >= 0 && keys[slot] != key) slot = (slot + 1) & (kSlots - 1);
      if (rows[slot] < 0) {
        keys[slot] = key;
        rows[slot] = static_cast<int8_t>(row);
      }
    }
  }

  const OpcodeRow* find(std::string_view token) const {
    if (token.empty() || token.size() > kMaxMnemonicLength) return nullptr;
    const uint64_t key = packKey(token);
    for (std::size_t slot = slotOf(key); rows[slot] >= 0; slot = (slot + 1) & (kSlots - 1)) {
      if (keys[slot] == key) return &kOpcodeRows[static_cast<std::size_t>(rows[slot])];
    }
    return nullptr;
  }
};

const MnemonicIndex& mnemonicIndex() {
  static const MnemonicIndex index;
  return index;
}

// Built during start-up, before any window exists.
[[maybe_unused]] const bool kIndexesBuilt = (codeIndex(), mnemonicIndex(), true);

}  // namespace

const OpcodeRow* findMnemonic(std::string_view token) {
  return mnemonicIndex().find(token);
}

const OpcodeRow* findCode(WordBits word) {
  const int row = codeIndex().row[word];
  return row < 0 ? nullptr : &kOpcodeRows[static_cast<std::size_t>(row)];
}

std::string_view mnemonicOf(Word code) {
  const OpcodeRow* row = findCode(bitsOf(code));
  return row == nullptr ? std::string_view("ERROR") : row->mnemonic;
}

const DecodedWord* decodeIndex() {
  return codeIndex().decoded.data();
}

Op decodeOp(WordBits word) {
  return codeIndex().decoded[word].op;
}

}  // namespace akkusim
