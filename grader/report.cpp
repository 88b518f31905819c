#include "grader/report.h"

#include <algorithm>
#include <ostream>

#include "grader/report_csv.h"
#include "isa/opcode_table.h"
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

std::string casesText(int64_t count) {
  return count == 1 ? "Fall" : "Fällen";
}

// ", 5 von 7 Punkten" when the test file gives points, else nothing: with one
// point a case the points say what the cases say.
std::string pointsText(const TestSuite& suite, int64_t points, int64_t most) {
  if (!suite.pointsGiven) return "";
  return ", " + std::to_string(points) + " von " + std::to_string(most) +
         (most == 1 ? " Punkt" : " Punkten");
}

bool detailsShown(const TestCase& testCase, ReportView view) {
  return !testCase.hidden || view == ReportView::Teacher;
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
    case DifferenceKind::Forbidden:
      return "forbidden";
  }
  return "";
}

std::string_view forbiddenMnemonic(const Difference& d) {
  return mnemonicOf(asWord(d.actual));
}

void printDifferenceJson(std::ostream& out, const Difference& d) {
  out << "{\"what\":" << jsonString(whatOf(d));
  if (d.kind == DifferenceKind::Forbidden) {
    out << ",\"address\":" << d.address << ",\"instruction\":" << jsonString(forbiddenMnemonic(d))
        << '}';
    return;
  }
  out << ",\"expected\":";
  if (d.kind == DifferenceKind::End) {
    out << jsonString(runEndName(d.expectedEnd))
        << ",\"actual\":" << jsonString(runEndName(d.actualEnd));
  } else {
    out << d.expected << ",\"actual\":" << d.actual;
  }
  out << '}';
}

void printCaseJson(std::ostream& out, const TestCase& testCase, const CaseResult& c,
                   bool programError, ReportView view) {
  out << "{\"name\":" << jsonString(testCase.name)
      << ",\"passed\":" << (c.passed ? "true" : "false") << ",\"points\":" << testCase.points;
  if (testCase.hidden) out << ",\"hidden\":true";
  if (!testCase.hint.empty()) out << ",\"hint\":" << jsonString(testCase.hint);
  if (!detailsShown(testCase, view)) {
    out << '}';
    return;
  }
  if (!programError) {
    // A run stopped before a forbidden instruction has no end of its own.
    out << ",\"end\":" << jsonString(c.forbidden ? "forbidden" : runEndName(c.end))
        << ",\"steps\":" << c.steps;
    if (c.forbidden || isRunError(c.end)) {
      out << ",\"instructionAddress\":" << c.instructionAddress;
    }
  }
  out << ",\"differences\":[";
  for (std::size_t k = 0; k < c.differences.size(); ++k) {
    if (k != 0) out << ',';
    printDifferenceJson(out, c.differences[k]);
  }
  out << "]}";
}

void printProgramJson(std::ostream& out, const TestSuite& suite, const ProgramResult& program,
                      ReportView view) {
  out << "{\"file\":" << jsonString(program.file);
  if (!program.learner.empty()) out << ",\"learner\":" << jsonString(program.learner);
  out << ",\"passed\":" << program.passed << ",\"total\":" << suite.cases.size()
      << ",\"points\":" << program.points << ",\"maxPoints\":" << maxPoints(suite);
  if (program.error) out << ",\"error\":" << jsonString(*program.error);
  if (program.incomplete) out << ",\"warning\":" << jsonString(joinLines(loadWarningLines(), " "));
  out << ",\"cases\":[";
  for (std::size_t i = 0; i < suite.cases.size(); ++i) {
    if (i != 0) out << ',';
    printCaseJson(out, suite.cases[i], program.cases[i], program.error.has_value(), view);
  }
  out << "]}";
}

