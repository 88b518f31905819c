#include "cli/cli.h"
#include <ostream>
// STUB: replaced by the runner work.
bool isCliInvocation(int argc, const char* const*) { return argc > 1; }
int runCli(int, const char* const*, std::istream&, std::ostream&, std::ostream& err) {
  err << "akkusim: not yet\n";
  return 1;
}
