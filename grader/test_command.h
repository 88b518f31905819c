#pragma once
// `akkusim test TESTDATEI PROGRAMM... [--json | --csv] [--learner]`: checks programs
// against a teacher's test file.

#include <cstddef>
#include <iosfwd>
#include <vector>

#include "files/program_folder.h"
#include "grader/report.h"
#include "grader/test_file.h"

namespace akkusim {

inline constexpr int kTestExitAllPassed = 0;
inline constexpr int kTestExitUsage = 1;
inline constexpr int kTestExitInvalidTestFile = 2;
inline constexpr int kTestExitSomeFailed = 5;

// Checks the programs and reports each, in the order of `files`, writing
// the progress line to `progressOut` when it is not null.
using CheckAndReport = void (*)(const TestSuite& suite, const std::vector<ProgramArgument>& files,
                                std::istream& in, std::ostream& out, ReportWriter& writer,
                                std::ostream* progressOut);

// One program after the other, for a front end with a single thread (the
// page); the command line's own way is checkOnAllCores.
void checkInOrder(const TestSuite& suite, const std::vector<ProgramArgument>& files,
                  std::istream& in, std::ostream& out, ReportWriter& writer,
                  std::ostream* progressOut);
void checkOnAllCores(const TestSuite& suite, const std::vector<ProgramArgument>& files,
                     std::istream& in, std::ostream& out, ReportWriter& writer,
                     std::ostream* progressOut);

// "geprüft: 3 von 40", rewriting itself with a carriage return.
void writeProgress(std::ostream* progressOut, std::size_t done, std::size_t total);

// argv[1] is "test". `showProgress` allows the progress line on `err` (for a
// terminal only: it rewrites itself with carriage returns).
int runTestCommandWith(int argc, const char* const* argv, std::istream& in, std::ostream& out,
                       std::ostream& err, bool showProgress, CheckAndReport checkAndReport);
// The same on all cores.
int runTestCommand(int argc, const char* const* argv, std::istream& in, std::ostream& out,
                   std::ostream& err, bool showProgress);

}  // namespace akkusim
