// How fast the fast run (F8) goes in the real window: its steps per second
// on a nested counting loop against the headless runner's on the same
// program, measured side by side in one process, and the frames it
// presented meanwhile. The two take turns a few times and the fastest turn
// of each counts, so that other work on the machine weighs less.
// Needs a display: xvfb-run -a build/fast_run_speed

#include <algorithm>
#include <cstdio>

#include "app/fast_run_command.h"
#include "bench/window/bench_window.h"
#include "machine/run.h"
#include "program/assemble.h"

using namespace akkusim;
using namespace akkusim::bench;

int main() {
  // 2,000 rounds of an inner loop of 65,536 ADDI / CMPI / JMPNZ passes.
  BenchWindow bench;
  if (!openBenchWindow(
          bench, "fast_run_speed",
          {"LOADI 2000", "STORE k", "outer:", "LOADI 0", "inner:", "ADDI 1", "CMPI 0",
           "JMPNZ inner", "LOAD k", "SUBI 1", "STORE k", "JMPNZ outer", "HOLD", "k: WORD 0"})) {
    return 77;
  }
  Session& session = bench.session;
  MachineState& machine = *session.machine;

  constexpr int kTurns = 3;
  double headlessSeconds = 1e9;
  double fastSeconds = 1e9;
  double presentsPerSecond = 0;
  RunSummary headless;
  bool fastHold = true;
  for (int turn = 0; turn < kTurns; ++turn) {
    assembleProgram(session.program, machine, session.lineMap);
    auto start = Clock::now();
    headless = runToEnd(machine, 2'000'000'000);
    headlessSeconds = std::min(headlessSeconds, seconds(start));

    clearHistory(session.history);
    assembleProgram(session.program, machine, session.lineMap);
    const int64_t presentsBefore = bench.platform->presents;
    start = Clock::now();
    const CommandResult result =
        fastRun(*bench.screen, bench.buttons, session, bench.listing, MemoryView{});
    const double took = seconds(start);
    fastHold = fastHold && result == CommandResult::HoldReached;
    if (took < fastSeconds) {
      fastSeconds = took;
      presentsPerSecond = static_cast<double>(bench.platform->presents - presentsBefore) / took;
    }
  }

  const double steps = static_cast<double>(headless.steps);
  const double headlessRate = steps / headlessSeconds;
  const double fastRate = steps / fastSeconds;
  std::printf("headless runner: %.1f million steps/s (%.0f steps, best of %d: %.2f s, %s)\n",
              headlessRate / 1e6, steps, kTurns, headlessSeconds,
              headless.end == RunEnd::Hold ? "HOLD" : "no HOLD");
  std::printf("fast run:        %.1f million steps/s (best of %d: %.2f s, %s), ratio %.3f\n",
              fastRate / 1e6, kTurns, fastSeconds, fastHold ? "HOLD" : "no HOLD",
              fastRate / headlessRate);
  std::printf("fast run presents: %.1f per second (in the best turn)\n", presentsPerSecond);
  return 0;
}
