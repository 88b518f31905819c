#pragma once
// Words a teacher or a learner puts into memory by number: a start address
// and the consecutive words from there. One rule for the test files and for
// `run --set`.

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "machine/machine_state.h"

namespace akkusim {

// Values may be written signed or unsigned; both name the same 16 bits.
inline constexpr int64_t kLowestWordValue = -32768;
inline constexpr int64_t kHighestWordValue = 65535;
inline constexpr int64_t kHighestAddress = kMemoryWords - 1;

struct WordBlock {
  Address address = 0;
  std::vector<WordBits> words;
};

bool isWordValue(int64_t value);
bool isAddress(int64_t value);
// True when `count` words from `address` on stay at or below 65535.
bool fitsInMemory(int64_t address, std::size_t count);

// "ADRESSE=WERT[,WERT...]" in decimal, e.g. "100=1,-2,3"; nothing when the
// text breaks a rule.
std::optional<WordBlock> parseWordBlock(std::string_view text);

// The lowest address that a block starts at while an earlier-starting one
// (or one at the same address) already covers it; nothing when no word is
// given twice. A word given twice would make one of its values a lie.
std::optional<int32_t> firstRepeatedAddress(std::vector<WordBlock> blocks);

void writeWords(MachineState& machine, const WordBlock& block);

}  // namespace akkusim
