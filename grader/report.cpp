#include "grader/report.h"

#include <algorithm>
#include <ostream>

#include "machine/run.h"
#include "program/messages.h"
#include "text/json.h"
#include "text/utf8.h"

namespace akkusim {

namespace {

// Differences named in one case's line; the JSON output has all of them.
constexpr std::size_t kDifferencesPerLine = 3;

std::string endText(RunEnd end, int64_t maxSteps) {
  if (end == RunEnd::StepLimit) return stepLimitText(maxSteps);
  return runEndText(end);
}

bool isRunError(RunEnd end) {
  return end != RunEnd::Hold && end != RunEnd::StepLimit;
}

std::string valuesText(int32_t expected, int32_t actual) {
  return " erwartet " + std::to_string(expected) + ", erhalten " + std::to_string(actual);
}

// File names come from learners; a line break in one must not forge a line,
// and a name that is no UTF-8 is shown as the JSON gives it.
std::string printable(const std::string& text) {
  std::string shown = validUtf8(text);
  for (char& c : shown) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
  }
  return shown;
}

std::string casesText(int32_t count) {
  return count == 1 ? "Fall" : "Fällen";
}

std::string whatOf(const Difference& d) {
  switch (d.kind) {
    case DifferenceKind::End:
      return "end";
    case DifferenceKind::Memory:
      return "memory[" + std::to_string(d.address) + "]";
    case DifferenceKind::Accumulator:
      return "accumulator";
    case DifferenceKind::Flag:
      return std::string("flags.") + d.flag;
  }
  return "";
}

void printDifferenceJson(std::ostream& out, const Difference& d) {
  out << "{\"what\":" << jsonString(whatOf(d)) << ",\"expected\":";
  if (d.kind == DifferenceKind::End) {
    out << jsonString(runEndName(d.expectedEnd))
        << ",\"actual\":" << jsonString(runEndName(d.actualEnd));
  } else {
    out << d.expected << ",\"actual\":" << d.actual;
  }
  out << '}';
}

void printProgramJson(std::ostream& out, const TestSuite& suite, const ProgramResult& program) {
  out << "{\"file\":" << jsonString(program.file);
  if (!program.learner.empty()) out << ",\"learner\":" << jsonString(program.learner);
  out << ",\"passed\":" << program.passed << ",\"total\":" << suite.cases.size();
  if (program.error) out << ",\"error\":" << jsonString(*program.error);
  if (program.incomplete) out << ",\"warning\":" << jsonString(joinLines(loadWarningLines(), " "));
  out << ",\"cases\":[";
  for (std::size_t i = 0; i < suite.cases.size(); ++i) {
    const CaseResult& c = program.cases[i];
    if (i != 0) out << ',';
    out << "{\"name\":" << jsonString(suite.cases[i].name)
        << ",\"passed\":" << (c.passed ? "true" : "false");
    if (!program.error) {
      out << ",\"end\":" << jsonString(runEndName(c.end)) << ",\"steps\":" << c.steps;
      if (isRunError(c.end)) out << ",\"instructionAddress\":" << c.instructionAddress;
    }
    out << ",\"differences\":[";
    for (std::size_t k = 0; k < c.differences.size(); ++k) {
      if (k != 0) out << ',';
      printDifferenceJson(out, c.differences[k]);
    }
    out << "]}";
  }
  out << "]}";
}

void reportProgramText(std::ostream& out, const TestSuite& suite, const ProgramResult& program) {
  const auto total = static_cast<int32_t>(suite.cases.size());
  if (!program.learner.empty()) out << printable(program.learner) << " (";
  out << printable(program.file) << (program.learner.empty() ? ": " : "): ") << program.passed
      << " von " << total << ' ' << casesText(total) << " bestanden\n";
  if (program.error) {
    out << "  " << printable(*program.error) << '\n';
    return;
  }
  if (program.incomplete) out << "  " << joinLines(loadWarningLines(), " ") << '\n';
  for (std::size_t i = 0; i < program.cases.size(); ++i) {
    const CaseResult& c = program.cases[i];
    if (c.passed) continue;
    out << "  Fall '" << printable(suite.cases[i].name) << "': ";
    const std::size_t shown = std::min(c.differences.size(), kDifferencesPerLine);
    for (std::size_t k = 0; k < shown; ++k) {
      if (k != 0) out << "; ";
      out << differenceText(c.differences[k], suite.maxSteps);
    }
    const std::size_t more = c.differences.size() - shown;
    if (more == 1) out << "; 1 weitere Abweichung";
    if (more > 1) out << "; " << more << " weitere Abweichungen";
    out << '\n';
  }
}

void reportProgramCsv(std::ostream& out, const TestSuite& suite, const ProgramResult& program) {
  out << csvField(program.learner) << ',' << csvField(program.file) << ',' << program.passed << ','
      << suite.cases.size();
  for (const CaseResult& c : program.cases) out << ',' << (c.passed ? '1' : '0');
  out << '\n';
}

}  // namespace

