#include <gtest/gtest.h>

#include "platform/web/sleep_pacer.h"

namespace {

// Passes of a polling loop, each sleeping 1 ms: an event-loop turn takes
// `turnMicros`, a timer of n ms takes n ms plus `timerLateMicros`.
struct PacedRun {
  int32_t passes = 0;
  int32_t timers = 0;
  int64_t micros = 0;
};

PacedRun pace(int32_t passes, int64_t turnMicros, int64_t timerLateMicros) {
  SleepPacer pacer;
  PacedRun run;
  for (int32_t i = 0; i < passes; ++i) {
    const Pause pause = planPause(pacer, 1);
    const int64_t took = pause.timer ? pause.milliseconds * 1000 + timerLateMicros : turnMicros;
    run.timers += pause.timer ? 1 : 0;
    run.micros += took;
    notePaused(pacer, took);
  }
  run.passes = passes;
  return run;
}

TEST(SleepPacer, PausesAverageWhatWasAskedForWithOneTimerInFourOrFive) {
  for (const int64_t late : {0, 300, 1000}) {
    const PacedRun run = pace(10000, 30, late);
    const double microsPerPass = static_cast<double>(run.micros) / run.passes;
    EXPECT_NEAR(microsPerPass, 1000, 25) << "timers late by " << late;
    EXPECT_GE(run.timers, run.passes / 6);
    EXPECT_LE(run.timers, run.passes / 4);
  }
}

TEST(SleepPacer, ALongStallIsNotMadeUpByRacing) {
  SleepPacer pacer;
  planPause(pacer, 1);
  notePaused(pacer, 5'000'000);  // a hidden page's timer
  int32_t turnsBeforeTimer = 0;
  while (!planPause(pacer, 1).timer) {
    notePaused(pacer, 10);
    ++turnsBeforeTimer;
  }
  EXPECT_LE(turnsBeforeTimer, 10);
}

TEST(SleepPacer, LongerPausesTakeATimerOfTheirLength) {
  SleepPacer pacer;
  const Pause pause = planPause(pacer, 20);
  EXPECT_TRUE(pause.timer);
  EXPECT_EQ(pause.milliseconds, 20);
  notePaused(pacer, 20'000);
  EXPECT_FALSE(planPause(pacer, 0).timer);
}

}  // namespace
