// The grader for the browser pages, a module of its own: the self-check
// and the grading page load it when they need it, so that the simulator's
// page starts as fast as without it.

#include <emscripten.h>

#include <fstream>
#include <sstream>

#include "grader/test_command.h"

// `akkusim test` with the command line's arguments (argv[1] is "test") on
// files the page wrote into the module's memory, checked one after the
// other. The report goes into the file `outPath`, the messages into
// `errPath`, for the page to read byte for byte; the command's exit code.
extern "C" EMSCRIPTEN_KEEPALIVE int akkusim_test(int argc, const char* const* argv,
                                                 const char* outPath, const char* errPath) {
  std::ofstream out(outPath, std::ios::binary | std::ios::trunc);
  std::ofstream err(errPath, std::ios::binary | std::ios::trunc);
  std::istringstream noInput;
  return akkusim::runTestCommandWith(argc, argv, noInput, out, err, false, akkusim::checkInOrder);
}
