// The real window under a display (for example xvfb-run): the cost of a
// full present, and how fast a polling loop runs while the picture changes
// on every pass (a box in a new colour; the memory view redrawn whole with a
// moving touched word; the same view updated word by word as a run does),
// compared with a bare loop of the same 1 ms pauses, all in one run. The
// *_draw_us counters are the drawing's own time per pass, *_send_us the
// window thread's per frame shown.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <string>

#include "gfx/screen.h"
#include "machine/machine_state.h"
#include "platform/sdl/sdl_platform.h"
#include "ui/memory_view_tracker.h"
#include "ui/register_panel.h"

using namespace akkusim;

namespace {

struct Window {
  std::unique_ptr<Platform> platform;
  std::unique_ptr<Screen> screen;
  std::string error;
};

Window& window() {
  static Window w = [] {
    Window made;
    Result<std::unique_ptr<Platform>> platform = makeSdlPlatform(1);
    if (!platform) {
      made.error = platform.reason();
      return made;
    }
    made.platform = std::move(*platform);
    made.screen = std::make_unique<Screen>(*made.platform);
    const Status opened = openScreen(*made.screen, kScreenWidth, kScreenHeight);
    if (!opened) {
      made.error = opened.reason();
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

// What one polling pass draws besides reading the mouse and the keyboard.
enum class PassWork {
  None,        // the bare loop: only the 1 ms pause
  Box,         // a 201 x 101 box in a new colour on every pass
  MemoryView,  // the whole memory view redrawn: only the red touched word moves
  RunView,     // the memory view as the run loop updates it: only changed words repainted
};

struct LoopResult {
  double passesPerSecond = 0;
  double workMicrosPerPass = 0;  // the drawing's own time, pause and polling excluded
};

LoopResult runLoop(Screen& screen, PassWork work, double seconds) {
  using Clock = std::chrono::steady_clock;
  static const auto machine = [] {
    auto made = std::make_unique<MachineState>();
    resetMachine(*made);
    return made;
  }();
  const auto end = Clock::now() + std::chrono::duration<double>(seconds);
  const auto start = Clock::now();
  Clock::duration working{};
  int64_t passes = 0;
  uint32_t colour = 0;
  MemoryViewShadow shadow;
  while (Clock::now() < end) {
    if (work != PassWork::None) {
      benchmark::DoNotOptimize(readMouse(screen));
      benchmark::DoNotOptimize(readKey(screen));
    }
    const auto workStart = Clock::now();
    switch (work) {
      case PassWork::None:
        break;
      case PassWork::Box:
        fillBox(screen.window, 500, 300, 700, 400, colour++);
        break;
      case PassWork::MemoryView:
        drawMemoryView(screen, MemoryView{}, *machine, static_cast<Address>(passes % 780));
        break;
      case PassWork::RunView:
        updateMemoryView(screen, MemoryView{}, *machine, static_cast<Address>(passes % 780),
                         shadow);
        break;
    }
    working += Clock::now() - workStart;
    if (work == PassWork::None) {
      screen.platform->sleepMs(1);
    } else {
      sleepMs(screen, 1);
    }
    ++passes;
  }
  const double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
  return {static_cast<double>(passes) / elapsed,
          std::chrono::duration<double, std::micro>(working).count() / static_cast<double>(passes)};
}

// Both kinds of polling loop against the bare loop, all in one run (the bare
// loop before and after, averaged, as the machine's speed drifts).
void BM_WindowPollingLoop(benchmark::State& state) {
  Window& w = window();
  if (!w.screen) {
    state.SkipWithError(("no window: " + w.error).c_str());
    return;
  }
  for (auto _ : state) {
    const double bareBefore = runLoop(*w.screen, PassWork::None, 2.0).passesPerSecond;
    const auto measure = [&](PassWork work, const std::string& name) {
      const SdlPresentStats start = sdlPresentStats(*w.platform);
      const LoopResult result = runLoop(*w.screen, work, 2.0);
      const SdlPresentStats end = sdlPresentStats(*w.platform);
      const auto frames = static_cast<double>(end.frames - start.frames);
      state.counters[name + "_per_s"] = result.passesPerSecond;
      state.counters[name + "_frames"] = frames;
      state.counters[name + "_send_us"] =
          static_cast<double>(end.micros - start.micros) / std::max(1.0, frames);
      state.counters[name + "_draw_us"] = result.workMicrosPerPass;
    };
    measure(PassWork::Box, "box");
    measure(PassWork::MemoryView, "view");
    measure(PassWork::RunView, "run");
    const double bareAfter = runLoop(*w.screen, PassWork::None, 2.0).passesPerSecond;
    const double bare = (bareBefore + bareAfter) / 2;
    state.counters["bare_per_s"] = bare;
    for (const char* name : {"box", "view", "run"}) {
      state.counters[std::string(name) + "_ratio"] =
          state.counters[std::string(name) + "_per_s"] / bare;
    }
  }
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
