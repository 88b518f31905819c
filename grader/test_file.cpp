#include "grader/test_file.h"

#include <algorithm>
#include <set>
#include <utility>

#include "grader/toml_guard.h"
#include "grader/toml_reason.h"

// Errors come back as values, never as exceptions; this file is the only one
// that sees the TOML library.
#define TOML_EXCEPTIONS 0
#include <toml++/toml.h>

namespace {

struct Position {
  int32_t line = 1;
  int32_t column = 1;
};

Position positionOf(const toml::source_region& region) {
  return Position{std::max<int32_t>(1, static_cast<int32_t>(region.begin.line)),
                  std::max<int32_t>(1, static_cast<int32_t>(region.begin.column))};
}

// Keeps only the earliest refusal, so that the teacher is sent to the first
// place that needs fixing whatever order the tables are walked in.
struct Findings {
  std::optional<TestFileError> earliest;
};

void refuse(Findings& findings, Position at, std::string reason) {
  const TestFileError error{at.line, at.column, std::move(reason)};
  if (!findings.earliest || std::pair(at.line, at.column) < std::pair(findings.earliest->line,
                                                                      findings.earliest->column)) {
    findings.earliest = error;
  }
}

void refuseUnknownKey(Findings& findings, const toml::key& key, std::string_view allowed) {
  refuse(findings, positionOf(key.source()),
         "unbekannter Schlüssel '" + std::string(key.str()) + "' (erlaubt: " +
             std::string(allowed) + ")");
}

const std::string kValueRule = "eine ganze Zahl von -32768 bis 65535";

std::optional<uint16_t> wordOf(Findings& findings, const toml::node& node, std::string_view what) {
  const auto* integer = node.as_integer();
  if (integer == nullptr) {
    refuse(findings, positionOf(node.source()), std::string(what) + " muss " + kValueRule + " sein");
    return std::nullopt;
  }
  const int64_t value = integer->get();
  if (!isWordValue(value)) {
    refuse(findings, positionOf(node.source()),
           std::string(what) + " " + std::to_string(value) + " liegt nicht zwischen -32768 und 65535");
    return std::nullopt;
  }
  return static_cast<uint16_t>(value);
}

std::optional<int32_t> addressOf(Findings& findings, const toml::key& key) {
  const std::string_view text = key.str();
  const bool digitsOnly = !text.empty() && text.size() <= 5 &&
                          std::all_of(text.begin(), text.end(), [](char c) {
                            return c >= '0' && c <= '9';
                          });
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

// `{ 100 = [1, 2], 110 = 5 }`: blocks of consecutive words, none overlapping
// another (a word given twice would make one of the two values a lie).
std::vector<WordBlock> wordBlocksOf(Findings& findings, const toml::node& node,
                                    std::string_view what) {
  const auto* table = node.as_table();
  if (table == nullptr) {
    refuse(findings, positionOf(node.source()),
           "'" + std::string(what) + "' muss eine Tabelle aus Adressen und Werten sein, z. B. { 100 = [1, 2] }");
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

void readFlags(Findings& findings, const toml::node& node, TestCase& testCase) {
  const auto* table = node.as_table();
  if (table == nullptr) {
    refuse(findings, positionOf(node.source()),
           "'flags' muss eine Tabelle sein, z. B. { Z = 0, N = 1 }");
    return;
  }
  for (const auto& [key, value] : *table) {
    const auto* found = std::find(kFlagNames.begin(), kFlagNames.end(),
                                  key.str().size() == 1 ? key.str()[0] : '\0');
    if (found == kFlagNames.end()) {
      refuseUnknownKey(findings, key, "C, V, Z, N");
      continue;
    }
    const auto* integer = value.as_integer();
    const auto* boolean = value.as_boolean();
    const int64_t bit = integer != nullptr ? integer->get() : boolean != nullptr ? boolean->get() : -1;
    if (bit != 0 && bit != 1) {
      refuse(findings, positionOf(value.source()),
             "Flag " + std::string(key.str()) + " muss 0 oder 1 sein");
      continue;
    }
    testCase.expectedFlags[static_cast<std::size_t>(found - kFlagNames.begin())] =
        static_cast<uint8_t>(bit);
  }
}

constexpr RunEnd kEnds[] = {RunEnd::Hold,          RunEnd::MemoryOverflow, RunEnd::BadShift,
                            RunEnd::UnknownInstruction, RunEnd::DivisionByZero, RunEnd::StepLimit};

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

TestCase caseOf(Findings& findings, const toml::table& table, std::set<std::string>& names) {
  TestCase testCase;
  for (const auto& [key, value] : table) {
    const std::string_view name = key.str();
    if (name == "name") {
      const auto* text = value.as_string();
      if (text == nullptr || text->get().empty()) {
        refuse(findings, positionOf(value.source()), "'name' muss ein nicht leerer Text sein");
        continue;
      }
      testCase.name = text->get();
      if (!names.insert(testCase.name).second) {
        refuse(findings, positionOf(value.source()),
               "Fall '" + testCase.name + "' gibt es schon: jeder Fall braucht einen eigenen Namen");
      }
    } else if (name == "memory") {
      testCase.memory = wordBlocksOf(findings, value, "memory");
    } else if (name == "accumulator") {
      testCase.accumulator = wordOf(findings, value, "'accumulator'");
    } else if (name == "expect") {
      readExpect(findings, value, testCase);
    } else {
      refuseUnknownKey(findings, key, "name, memory, accumulator, expect");
    }
  }
  if (!table.contains("name")) {
    refuse(findings, positionOf(table.source()), "Fall ohne Namen: 'name' fehlt");
  }
  return testCase;
}

void readCases(Findings& findings, const toml::node& node, TestSuite& suite) {
  const auto* array = node.as_array();
  if (array == nullptr || !array->is_array_of_tables()) {
    refuse(findings, positionOf(node.source()),
           "'case' muss eine Liste von Fällen sein, jeder mit [[case]] begonnen");
    return;
  }
  if (array->size() > kMostCases) {
    refuse(findings, positionOf((*array)[kMostCases].source()),
           "mehr als " + std::to_string(kMostCases) + " Fälle");
    return;
  }
  std::set<std::string> names;
  for (const toml::node& element : *array) {
    suite.cases.push_back(caseOf(findings, *element.as_table(), names));
  }
}

}  // namespace

TestFileReading readTestFile(std::string_view text) {
  TestFileReading reading;
  if (text.size() > kMostTestFileBytes) {
    reading.error.reason = "Testdatei zu groß (mehr als 1 MiB)";
    return reading;
  }
  if (std::optional<TestFileError> unsafe = findCharacterOutsideText(text)) {
    reading.error = *unsafe;
    return reading;
  }
  toml::parse_result parsed = toml::parse(text);
  if (!parsed) {
    const Position at = positionOf(parsed.error().source());
    reading.error = TestFileError{at.line, at.column, tomlReason(parsed.error().description())};
    return reading;
  }
  const toml::table& root = parsed.table();
  Findings findings;
  TestSuite suite;
  for (const auto& [key, value] : root) {
    const std::string_view name = key.str();
    if (name == "title") {
      if (const auto* title = value.as_string()) {
        suite.title = title->get();
      } else {
        refuse(findings, positionOf(value.source()), "'title' muss ein Text sein");
      }
    } else if (name == "max_steps") {
      const auto* steps = value.as_integer();
      if (steps == nullptr || steps->get() < 1 || steps->get() > kMostCaseSteps) {
        refuse(findings, positionOf(value.source()),
               "'max_steps' muss eine ganze Zahl von 1 bis " + std::to_string(kMostCaseSteps) +
                   " sein");
      } else {
        suite.maxSteps = steps->get();
      }
    } else if (name == "case") {
      readCases(findings, value, suite);
    } else {
      refuseUnknownKey(findings, key, "title, max_steps, case");
    }
  }
  if (suite.cases.empty() && !findings.earliest) {
    refuse(findings, Position{}, "keine Fälle: mindestens ein [[case]] fehlt");
  }
  if (findings.earliest) {
    reading.error = *findings.earliest;
    return reading;
  }
  reading.suite = std::move(suite);
  return reading;
}
