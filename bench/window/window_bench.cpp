// The real window under a display (for example xvfb-run): the cost of a
// full present, and how fast a polling loop runs while the picture changes
// on every pass, compared with a bare loop of the same 1 ms pauses.

#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <string>

#include "ui/screen.h"
#include "ui/sdl_platform.h"

namespace {

struct Window {
  std::unique_ptr<Platform> platform;
  std::unique_ptr<Screen> screen;
  std::string error;
};

Window& window() {
  static Window w = [] {
    Window made;
    made.platform = makeSdlPlatform(1, made.error);
    if (!made.platform) return made;
    made.screen = std::make_unique<Screen>(*made.platform);
    if (!openScreen(*made.screen, kScreenWidth, kScreenHeight, 32, made.error)) {
      made.screen.reset();
    }
    return made;
  }();
  return w;
}

void BM_WindowFullPresent(benchmark::State& state) {
  Window& w = window();
  if (!w.screen) {
    state.SkipWithError(("no window: " + w.error).c_str());
    return;
  }
  uint32_t colour = 0;
  for (auto _ : state) {
    fillBox(w.screen->window, 0, 0, kScreenWidth - 1, kScreenHeight - 1, colour += 0x010203);
    const SdlPresentStats before = sdlPresentStats(*w.platform);
    w.platform->present(w.screen->window);
    SdlPresentStats after = before;
    while (after.frames == before.frames) {
      w.platform->sleepMs(1);
      after = sdlPresentStats(*w.platform);
    }
    state.SetIterationTime(static_cast<double>(after.micros - before.micros) / 1e6 /
                           static_cast<double>(after.frames - before.frames));
  }
}
BENCHMARK(BM_WindowFullPresent)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(100);

double passesPerSecond(Screen& screen, bool poll, double seconds) {
  using Clock = std::chrono::steady_clock;
  const auto end = Clock::now() + std::chrono::duration<double>(seconds);
  const auto start = Clock::now();
  int64_t passes = 0;
  uint32_t colour = 0;
  while (Clock::now() < end) {
    if (poll) {
      benchmark::DoNotOptimize(readMouse(screen));
      benchmark::DoNotOptimize(readKey(screen));
      fillBox(screen.window, 500, 300, 700, 400, colour++);
      sleepMs(screen, 1);
    } else {
      screen.platform->sleepMs(1);
    }
    ++passes;
  }
  return static_cast<double>(passes) / std::chrono::duration<double>(Clock::now() - start).count();
}

void BM_WindowPollingLoop(benchmark::State& state) {
  Window& w = window();
  if (!w.screen) {
    state.SkipWithError(("no window: " + w.error).c_str());
    return;
  }
  double bare = 0;
  double polling = 0;
  for (auto _ : state) {
    bare = passesPerSecond(*w.screen, false, 2.0);
    const SdlPresentStats before = sdlPresentStats(*w.platform);
    polling = passesPerSecond(*w.screen, true, 2.0);
    const SdlPresentStats after = sdlPresentStats(*w.platform);
    state.counters["frames_shown"] = static_cast<double>(after.frames - before.frames);
  }
  state.counters["bare_per_s"] = bare;
  state.counters["polling_per_s"] = polling;
  state.counters["ratio"] = polling / bare;
}
BENCHMARK(BM_WindowPollingLoop)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace

namespace {

// The polling thread's share of a present: handing the frame over.
void BM_WindowHandOver(benchmark::State& state) {
  Window& w = window();
  if (!w.screen) {
    state.SkipWithError(("no window: " + w.error).c_str());
    return;
  }
  for (auto _ : state) w.platform->present(w.screen->window);
}
BENCHMARK(BM_WindowHandOver)->Unit(benchmark::kMicrosecond);

}  // namespace
