#include <gtest/gtest.h>

#include "platform/web/sleep_pacer.h"

using namespace akkusim;

namespace {

// A polling loop of passes that each work `workMicros` and then sleep 1 ms:
// an event-loop turn takes `turnMicros`, a timer of n ms takes n ms plus
// `timerLateMicros`.
struct Loop {
  int64_t workMicros = 0;
  int64_t turnMicros = 30;
  int64_t timerLateMicros = 0;
};

struct Paced {
  double microsPerPass = 0;
  double timerShare = 0;
};

Paced pace(const Loop& loop, int32_t passes = 10000) {
  SleepPacer pacer;
  int64_t now = 1'000'000;
  int32_t timers = 0;
  for (int32_t i = 0; i < passes; ++i) {
    now += loop.workMicros;
    const Pause pause = planPause(pacer, 1, now);
    now += pause.timer ? pause.milliseconds * 1000 + loop.timerLateMicros : loop.turnMicros;
    timers += pause.timer ? 1 : 0;
    notePaused(pacer, now);
  }
  return {static_cast<double>(now - 1'000'000) / passes, static_cast<double>(timers) / passes};
}

TEST(SleepPacer, PassesKeepThePaceThePausesAskForWhateverTheyCost) {
  struct Case {
    Loop loop;
    double microsPerPass;
    double timerShareAtMost;
  };
  for (const Case& c : {
           Case{{0, 30, 0}, 1000, 0.25},        // an idle editor
           Case{{50, 30, 300}, 1000, 0.25},     // timers late
           Case{{500, 200, 1000}, 1000, 0.25},  // slow passes, very late timers
           Case{{1500, 30, 0}, 1530, 0.0},      // passes slower than the pace: no timers
       }) {
    const Paced paced = pace(c.loop);
    EXPECT_NEAR(paced.microsPerPass, c.microsPerPass, 20) << c.loop.workMicros;
    EXPECT_LE(paced.timerShare, c.timerShareAtMost) << c.loop.workMicros;
  }
}

TEST(SleepPacer, ALongStallIsNotMadeUpByRacing) {
  SleepPacer pacer;
  planPause(pacer, 1, 0);
  notePaused(pacer, 5'000'000);  // a hidden page's timer
  int64_t now = 5'000'000;
  int32_t turnsBeforeTimer = 0;
  while (!planPause(pacer, 1, now).timer) {
    now += 10;
    notePaused(pacer, now);
    ++turnsBeforeTimer;
  }
  EXPECT_LE(turnsBeforeTimer, 10);
}

TEST(SleepPacer, LongerPausesTakeATimerOfTheirLength) {
  SleepPacer pacer;
  const Pause pause = planPause(pacer, 20, 0);
  EXPECT_TRUE(pause.timer);
  EXPECT_EQ(pause.milliseconds, 20);
  notePaused(pacer, 20'000);
  EXPECT_FALSE(planPause(pacer, 0, 20'000).timer);
}

}  // namespace
