#include "grader/report_csv.h"

#include <ostream>
#include <string_view>

#include "text/utf8.h"

namespace akkusim {

namespace {

// Rows end in CR LF as CSV files do; spreadsheets read either.
constexpr std::string_view kRowEnd = "\r\n";
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// The learner a program belongs to: the sub-folder it was found in, else its
// file's name without folder and extension ("abgaben/anna.txt" is anna).
std::string learnerOf(const ProgramResult& program) {
  if (!program.learner.empty()) return program.learner;
  std::string name = program.file;
  const std::size_t slash = name.find_last_of('/');
  if (slash != std::string::npos) name.erase(0, slash + 1);
  const std::size_t dot = name.rfind('.');
  if (dot != std::string::npos && dot != 0) name.erase(dot);
  return name;
}

// Why the program lost points: it could not be checked, or its first failed case.
std::string firstReason(const TestSuite& suite, const ProgramResult& program, ReportView view) {
  if (program.error) return *program.error;
  for (std::size_t i = 0; i < program.cases.size(); ++i) {
    if (!program.cases[i].passed) return failedCaseText(suite, i, program.cases[i], view);
  }
  return "";
}

}  // namespace

std::string csvField(const std::string& text, char separator) {
  std::string field = validUtf8(text);
  // A leading =, +, -, @ or control character would start a formula.
  if (!field.empty() && (field[0] == '=' || field[0] == '+' || field[0] == '-' || field[0] == '@' ||
                         field[0] == '\t' || field[0] == '\r')) {
    field.insert(0, 1, '\'');
  }
  if (field.find_first_of(std::string{separator, '"', '\r', '\n'}) == std::string::npos) {
    return field;
  }
  std::string quoted = "\"";
  for (char c : field) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + '"';
}

void beginCsv(std::ostream& out, const ReportWriter& writer, const TestSuite& suite) {
  const char s = writer.csvSeparator;
  out << kByteOrderMark << "Name" << s << "Datei" << s << "Punkte" << s << "Maximum" << s
      << csvField("bestandene Fälle", s);
  for (const TestCase& testCase : suite.cases) out << s << csvField(testCase.name, s);
  out << s << "Grund" << kRowEnd;
}

void reportProgramCsv(std::ostream& out, const ReportWriter& writer, const TestSuite& suite,
                      const ProgramResult& program) {
  const char s = writer.csvSeparator;
  out << csvField(learnerOf(program), s) << s << csvField(program.file, s) << s << program.points
      << s << maxPoints(suite) << s << program.passed;
  for (const CaseResult& c : program.cases) out << s << (c.passed ? '1' : '0');
  out << s << csvField(firstReason(suite, program, writer.view), s) << kRowEnd;
}

}  // namespace akkusim
