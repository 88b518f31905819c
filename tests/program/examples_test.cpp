// The example programs shipped in Programme/: each one must be a clean
// file, assemble, run to HOLD and leave the result its comments promise.

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "machine/execute.h"
#include "machine/machine_state.h"
#include "program/assemble.h"
#include "program/program_text.h"
#include "support/test_names.h"

using namespace akkusim;

namespace {

const std::filesystem::path kFolder = std::filesystem::path(AKKUSIM_SOURCE_DIR) / "Programme";

struct Example {
  std::string name;
  int16_t accumulator;
  std::map<std::string, int16_t> words;  // data label -> value at HOLD
};

const std::vector<Example>& examples() {
  static const std::vector<Example> table = {
      {"summe", 100, {{"summe", 100}}},
      {"zaehlschleife", 55, {{"summe", 55}, {"i", 11}}},
      {"multiplikation", 42, {{"produkt", 42}, {"probe", 42}, {"b", 0}}},
      {"maximum", 42, {{"max", 42}}},
      {"division", 9, {{"quot", 9}, {"rest", 2}, {"quot2", 9}, {"rest2", 2}}},
      {"fibonacci", 6765, {{"b", 6765}, {"a", 4181}}},
      {"vergleich", 1, {{"ohne", 0}, {"mit", 1}, {"borgen", 0}}},
      {"schieben", 5, {{"oben", 18}, {"unten", 52}, {"getauscht", 13330}, {"einsen", 5}}},
      {"ggt", 12, {{"a", 12}, {"b", 0}}},
      {"sprungtabelle", -7, {{"erg1", 14}, {"erg2", 49}, {"erg3", -7}}},
  };
  return table;
}

std::string readBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Splits at CR LF; every line, the last one too, must end with it.
std::vector<std::string> splitCrLf(const std::string& bytes, std::string& fault) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < bytes.size()) {
    const std::size_t end = bytes.find("\r\n", start);
    if (end == std::string::npos) {
      fault = "no CR LF after the last line";
      break;
    }
    lines.push_back(bytes.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

// Data labels and their addresses, counted as the assembler places words.
std::map<std::string, int32_t> dataAddresses(const ProgramText& program) {
  std::map<std::string, int32_t> addresses;
  int32_t counter = 0;
  for (const ProgramLine& line : program.lines) {
    switch (line.kind) {
      case LineKind::DataWord:
        addresses.emplace(line.symbol, counter);
        counter += 1;
        break;
      case LineKind::NoOperand:
      case LineKind::NumberOperand:
      case LineKind::SymbolOperand:
        counter += 2;
        break;
      case LineKind::Empty:
      case LineKind::LabelOnly:
        break;
    }
  }
  return addresses;
}

TEST(Examples, FolderHoldsExactlyTheTestedPrograms) {
  std::set<std::string> onDisk;
  for (const auto& entry : std::filesystem::directory_iterator(kFolder)) {
    onDisk.insert(entry.path().filename().string());
  }
  std::set<std::string> expected;
  for (const Example& example : examples()) expected.insert(example.name + ".txt");
  EXPECT_EQ(onDisk, expected);
  EXPECT_GE(expected.size(), 8u);
  EXPECT_LE(expected.size(), 12u);
}

class ExampleProgram : public testing::TestWithParam<Example> {};

TEST_P(ExampleProgram, IsCleanTextWithShortAsciiLines) {
  std::string fault;
  const std::vector<std::string> lines =
      splitCrLf(readBytes(kFolder / (GetParam().name + ".txt")), fault);
  EXPECT_EQ(fault, "");
  ASSERT_FALSE(lines.empty());
  for (std::size_t i = 0; i < lines.size(); ++i) {
    SCOPED_TRACE("line " + std::to_string(i + 1) + ": " + lines[i]);
    EXPECT_LE(lines[i].size(), 40u);
    for (const char c : lines[i]) {
      EXPECT_TRUE(c >= 32 && c <= 126)
          << "byte " << static_cast<int>(static_cast<unsigned char>(c));
    }
  }
}

TEST_P(ExampleProgram, RunsToHoldWithTheDocumentedResult) {
  const Example& example = GetParam();
  std::string fault;
  ProgramText program;
  program.lines.clear();
  for (const std::string& text : splitCrLf(readBytes(kFolder / (example.name + ".txt")), fault)) {
    ProgramLine line;
    line.text = text;
    program.lines.push_back(line);
  }
  ASSERT_FALSE(program.lines.empty());
  auto machine = std::make_unique<MachineState>();

  LineMap lineMap;
  const AssembleResult assembled = assembleProgram(program, *machine, lineMap);
  ASSERT_EQ(assembled.error, AssembleError::None) << "line " << assembled.line;
  for (const ProgramLine& line : program.lines) {
    EXPECT_TRUE(line.valid) << line.text;
    EXPECT_EQ(line.text.find('\t'), std::string::npos) << line.text;
  }

  const StepsRun run = runInstructions(*machine, 100000);
  ASSERT_EQ(run.lastOutcome, StepOutcome::Hold) << "after " << run.steps << " steps";

  EXPECT_EQ(machine->accumulator, example.accumulator);
  const std::map<std::string, int32_t> addresses = dataAddresses(program);
  for (const auto& [label, value] : example.words) {
    ASSERT_TRUE(addresses.contains(label)) << label;
    EXPECT_EQ(machine->memory[static_cast<std::size_t>(addresses.at(label))], value) << label;
  }
}

INSTANTIATE_TEST_SUITE_P(Shipped, ExampleProgram, testing::ValuesIn(examples()),
                         [](const testing::TestParamInfo<Example>& info) {
                           return testNameOf(info.param.name);
                         });

}  // namespace
