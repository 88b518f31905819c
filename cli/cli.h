#pragma once
// The headless commands of the akkusim executable: run, asm, --help,
// --version.

#include <iosfwd>

namespace akkusim {

// True when the arguments ask for a headless command rather than the window.
bool isCliInvocation(int argc, const char* const* argv);
// Runs it and returns the process exit code.
int runCli(int argc, const char* const* argv, std::istream& in, std::ostream& out,
           std::ostream& err);

}  // namespace akkusim
