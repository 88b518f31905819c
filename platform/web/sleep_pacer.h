#pragma once
// The 1 ms pauses of the polling loops in a browser. A browser wakes a
// timer after 4 ms at the earliest, so a loop that slept through a timer on
// every pass would run at a quarter of the desktop's pace. Instead each
// pause gives the browser one turn of its event loop (well under 1 ms) and
// counts the time it still owes; once that adds up to a timer's worth, one
// timer pays it back. On average a pause then lasts what was asked for,
// and the page stays responsive in between.

#include <cstdint>

struct SleepPacer {
  int64_t owedMicros = 0;  // asked for but not yet slept; negative when overslept
};

// How the next pause is to be taken.
struct Pause {
  bool timer = false;  // a timer of `milliseconds`; otherwise one event-loop turn
  int32_t milliseconds = 0;
};

inline constexpr int64_t kTimerGranularityMicros = 4000;

// Books a pause of `milliseconds` and says how to take it.
Pause planPause(SleepPacer& pacer, int32_t milliseconds);
// Books the time the pause really took. Oversleeping (a busy or hidden
// page) is forgiven beyond one timer's worth, so the loop never races to
// catch up.
void notePaused(SleepPacer& pacer, int64_t elapsedMicros);
