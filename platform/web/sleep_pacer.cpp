#include "platform/web/sleep_pacer.h"

#include <algorithm>

namespace akkusim {
namespace {

void spend(SleepPacer& pacer, int64_t nowMicros) {
  if (pacer.lastMicros) pacer.owedMicros -= std::max<int64_t>(nowMicros - *pacer.lastMicros, 0);
  pacer.owedMicros = std::max(pacer.owedMicros, -kTimerGranularityMicros);
  pacer.lastMicros = nowMicros;
}

}  // namespace

Pause planPause(SleepPacer& pacer, int32_t milliseconds, int64_t nowMicros) {
  spend(pacer, nowMicros);
  if (milliseconds > 0) pacer.owedMicros += int64_t{milliseconds} * 1000;
  if (pacer.owedMicros < kTimerGranularityMicros) return Pause{};
  return Pause{true, static_cast<int32_t>(pacer.owedMicros / 1000)};
}

void notePaused(SleepPacer& pacer, int64_t nowMicros) {
  spend(pacer, nowMicros);
}

}  // namespace akkusim
