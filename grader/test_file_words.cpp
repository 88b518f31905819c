#include "grader/test_file_words.h"

#include <algorithm>
#include <string>
#include <utility>

#include "machine/flags.h"
#include "machine/run.h"

namespace akkusim {

namespace {

const std::string kValueRule = "eine ganze Zahl von -32768 bis 65535";

std::optional<int32_t> addressOf(Findings& findings, const toml::key& key) {
  const std::string_view text = key.str();
  const bool digitsOnly =
      !text.empty() && text.size() <= 5 &&
      std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
  const int32_t value = digitsOnly ? std::stoi(std::string(text)) : -1;
  if (!isAddress(value)) {
    refuse(findings, positionOf(key.source()),
           "Adresse '" + std::string(text) + "' ist keine Dezimalzahl von 0 bis 65535");
    return std::nullopt;
  }
  return value;
}

struct PlacedBlock {
  WordBlock block;
  Position at;
};

// "C, V, Z, N": the keys a flags table may have.
std::string flagLetters() {
  std::string letters;
  for (const FlagRow& flag : kFlags) {
    if (!letters.empty()) letters += ", ";
    letters += flag.letter;
  }
  return letters;
}

void readFlags(Findings& findings, const toml::node& node, TestCase& testCase) {
  const auto* table = node.as_table();
  if (table == nullptr) {
    refuse(findings, positionOf(node.source()),
           "'flags' muss eine Tabelle sein, z. B. { Z = 0, N = 1 }");
    return;
  }
  for (const auto& [key, value] : *table) {
    const std::optional<std::size_t> flag =
        key.str().size() == 1 ? flagIndexOf(key.str()[0]) : std::nullopt;
    if (!flag) {
      refuseUnknownKey(findings, key, flagLetters());
      continue;
    }
    const auto* integer = value.as_integer();
    const auto* boolean = value.as_boolean();
    const int64_t bit = integer != nullptr   ? integer->get()
                        : boolean != nullptr ? boolean->get()
                                             : -1;
    if (bit != 0 && bit != 1) {
      refuse(findings, positionOf(value.source()),
             "Flag " + std::string(key.str()) + " muss 0 oder 1 sein");
      continue;
    }
    testCase.expectedFlags[*flag] = static_cast<uint8_t>(bit);
  }
}

constexpr RunEnd kEnds[] = {RunEnd::Hold,           RunEnd::MemoryOverflow,
                            RunEnd::BadShift,       RunEnd::UnknownInstruction,
                            RunEnd::DivisionByZero, RunEnd::StepLimit};

void readEnd(Findings& findings, const toml::node& node, TestCase& testCase) {
  const auto* text = node.as_string();
  for (RunEnd end : kEnds) {
    if (text != nullptr && text->get() == runEndName(end)) {
      testCase.expectedEnd = end;
      return;
    }
  }
  refuse(findings, positionOf(node.source()),
         "'end' muss einer dieser Texte sein: hold, memoryOverflow, badShift, "
         "unknownInstruction, divisionByZero, stepLimit");
}

}  // namespace

std::optional<uint16_t> wordOf(Findings& findings, const toml::node& node, std::string_view what) {
  const auto* integer = node.as_integer();
  if (integer == nullptr) {
    refuse(findings, positionOf(node.source()),
           std::string(what) + " muss " + kValueRule + " sein");
    return std::nullopt;
  }
  const int64_t value = integer->get();
  if (!isWordValue(value)) {
    refuse(
        findings, positionOf(node.source()),
        std::string(what) + " " + std::to_string(value) + " liegt nicht zwischen -32768 und 65535");
    return std::nullopt;
  }
  return static_cast<uint16_t>(value);
}

std::vector<WordBlock> wordBlocksOf(Findings& findings, const toml::node& node,
                                    std::string_view what) {
  const auto* table = node.as_table();
  if (table == nullptr) {
    refuse(findings, positionOf(node.source()),
           "'" + std::string(what) +
               "' muss eine Tabelle aus Adressen und Werten sein, z. B. { 100 = [1, 2] }");
    return {};
  }
  std::vector<PlacedBlock> placed;
  for (const auto& [key, value] : *table) {
    const std::optional<int32_t> address = addressOf(findings, key);
    if (!address) continue;
    PlacedBlock entry{WordBlock{*address, {}}, positionOf(key.source())};
    if (const auto* array = value.as_array()) {
      if (array->empty()) {
        refuse(findings, positionOf(value.source()),
               "leere Liste bei Adresse " + std::to_string(*address));
        continue;
      }
      for (const toml::node& element : *array) {
        if (std::optional<uint16_t> word = wordOf(findings, element, "Wert")) {
          entry.block.words.push_back(*word);
        }
      }
      if (entry.block.words.size() != array->size()) continue;
      if (!fitsInMemory(*address, array->size())) {
        refuse(findings, positionOf(value.source()),
               "Liste ab Adresse " + std::to_string(*address) + " mit " +
                   std::to_string(array->size()) + " Werten reicht über Adresse 65535 hinaus");
        continue;
      }
    } else if (std::optional<uint16_t> word = wordOf(findings, value, "Wert")) {
      entry.block.words.push_back(*word);
    } else {
      continue;
    }
    placed.push_back(std::move(entry));
  }
  std::sort(placed.begin(), placed.end(), [](const PlacedBlock& a, const PlacedBlock& b) {
    return a.block.address < b.block.address;
  });
  std::vector<WordBlock> blocks;
  int64_t coveredEnd = 0;  // one past the highest word of the blocks so far
  std::size_t coveredBy = 0;
  for (std::size_t i = 0; i < placed.size(); ++i) {
    const WordBlock& block = placed[i].block;
    if (i > 0 && block.address < coveredEnd) {
      const Position first = placed[coveredBy].at;
      const Position second = placed[i].at;
      refuse(findings,
             std::pair(second.line, second.column) > std::pair(first.line, first.column) ? second
                                                                                         : first,
             "Adresse " + std::to_string(block.address) + " ist mehrfach angegeben");
    }
    const int64_t end = block.address + static_cast<int64_t>(block.words.size());
    if (end > coveredEnd) {
      coveredEnd = end;
      coveredBy = i;
    }
    blocks.push_back(block);
  }
  return blocks;
}

void readExpect(Findings& findings, const toml::node& node, TestCase& testCase) {
  const auto* table = node.as_table();
  if (table == nullptr) {
    refuse(findings, positionOf(node.source()), "'expect' muss eine Tabelle sein");
    return;
  }
  for (const auto& [key, value] : *table) {
    const std::string_view name = key.str();
    if (name == "memory") {
      testCase.expectedMemory = wordBlocksOf(findings, value, "expect.memory");
    } else if (name == "accumulator") {
      testCase.expectedAccumulator = wordOf(findings, value, "'expect.accumulator'");
    } else if (name == "flags") {
      readFlags(findings, value, testCase);
    } else if (name == "end") {
      readEnd(findings, value, testCase);
    } else {
      refuseUnknownKey(findings, key, "memory, accumulator, flags, end");
    }
  }
}

}  // namespace akkusim
