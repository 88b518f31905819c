// One step back against one Schritt, each with the redraw the main window
// does after it (the executed line, the register panel and memory view),
// on a scripted window: taking a step back must cost no more than making
// one.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "app/learner_aids.h"
#include "app/session.h"
#include "app/step_command.h"
#include "gfx/screen.h"
#include "platform/headless/headless_platform.h"
#include "program/assemble.h"
#include "ui/listing_view.h"
#include "ui/memory_view_tracker.h"

using namespace akkusim;

namespace {

struct Window {
  HeadlessPlatform platform;
  Screen screen{platform};
  Session session;
  ListingView listing;
  MemoryView memoryView;
};

// An endless loop that stores on every pass, so a step back also restores
// a memory word.
std::unique_ptr<Window> openWindow() {
  auto window = std::make_unique<Window>();
  if (!openScreen(window->screen, kScreenWidth, kScreenHeight)) return nullptr;
  window->listing = makeListingView();
  window->session.program.lines.clear();
  for (const char* text : {"loop:", "ADDI 1", "STORE 300", "JMP loop"}) {
    ProgramLine line;
    line.text = text;
    window->session.program.lines.push_back(line);
  }
  window->listing.view.contentHeight = 10 * lineCount(window->session.program);
  redrawListing(window->screen, window->listing, window->session.program);
  assembleProgram(window->session.program, *window->session.machine, window->session.lineMap);
  return window;
}

// The main window's redraw after a Schritt.
void redrawPanel(Window& w) {
  drawRegisterPanelTracked(w.screen, w.memoryView, *w.session.machine, w.session.machine->touched,
                           w.session.panelShown);
}

void schrittAndRedraw(benchmark::State& state) {
  auto w = openWindow();
  if (!w) return state.SkipWithError("no window");
  for (auto _ : state) {
    executeStep(w->screen, w->session, w->listing, w->memoryView);
    redrawPanel(*w);
  }
}
BENCHMARK(schrittAndRedraw);

// The dearest step back: the newest checkpoint lies as far back as it can,
// so the step back runs forward 1,023 steps from it.
std::unique_ptr<Window> openWindowForDearestStepBack() {
  auto window = openWindow();
  if (!window) return nullptr;
  static const std::vector<uint8_t> kNoStops;
  runInstructionsRecorded(*window->session.machine, kCheckpointSteps - 1, window->session.history,
                          kNoStops, false);
  return window;
}

void stepBackAndRedraw(benchmark::State& state) {
  auto w = openWindowForDearestStepBack();
  if (!w) return state.SkipWithError("no window");
  for (auto _ : state) {
    state.PauseTiming();
    executeStep(w->screen, w->session, w->listing, w->memoryView);
    redrawPanel(*w);
    state.ResumeTiming();
    stepBack(w->screen, w->session, w->listing, w->memoryView);
  }
}
BENCHMARK(stepBackAndRedraw);

// A Schritt with its redraw and the step back that takes it back, untimed
// pauses aside: less this and schrittAndRedraw, the step back alone.
void schrittThenStepBack(benchmark::State& state) {
  auto w = openWindowForDearestStepBack();
  if (!w) return state.SkipWithError("no window");
  for (auto _ : state) {
    executeStep(w->screen, w->session, w->listing, w->memoryView);
    redrawPanel(*w);
    stepBack(w->screen, w->session, w->listing, w->memoryView);
  }
}
BENCHMARK(schrittThenStepBack);

}  // namespace
