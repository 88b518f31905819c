// How fast Starten runs in the real window: the passes per second of the
// run loop over cleared memory (32,768 NOOP passes, then the memory-limit
// message, and a counting loop whose listing highlight moves on every pass)
// against a bare loop of 1 ms pauses measured in the same process.
// Needs a display: xvfb-run -a build/run_speed; the Windows build's under
// Wine: bench/window/wine_pace.sh.

#include <cstdio>

#include "app/run_command.h"
#include "bench/window/bench_window.h"
#include "machine/machine_state.h"
#include "program/assemble.h"

using namespace akkusim;
using namespace akkusim::bench;

namespace {

double barePassesPerSecond(Screen& screen, int32_t passes) {
  const auto start = Clock::now();
  for (int32_t i = 0; i < passes; ++i) sleepMs(screen, 1);
  return passes / seconds(start);
}

}  // namespace

int main() {
  BenchWindow bench;
  if (!openBenchWindow(bench, "run_speed",
                       {"LOADI 16384", "loop:", "SUBI 1", "JMPNZ loop", "HOLD"})) {
    return 77;
  }
  Screen& screen = *bench.screen;
  Session& session = bench.session;
  MachineState& machine = *session.machine;
  ListingView& listing = bench.listing;
  MainButtons& buttons = bench.buttons;

  barePassesPerSecond(screen, 300);  // settle the window
  const double bareBefore = barePassesPerSecond(screen, 5000);

  // Cleared memory after Assemble and Reset: lines 1 to 3 are highlighted
  // for the first passes, then 32,768 NOOP passes and the message.
  assembleProgram(session.program, machine, session.lineMap);
  resetMachine(machine);
  auto start = Clock::now();
  const bool clearedHold =
      runProgram(screen, buttons, session, listing, MemoryView{}) == CommandResult::HoldReached;
  const double clearedSeconds = seconds(start);
  const int64_t clearedPasses = 32769;
  const double bareMiddle = barePassesPerSecond(screen, 5000);

  // The counting loop: 1 + 2 * 16384 passes, then HOLD; the highlight moves
  // between two lines on every pass.
  assembleProgram(session.program, machine, session.lineMap);
  start = Clock::now();
  const bool loopHold =
      runProgram(screen, buttons, session, listing, MemoryView{}) == CommandResult::HoldReached;
  const double loopSeconds = seconds(start);
  const int64_t loopPasses = 1 + 2 * 16384 + 1;
  const double bareAfter = barePassesPerSecond(screen, 5000);

  const double bare = (bareBefore + bareMiddle + bareAfter) / 3;
  const double cleared = static_cast<double>(clearedPasses) / clearedSeconds;
  const double loop = static_cast<double>(loopPasses) / loopSeconds;
  std::printf("bare loop: %.1f passes/s (%.1f, %.1f, %.1f)\n", bare, bareBefore, bareMiddle,
              bareAfter);
  std::printf("cleared memory: %.1f passes/s (result %s, %.2f s), ratio %.3f\n", cleared,
              clearedHold ? "HOLD" : "no HOLD", clearedSeconds, cleared / bare);
  std::printf("counting loop:  %.1f passes/s (result %s, %.2f s), ratio %.3f\n", loop,
              loopHold ? "HOLD" : "no HOLD", loopSeconds, loop / bare);
  return 0;
}
