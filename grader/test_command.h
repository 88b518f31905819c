#pragma once
// `akkusim test TESTDATEI PROGRAMM... [--json | --csv] [--learner]`: checks programs
// against a teacher's test file.

#include <iosfwd>

namespace akkusim {

inline constexpr int kTestExitAllPassed = 0;
inline constexpr int kTestExitUsage = 1;
inline constexpr int kTestExitInvalidTestFile = 2;
inline constexpr int kTestExitSomeFailed = 5;

// argv[1] is "test". `showProgress` allows the progress line on `err` (for a
// terminal only: it rewrites itself with carriage returns).
int runTestCommand(int argc, const char* const* argv, std::istream& in, std::ostream& out,
                   std::ostream& err, bool showProgress);

}  // namespace akkusim
