// Any bytes as a test file: refused with a place and a one-line reason, or
// read into cases that keep every limit; the cases then run against a short
// program and every report is written.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <set>
#include <sstream>
#include <string>

#include "grader/check.h"
#include "grader/report.h"
#include "grader/test_file.h"
#include "isa/opcode_table.h"

using namespace akkusim;

namespace {

void checkBlocks(const std::vector<WordBlock>& blocks) {
  for (const WordBlock& block : blocks) {
    if (block.words.empty() || !fitsInMemory(block.address, block.words.size())) std::abort();
  }
}

ReportWriter writerFor(ReportFormat format, ReportView view, char separator) {
  ReportWriter writer;
  writer.format = format;
  writer.view = view;
  writer.csvSeparator = separator;
  return writer;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const TestFileReading reading = readTestFile(text);
  if (!reading.suite) {
    const TestFileError& error = reading.error;
    // Only the size, which no input here reaches, is refused without a place.
    if (error.line < 1 || error.column < 1 || error.reason.empty()) std::abort();
    if (error.reason.find('\n') != std::string::npos) std::abort();
    return 0;
  }
  TestSuite suite = *reading.suite;
  if (suite.cases.empty() || suite.cases.size() > kMostCases) std::abort();
  if (suite.maxSteps < 1 || suite.maxSteps > kMostCaseSteps) std::abort();
  std::set<std::string> names;
  for (const TestCase& c : suite.cases) {
    if (c.name.empty() || !names.insert(c.name).second) std::abort();
    if (c.name.find_first_of("\r\n") != std::string::npos) std::abort();
    checkBlocks(c.memory);
    checkBlocks(c.expectedMemory);
    if (c.points < 0 || c.points > kMostCasePoints) std::abort();
    if (c.hint.find_first_of("\r\n") != std::string::npos) std::abort();
    if (c.maxSteps && (*c.maxSteps < 1 || *c.maxSteps > kMostCaseSteps)) std::abort();
  }
  for (const std::string& mnemonic : suite.forbidden) {
    const OpcodeRow* row = findMnemonic(mnemonic);
    if (row == nullptr || row->mnemonic != mnemonic) std::abort();
    if (std::count(suite.forbidden.begin(), suite.forbidden.end(), mnemonic) != 1) std::abort();
  }

  // A short run keeps the fuzzer fast; the limits themselves were checked above.
  suite.maxSteps = std::min<int64_t>(suite.maxSteps, 200);
  for (TestCase& c : suite.cases) {
    if (c.maxSteps) c.maxSteps = std::min<int64_t>(*c.maxSteps, 200);
  }
  auto machines = std::make_unique<CheckMachines>();
  machines->assembled.memory[0] = 99;  // HOLD
  ProgramResult program;
  program.file = "p.txt";
  program.cases = checkAssembled(suite, machines->assembled, machines->run);
  for (std::size_t i = 0; i < program.cases.size(); ++i) {
    const CaseResult& c = program.cases[i];
    if (c.passed != c.differences.empty() || c.steps > stepsOf(suite, suite.cases[i])) std::abort();
    program.passed += c.passed ? 1 : 0;
    program.points += c.passed ? suite.cases[i].points : 0;
  }
  if (program.points > maxPoints(suite)) std::abort();
  const std::vector<ProgramResult> programs{program};
  for (const ReportView view : {ReportView::Teacher, ReportView::Learner}) {
    std::ostringstream json;
    printReport(json, writerFor(ReportFormat::Json, view, ';'), suite, programs);
    const std::string jsonText = json.str();
    if (std::count(jsonText.begin(), jsonText.end(), '\n') != 1) std::abort();
    std::ostringstream csv;
    printReport(csv, writerFor(ReportFormat::Csv, view, ','), suite, programs);
  }
  std::ostringstream textOut;
  printReport(textOut, writerFor(ReportFormat::Text, ReportView::Teacher, ';'), suite, programs);
  return 0;
}