std::string differenceText(const Difference& d, int64_t maxSteps) {
  switch (d.kind) {
    case DifferenceKind::End: {
      std::string text = endText(d.actualEnd, maxSteps);
      // As `run` shows the counter: the instruction that failed.
      if (isRunError(d.actualEnd) && d.address != kNoInstruction) {
        text += " bei Adresse " + std::to_string(d.address);
      }
      if (d.expectedEnd != RunEnd::Hold) text += ", erwartet: " + endText(d.expectedEnd, maxSteps);
      return text;
    }
    case DifferenceKind::Memory:
      return "Speicher[" + std::to_string(d.address) + "]" + valuesText(d.expected, d.actual);
    case DifferenceKind::Accumulator:
      return "Akkumulator" + valuesText(d.expected, d.actual);
    case DifferenceKind::Flag:
      return std::string("Flag ") + d.flag + valuesText(d.expected, d.actual);
  }
  return "";
}

std::string skippedLine(const std::string& file) {
  return "\xC3\x9C"
         "bersprungen (kein Programm): " +
         printable(file);
}

std::string csvField(const std::string& text) {
  std::string field = validUtf8(text);
  // A leading =, +, -, @ or control character would start a formula.
  if (!field.empty() && (field[0] == '=' || field[0] == '+' || field[0] == '-' || field[0] == '@' ||
                         field[0] == '\t' || field[0] == '\r')) {
    field.insert(0, 1, '\'');
  }
  if (field.find_first_of(",\"\r\n") == std::string::npos) return field;
  std::string quoted = "\"";
  for (char c : field) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + '"';
}

void beginReport(std::ostream& out, ReportWriter& writer, const TestSuite& suite) {
  writer.programs = 0;
  writer.passedCases = 0;
  writer.passedPrograms = 0;
  switch (writer.format) {
    case ReportFormat::Text:
      if (!suite.title.empty()) out << printable(suite.title) << '\n';
      break;
    case ReportFormat::Json:
      out << "{\"title\":" << jsonString(suite.title) << ",\"programs\":[";
      break;
    case ReportFormat::Csv:
      out << "learner,file,passed,total";
      for (const TestCase& testCase : suite.cases) out << ',' << csvField(testCase.name);
      out << '\n';
      break;
  }
}

void reportProgram(std::ostream& out, ReportWriter& writer, const TestSuite& suite,
                   const ProgramResult& program) {
  switch (writer.format) {
    case ReportFormat::Text:
      reportProgramText(out, suite, program);
      break;
    case ReportFormat::Json:
      if (writer.programs != 0) out << ',';
      printProgramJson(out, suite, program);
      break;
    case ReportFormat::Csv:
      reportProgramCsv(out, suite, program);
      break;
  }
  ++writer.programs;
  writer.passedCases += program.passed;
  writer.passedPrograms += program.passed == static_cast<int32_t>(suite.cases.size()) ? 1 : 0;
}

void endReport(std::ostream& out, const ReportWriter& writer, const TestSuite& suite) {
  switch (writer.format) {
    case ReportFormat::Text: {
      for (const std::string& file : writer.skipped) out << skippedLine(file) << '\n';
      const int64_t allCases = static_cast<int64_t>(suite.cases.size()) * writer.programs;
      out << "Gesamt: " << writer.passedCases << " von " << allCases << ' '
          << (allCases == 1 ? "Fall" : "Fällen")
          << " bestanden; vollständig bestanden: " << writer.passedPrograms << " von "
          << writer.programs << (writer.programs == 1 ? " Programm" : " Programmen") << '\n';
      break;
    }
    case ReportFormat::Json:
      out << ']';
      if (!writer.skipped.empty()) {
        out << ",\"skipped\":[";
        for (std::size_t i = 0; i < writer.skipped.size(); ++i) {
          out << (i == 0 ? "" : ",") << jsonString(writer.skipped[i]);
        }
        out << ']';
      }
      out << "}\n";
      break;
    case ReportFormat::Csv:
      break;
  }
}

void printReport(std::ostream& out, ReportFormat format, const TestSuite& suite,
                 const std::vector<ProgramResult>& programs) {
  ReportWriter writer;
  writer.format = format;
  beginReport(out, writer, suite);
  for (const ProgramResult& program : programs) reportProgram(out, writer, suite, program);
  endReport(out, writer, suite);
}

}  // namespace akkusim
