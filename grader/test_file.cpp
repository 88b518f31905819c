#include "grader/test_file.h"

#include <algorithm>
#include <array>
#include <optional>
#include <set>
#include <string>
#include <utility>

#include "grader/test_file_words.h"
#include "grader/toml_findings.h"
#include "grader/toml_reason.h"
#include "isa/opcode_table.h"

namespace akkusim {

namespace {

const std::string kStepsRule =
    "'max_steps' muss eine ganze Zahl von 1 bis " + std::to_string(kMostCaseSteps) + " sein";

std::optional<int64_t> stepLimitOf(Findings& findings, const toml::node& node) {
  const auto* steps = node.as_integer();
  if (steps == nullptr || steps->get() < 1 || steps->get() > kMostCaseSteps) {
    refuse(findings, positionOf(node.source()), kStepsRule);
    return std::nullopt;
  }
  return steps->get();
}

void readName(Findings& findings, const toml::node& node, TestCase& testCase,
              std::set<std::string>& names) {
  const auto* text = node.as_string();
  if (text == nullptr || text->get().empty()) {
    refuse(findings, positionOf(node.source()), "'name' muss ein nicht leerer Text sein");
    return;
  }
  // The name heads the case's report lines: a line break in it would forge others.
  if (text->get().find_first_of("\r\n") != std::string::npos) {
    refuse(findings, positionOf(node.source()), "'name' muss ein Text auf einer Zeile sein");
    return;
  }
  testCase.name = text->get();
  if (!names.insert(testCase.name).second) {
    refuse(findings, positionOf(node.source()),
           "Fall '" + testCase.name + "' gibt es schon: jeder Fall braucht einen eigenen Namen");
  }
}

// What a case is worth and how the learner sees it.
void readGrading(Findings& findings, std::string_view name, const toml::node& node,
                 TestCase& testCase) {
  if (name == "points") {
    const auto* points = node.as_integer();
    if (points == nullptr || points->get() < 0 || points->get() > kMostCasePoints) {
      refuse(
          findings, positionOf(node.source()),
          "'points' muss eine ganze Zahl von 0 bis " + std::to_string(kMostCasePoints) + " sein");
      return;
    }
    testCase.points = static_cast<int32_t>(points->get());
  } else if (name == "hidden") {
    const auto* hidden = node.as_boolean();
    if (hidden == nullptr) {
      refuse(findings, positionOf(node.source()), "'hidden' muss true oder false sein");
      return;
    }
    testCase.hidden = hidden->get();
  } else {
    // A hint is one line of the report: a line break in it would forge another.
    const auto* hint = node.as_string();
    if (hint == nullptr || hint->get().find_first_of("\r\n") != std::string::npos) {
      refuse(findings, positionOf(node.source()), "'hint' muss ein Text auf einer Zeile sein");
      return;
    }
    testCase.hint = hint->get();
  }
}

TestCase caseOf(Findings& findings, const toml::table& table, std::set<std::string>& names,
                bool& pointsGiven) {
  TestCase testCase;
  for (const auto& [key, value] : table) {
    const std::string_view name = key.str();
    if (name == "name") {
      readName(findings, value, testCase, names);
    } else if (name == "memory") {
      testCase.memory = wordBlocksOf(findings, value, "memory");
    } else if (name == "accumulator") {
      testCase.accumulator = wordOf(findings, value, "'accumulator'");
    } else if (name == "expect") {
      readExpect(findings, value, testCase);
    } else if (name == "points" || name == "hidden" || name == "hint") {
      readGrading(findings, name, value, testCase);
      pointsGiven = pointsGiven || name == "points";
    } else if (name == "max_steps") {
      testCase.maxSteps = stepLimitOf(findings, value);
    } else {
      refuseUnknownKey(findings, key,
                       "name, memory, accumulator, expect, points, hidden, hint, max_steps");
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
    suite.cases.push_back(caseOf(findings, *element.as_table(), names, suite.pointsGiven));
  }
}

const std::string kForbidRule =
    "'forbid' muss eine Liste von Befehlen sein, z. B. [\"MUL\", \"MULI\"]";

// `forbid = ["MUL", "muli"]`: kept as the instruction table spells them, each once.
void readForbidden(Findings& findings, const toml::node& node, TestSuite& suite) {
  const auto* array = node.as_array();
  if (array == nullptr) {
    refuse(findings, positionOf(node.source()), kForbidRule);
    return;
  }
  for (const toml::node& element : *array) {
    const auto* text = element.as_string();
    if (text == nullptr) {
      refuse(findings, positionOf(element.source()), kForbidRule);
      continue;
    }
    const OpcodeRow* row = findMnemonic(text->get());
    if (row == nullptr) {
      refuse(findings, positionOf(element.source()),
             "unbekannter Befehl '" + text->get() + "' in 'forbid'");
      continue;
    }
    const std::string mnemonic(row->mnemonic);
    if (std::find(suite.forbidden.begin(), suite.forbidden.end(), mnemonic) ==
        suite.forbidden.end()) {
      suite.forbidden.push_back(mnemonic);
    }
  }
}

std::vector<uint8_t> forbiddenCodesOf(const std::vector<std::string>& forbidden) {
  if (forbidden.empty()) return {};
  static_assert(static_cast<std::size_t>(Op::Unknown) == kOpcodeCount);
  std::array<uint8_t, kOpcodeCount + 1> byOp{};  // Op::Unknown last, never forbidden
  for (const OpcodeRow& row : kOpcodeRows) {
    if (std::find(forbidden.begin(), forbidden.end(), row.mnemonic) != forbidden.end()) {
      byOp[static_cast<std::size_t>(row.op)] = 1;
    }
  }
  // Every word the executor decodes to a forbidden operation.
  std::vector<uint8_t> codes(kMemoryWords, 0);
  for (std::size_t word = 0; word < codes.size(); ++word) {
    codes[word] = byOp[static_cast<std::size_t>(decodeOp(static_cast<WordBits>(word)))];
  }
  return codes;
}

}  // namespace

int64_t stepsOf(const TestSuite& suite, const TestCase& testCase) {
  return testCase.maxSteps.value_or(suite.maxSteps);
}

int64_t maxPoints(const TestSuite& suite) {
  int64_t points = 0;
  for (const TestCase& testCase : suite.cases) points += testCase.points;
  return points;
}

TestFileReading readTestFile(std::string_view text) {
  TestFileReading reading;
  if (text.size() > kMostTestFileBytes) {
    reading.error = TestFileError{0, 0, "Testdatei zu groß (mehr als 1 MiB)"};
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
      suite.maxSteps = stepLimitOf(findings, value).value_or(suite.maxSteps);
    } else if (name == "forbid") {
      readForbidden(findings, value, suite);
    } else if (name == "case") {
      readCases(findings, value, suite);
    } else {
      refuseUnknownKey(findings, key, "title, max_steps, forbid, case");
    }
  }
  if (suite.cases.empty() && !findings.earliest) {
    refuse(findings, Position{}, "keine Fälle: mindestens ein [[case]] fehlt");
  }
  if (findings.earliest) {
    reading.error = *findings.earliest;
    return reading;
  }
  suite.forbiddenCodes = forbiddenCodesOf(suite.forbidden);
  reading.suite = std::move(suite);
  return reading;
}

}  // namespace akkusim
