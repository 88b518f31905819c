#include "platform/web/sleep_pacer.h"

#include <algorithm>

Pause planPause(SleepPacer& pacer, int32_t milliseconds) {
  if (milliseconds > 0) pacer.owedMicros += int64_t{milliseconds} * 1000;
  if (pacer.owedMicros < kTimerGranularityMicros) return Pause{};
  return Pause{true, static_cast<int32_t>(pacer.owedMicros / 1000)};
}

void notePaused(SleepPacer& pacer, int64_t elapsedMicros) {
  pacer.owedMicros =
      std::max(pacer.owedMicros - std::max<int64_t>(elapsedMicros, 0), -kTimerGranularityMicros);
}
