#include "machine/memory_words.h"

#include <algorithm>
#include <charconv>

namespace akkusim {

namespace {

// Decimal digits with an optional leading "-"; no "+", blanks or prefixes.
std::optional<int64_t> parseInteger(std::string_view text) {
  const bool negative = !text.empty() && text[0] == '-';
  const std::string_view digits = negative ? text.substr(1) : text;
  if (digits.empty() || digits.size() > 9) return std::nullopt;
  for (char c : digits) {
    if (c < '0' || c > '9') return std::nullopt;
  }
  int64_t value = 0;
  std::from_chars(digits.data(), digits.data() + digits.size(), value);
  return negative ? -value : value;
}

}  // namespace

bool isWordValue(int64_t value) {
  return value >= kLowestWordValue && value <= kHighestWordValue;
}

bool isAddress(int64_t value) {
  return value >= 0 && value <= kHighestAddress;
}

bool fitsInMemory(int64_t address, std::size_t count) {
  return isAddress(address) &&
         static_cast<uint64_t>(count) <= static_cast<uint64_t>(kMemoryWords - address);
}

std::optional<WordBlock> parseWordBlock(std::string_view text) {
  const std::size_t equals = text.find('=');
  if (equals == std::string_view::npos) return std::nullopt;
  const std::string_view addressText = text.substr(0, equals);
  if (!addressText.empty() && addressText[0] == '-') return std::nullopt;
  const std::optional<int64_t> address = parseInteger(addressText);
  if (!address || !isAddress(*address)) return std::nullopt;

  WordBlock block{static_cast<Address>(*address), {}};
  std::string_view rest = text.substr(equals + 1);
  while (true) {
    const std::size_t comma = rest.find(',');
    const std::optional<int64_t> value = parseInteger(rest.substr(0, comma));
    if (!value || !isWordValue(*value)) return std::nullopt;
    block.words.push_back(static_cast<WordBits>(*value));
    if (!fitsInMemory(block.address, block.words.size())) return std::nullopt;
    if (comma == std::string_view::npos) break;
    rest = rest.substr(comma + 1);
  }
  return block;
}

std::optional<int32_t> firstRepeatedAddress(std::vector<WordBlock> blocks) {
  std::sort(blocks.begin(), blocks.end(),
            [](const WordBlock& a, const WordBlock& b) { return a.address < b.address; });
  int64_t coveredEnd = 0;  // one past the highest word of the blocks so far
  for (std::size_t i = 0; i < blocks.size(); ++i) {
    if (i > 0 && blocks[i].address < coveredEnd) return blocks[i].address;
    coveredEnd =
        std::max(coveredEnd, blocks[i].address + static_cast<int64_t>(blocks[i].words.size()));
  }
  return std::nullopt;
}

void writeWords(MachineState& machine, const WordBlock& block) {
  for (std::size_t i = 0; i < block.words.size(); ++i) {
    machine.memory[static_cast<std::size_t>(block.address) + i] = asWord(block.words[i]);
  }
}

}  // namespace akkusim