void reportProgramText(std::ostream& out, const TestSuite& suite, const ProgramResult& program) {
  const auto total = static_cast<int64_t>(suite.cases.size());
  if (!program.learner.empty()) out << printable(program.learner) << " (";
  out << printable(program.file) << (program.learner.empty() ? ": " : "): ") << program.passed
      << " von " << total << ' ' << casesText(total) << " bestanden"
      << pointsText(suite, program.points, maxPoints(suite)) << '\n';
  if (program.error) {
    out << "  " << printable(*program.error) << '\n';
    return;
  }
  if (program.incomplete) out << "  " << joinLines(loadWarningLines(), " ") << '\n';
  for (std::size_t i = 0; i < program.cases.size(); ++i) {
    const CaseResult& c = program.cases[i];
    if (c.passed) continue;
    out << "  " << printable(failedCaseText(suite, i, c, ReportView::Learner)) << '\n';
    const std::string& hint = suite.cases[i].hint;
    if (!hint.empty()) out << "    Tipp: " << printable(hint) << '\n';
  }
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
    case DifferenceKind::Forbidden:
      // As the check of the source names a line, the run names the address.
      return "Befehl " + std::string(forbiddenMnemonic(d)) +
             " ist in dieser Aufgabe nicht erlaubt (Adresse " + std::to_string(d.address) + ")";
  }
  return "";
}

std::string skippedLine(const std::string& file) {
  return "\xC3\x9C"
         "bersprungen (kein Programm): " +
         printable(file);
}

std::string failedCaseText(const TestSuite& suite, std::size_t index, const CaseResult& result,
                           ReportView view) {
  const TestCase& testCase = suite.cases[index];
  std::string text = "Fall '" + testCase.name + "': ";
  if (!detailsShown(testCase, view)) return text + "nicht bestanden";
  const std::size_t shown = std::min(result.differences.size(), kDifferencesPerLine);
  for (std::size_t k = 0; k < shown; ++k) {
    if (k != 0) text += "; ";
    text += differenceText(result.differences[k], stepsOf(suite, testCase));
  }
  const std::size_t more = result.differences.size() - shown;
  if (more == 1) text += "; 1 weitere Abweichung";
  if (more > 1) text += "; " + std::to_string(more) + " weitere Abweichungen";
  return text;
}

void beginReport(std::ostream& out, ReportWriter& writer, const TestSuite& suite) {
  writer.programs = 0;
  writer.passedCases = 0;
  writer.passedPrograms = 0;
  writer.points = 0;
  switch (writer.format) {
    case ReportFormat::Text:
      if (!suite.title.empty()) out << printable(suite.title) << '\n';
      break;
    case ReportFormat::Json:
      out << "{\"title\":" << jsonString(suite.title) << ",\"programs\":[";
      break;
    case ReportFormat::Csv:
      beginCsv(out, writer, suite);
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
      printProgramJson(out, suite, program, writer.view);
      break;
    case ReportFormat::Csv:
      reportProgramCsv(out, writer, suite, program);
      break;
  }
  ++writer.programs;
  writer.passedCases += program.passed;
  writer.passedPrograms += program.passed == static_cast<int32_t>(suite.cases.size()) ? 1 : 0;
  writer.points += program.points;
}

void endReport(std::ostream& out, const ReportWriter& writer, const TestSuite& suite) {
  switch (writer.format) {
    case ReportFormat::Text: {
      for (const std::string& file : writer.skipped) out << skippedLine(file) << '\n';
      const int64_t allCases = static_cast<int64_t>(suite.cases.size()) * writer.programs;
      out << "Gesamt: " << writer.passedCases << " von " << allCases << ' ' << casesText(allCases)
          << " bestanden" << pointsText(suite, writer.points, maxPoints(suite) * writer.programs)
          << "; vollständig bestanden: " << writer.passedPrograms << " von " << writer.programs
          << (writer.programs == 1 ? " Programm" : " Programmen") << '\n';
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

void printReport(std::ostream& out, ReportWriter writer, const TestSuite& suite,
                 const std::vector<ProgramResult>& programs) {
  beginReport(out, writer, suite);
  for (const ProgramResult& program : programs) reportProgram(out, writer, suite, program);
  endReport(out, writer, suite);
}

}  // namespace akkusim
