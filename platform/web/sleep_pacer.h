#pragma once
// The 1 ms pauses of the polling loops in a browser. A browser wakes a
// timer after 4 ms at the earliest, so a loop that slept through a timer on
// every pass would run at a quarter of the desktop's pace. Instead each
// pause gives the browser one turn of its event loop (well under 1 ms) and
// counts the time it still owes; once that adds up to a timer's worth, one
// timer pays it back. The time a pass spends between its pauses (in the
// browser, handing the turn over and taking it back is part of it) counts
// as paid too, so a loop makes its passes at the pace its pauses ask for,
// about a thousand a second, as on the desktop, and the page stays
// responsive in between.

#include <cstdint>
#include <optional>

namespace akkusim {

struct SleepPacer {
  int64_t owedMicros = 0;             // asked for but not yet spent; negative when overspent
  std::optional<int64_t> lastMicros;  // when the pacer last saw the clock
};

// How the next pause is to be taken.
struct Pause {
  bool timer = false;  // a timer of `milliseconds`; otherwise one event-loop turn
  int32_t milliseconds = 0;
};

inline constexpr int64_t kTimerGranularityMicros = 4000;

// Books a pause of `milliseconds` asked for at `nowMicros` and says how to
// take it.
Pause planPause(SleepPacer& pacer, int32_t milliseconds, int64_t nowMicros);
// Books the end of the pause. Time overspent (a busy or hidden page, a long
// command) is forgiven beyond one timer's worth, so the loop never races to
// catch up.
void notePaused(SleepPacer& pacer, int64_t nowMicros);

}  // namespace akkusim
