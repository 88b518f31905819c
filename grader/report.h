#pragma once
// What `akkusim test` prints: German text for people, JSON for programs and
// CSV for a grade book. Programs appear in the order given.

#include <iosfwd>
#include <string>
#include <vector>

#include "grader/check.h"
#include "grader/test_file.h"

// One difference as the text output names it, e.g.
// "Speicher[110] erwartet -2, erhalten 8" or "Schrittgrenze 100000 erreicht".
std::string differenceText(const Difference& difference, int64_t maxSteps);

void printResultsText(std::ostream& out, const TestSuite& suite,
                      const std::vector<ProgramResult>& programs);
void printResultsJson(std::ostream& out, const TestSuite& suite,
                      const std::vector<ProgramResult>& programs);
void printResultsCsv(std::ostream& out, const TestSuite& suite,
                     const std::vector<ProgramResult>& programs);

// A CSV field: quoted when it holds a separator, a quote or a line break,
// and kept from being read as a formula by a spreadsheet.
std::string csvField(const std::string& text);
