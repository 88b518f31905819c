#include "grader/check.h"

#include <algorithm>
#include <string_view>

#include "files/program_input.h"
#include "isa/opcode_table.h"
#include "machine/flags.h"
#include "machine/run.h"
#include "program/assemble.h"
#include "program/messages.h"
#include "text/cp437.h"

namespace akkusim {

namespace {

std::vector<Difference> differencesOf(const TestCase& testCase, const MachineState& machine,
                                      RunEnd end) {
  std::vector<Difference> found;
  if (end != testCase.expectedEnd) {
    Difference d;
    d.kind = DifferenceKind::End;
    d.address = machine.instructionAddress;
    d.expectedEnd = testCase.expectedEnd;
    d.actualEnd = end;
    found.push_back(d);
  }
  for (const WordBlock& block : testCase.expectedMemory) {
    for (std::size_t i = 0; i < block.words.size(); ++i) {
      const auto address = static_cast<std::size_t>(block.address) + i;
      const WordBits actual = bitsOf(machine.memory[address]);
      if (actual == block.words[i]) continue;
      Difference d;
      d.kind = DifferenceKind::Memory;
      d.address = static_cast<Address>(address);
      d.expected = asWord(block.words[i]);
      d.actual = asWord(actual);
      found.push_back(d);
    }
  }
  const WordBits accumulator = bitsOf(machine.accumulator);
  if (testCase.expectedAccumulator && *testCase.expectedAccumulator != accumulator) {
    Difference d;
    d.kind = DifferenceKind::Accumulator;
    d.expected = asWord(*testCase.expectedAccumulator);
    d.actual = asWord(accumulator);
    found.push_back(d);
  }
  const FlagValues flags = flagValues(machine);
  for (std::size_t i = 0; i < kFlagCount; ++i) {
    const std::optional<uint8_t>& expected = testCase.expectedFlags[i];
    if (!expected || *expected == flags[i]) continue;
    Difference d;
    d.kind = DifferenceKind::Flag;
    d.flag = kFlags[i].letter;
    d.expected = *expected;
    d.actual = flags[i];
    found.push_back(d);
  }
  return found;
}

// "Befehl MUL ist in dieser Aufgabe nicht erlaubt (Zeile 7)" for the first
// line that uses a forbidden instruction; data words are not instructions.
std::optional<std::string> forbiddenUse(const TestSuite& suite, const ProgramText& program) {
  if (suite.forbidden.empty()) return std::nullopt;
  for (std::size_t i = 0; i < program.lines.size(); ++i) {
    const ProgramLine& line = program.lines[i];
    if (wordsOf(line.kind) != 2) continue;
    const std::string_view mnemonic = mnemonicOf(line.opcode);
    if (std::find(suite.forbidden.begin(), suite.forbidden.end(), mnemonic) !=
        suite.forbidden.end()) {
      return "Befehl " + std::string(mnemonic) + " ist in dieser Aufgabe nicht erlaubt (Zeile " +
             std::to_string(i + 1) + ")";
    }
  }
  return std::nullopt;
}

// The failing line as the learner wrote it, so that a teacher need not open
// the file: ": ADDX 101", nothing for a line that is not there.
std::string lineTextOf(const ProgramText& program, int32_t line) {
  if (line < 1 || line > static_cast<int32_t>(program.lines.size())) return "";
  const std::string& text = program.lines[static_cast<std::size_t>(line - 1)].text;
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return "";
  const std::size_t last = text.find_last_not_of(' ');
  return ": " + utf8FromCp437(std::string_view(text).substr(first, last - first + 1));
}

}  // namespace

std::vector<CaseResult> checkAssembled(const TestSuite& suite, const MachineState& assembled,
                                       MachineState& scratch) {
  std::vector<CaseResult> results;
  results.reserve(suite.cases.size());
  for (const TestCase& testCase : suite.cases) {
    scratch = assembled;
    for (const WordBlock& block : testCase.memory) writeWords(scratch, block);
    if (testCase.accumulator) scratch.accumulator = asWord(*testCase.accumulator);
    // Only a suite that forbids something pays for looking at each code word.
    const GuardedSummary run =
        suite.forbiddenCodes.empty()
            ? GuardedSummary{runToEnd(scratch, stepsOf(suite, testCase)), false}
            : runToEndRefusing(scratch, stepsOf(suite, testCase), suite.forbiddenCodes.data());
    CaseResult result;
    result.end = run.summary.end;
    result.steps = run.summary.steps;
    result.instructionAddress = scratch.instructionAddress;
    if (run.refused) {
      result.forbidden = true;
      result.instructionAddress = scratch.pc;
      Difference d;
      d.kind = DifferenceKind::Forbidden;
      d.address = scratch.pc;
      d.actual = bitsOf(scratch.memory[static_cast<std::size_t>(scratch.pc)]);
      result.differences.push_back(d);
    } else {
      result.differences = differencesOf(testCase, scratch, run.summary.end);
    }
    result.passed = result.differences.empty();
    results.push_back(std::move(result));
  }
  return results;
}

ProgramResult checkProgram(const TestSuite& suite, const std::string& file,
                           std::istream& stdinStream, CheckMachines& machines) {
  ProgramResult result;
  result.file = programDisplayName(file);
  Result<LoadedProgram> loaded = readProgramInput(file, stdinStream);
  std::optional<std::string> error;
  if (!loaded) {
    error = loaded.reason();
  } else {
    result.incomplete = loaded->incomplete;
    LineMap lineMap;
    const AssembleResult assembled = assembleProgram(loaded->program, machines.assembled, lineMap);
    if (assembled.error != AssembleError::None) {
      error = joinLines(assembleErrorLines(assembled), " ") +
              lineTextOf(loaded->program, assembled.line);
    } else {
      error = forbiddenUse(suite, loaded->program);
    }
  }
  if (error) {
    result.error = std::move(error);
    result.cases.resize(suite.cases.size());
    return result;
  }
  result.cases = checkAssembled(suite, machines.assembled, machines.run);
  for (std::size_t i = 0; i < result.cases.size(); ++i) {
    if (!result.cases[i].passed) continue;
    result.passed += 1;
    result.points += suite.cases[i].points;
  }
  return result;
}

ProgramResult checkArgument(const TestSuite& suite, const ProgramArgument& argument,
                            std::istream& stdinStream, CheckMachines& machines) {
  ProgramResult result;
  if (argument.unreadable) {
    result.file = argument.file;
    result.error = argument.unreadable;
    result.cases.resize(suite.cases.size());
  } else {
    result = checkProgram(suite, argument.file, stdinStream, machines);
  }
  result.learner = argument.learner;
  return result;
}

}  // namespace akkusim
