#pragma once
// The grade book: one row per learner for a spreadsheet, with a UTF-8 byte
// order mark so that German spreadsheet programs read the umlauts right.

#include <iosfwd>
#include <string>

#include "grader/check.h"
#include "grader/report.h"
#include "grader/test_file.h"

namespace akkusim {

// A CSV field: quoted when it holds the separator, a quote or a line break,
// and kept from being read as a formula by a spreadsheet.
std::string csvField(const std::string& text, char separator);

void beginCsv(std::ostream& out, const ReportWriter& writer, const TestSuite& suite);
void reportProgramCsv(std::ostream& out, const ReportWriter& writer, const TestSuite& suite,
                      const ProgramResult& program);

}  // namespace akkusim
