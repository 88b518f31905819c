#pragma once
// What `akkusim test` prints: German text for people, JSON for programs and
// CSV for a grade book. Programs appear in the order given.

#include <cstddef>
#include <iosfwd>
#include <string>
#include <vector>

#include "grader/check.h"
#include "grader/test_file.h"

namespace akkusim {

// One difference as the text output names it, e.g.
// "Speicher[110] erwartet -2, erhalten 8" or "Schrittgrenze 100000 erreicht".
std::string differenceText(const Difference& difference, int64_t maxSteps);

enum class ReportFormat { Text, Json, Csv };

// The learner's view keeps the words and differences of hidden cases to
// itself; the text report always shows it, JSON and CSV only when asked.
enum class ReportView { Teacher, Learner };

// Written one program at a time, in order, so that no report of a large
// folder has to be held whole.
struct ReportWriter {
  ReportFormat format = ReportFormat::Text;
  ReportView view = ReportView::Teacher;
  char csvSeparator = ';';
  int64_t programs = 0;
  int64_t passedCases = 0;
  int64_t passedPrograms = 0;
  int64_t points = 0;
  std::vector<std::string> skipped;  // files of the folders that are no programs
};

void beginReport(std::ostream& out, ReportWriter& writer, const TestSuite& suite);
void reportProgram(std::ostream& out, ReportWriter& writer, const TestSuite& suite,
                   const ProgramResult& program);
void endReport(std::ostream& out, const ReportWriter& writer, const TestSuite& suite);

// "Übersprungen (kein Programm): FILE", as the text report lists it.
std::string skippedLine(const std::string& file);

// The whole report at once.
void printReport(std::ostream& out, ReportWriter writer, const TestSuite& suite,
                 const std::vector<ProgramResult>& programs);

// "Fall 'negativ': Speicher[102] erwartet -5, erhalten 4" for a failed case,
// or "Fall 'geheim': nicht bestanden" for a hidden one in the learner's view.
std::string failedCaseText(const TestSuite& suite, std::size_t index, const CaseResult& result,
                           ReportView view);

}  // namespace akkusim
