// Redrawing the program listing and the memory view: the two drawings that
// scale with the program and with a running program's speed.

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "gfx/screen.h"
#include "machine/machine_state.h"
#include "platform/headless/headless_platform.h"
#include "program/program_text.h"
#include "ui/listing_view.h"
#include "ui/register_panel.h"

using namespace akkusim;

namespace {

struct Window {
  Window() {
    if (!openScreen(screen, kScreenWidth, kScreenHeight)) std::abort();
  }
  HeadlessPlatform platform;
  Screen screen{platform};
};

// The largest program.
ProgramText largestProgram() {
  ProgramText program;
  program.lines.clear();
  const char* samples[] = {"LOAD zahl     # Wert holen",
                           "  ADDI 1",
                           "schleife:",
                           "JMPNZ schleife",
                           "zahl: WORD 42",
                           "foo bar baz",
                           "HOLD",
                           ""};
  for (int32_t i = 0; i < kMaxProgramLines; ++i) {
    ProgramLine line;
    line.text = samples[i % 8];
    program.lines.push_back(line);
  }
  return program;
}

// Its listing, scrolled to the end as after an Enter near the end.
ListingView largestListing() {
  ListingView listing = makeListingView();
  listing.view.contentHeight = 10 * kMaxProgramLines;
  listing.view.scrollY = listing.view.contentHeight - 600;
  return listing;
}

void BM_RedrawListingOfTheLargestProgram(benchmark::State& state) {
  Window window;
  ListingView listing = largestListing();
  ProgramText program = largestProgram();
  for (auto _ : state) {
    redrawListing(window.screen, listing, program);
    benchmark::DoNotOptimize(listing.view.image.pixels.data());
  }
  destroyListingView(listing);
}
BENCHMARK(BM_RedrawListingOfTheLargestProgram)->Unit(benchmark::kMillisecond);

void BM_DrawMemoryView(benchmark::State& state) {
  Window window;
  auto machine = std::make_unique<MachineState>();
  for (int32_t a = 0; a < kMemoryWords; ++a) {
    machine->memory[static_cast<std::size_t>(a)] = static_cast<int16_t>(a * 7919);
  }
  machine->instructionAddress = 20;
  for (auto _ : state) {
    drawMemoryView(window.screen, MemoryView{}, *machine, Address{33});
    benchmark::DoNotOptimize(window.screen.window.pixels.data());
  }
}
BENCHMARK(BM_DrawMemoryView)->Unit(benchmark::kMicrosecond);

void BM_DrawMemoryViewOfClearedMemory(benchmark::State& state) {
  Window window;
  auto machine = std::make_unique<MachineState>();
  for (auto _ : state) {
    drawMemoryView(window.screen, MemoryView{}, *machine, Address{0});
    benchmark::DoNotOptimize(window.screen.window.pixels.data());
  }
}
BENCHMARK(BM_DrawMemoryViewOfClearedMemory)->Unit(benchmark::kMicrosecond);

// The floor under both memory-view figures: the view's background alone,
// 669 x 800 pixels that every drawing must repaint.
void BM_FillMemoryViewAreaOnly(benchmark::State& state) {
  Window window;
  for (auto _ : state) {
    fillBox(window.screen.window, 431, 0, 1099, 799, kLightGrey);
    benchmark::DoNotOptimize(window.screen.window.pixels.data());
  }
}
BENCHMARK(BM_FillMemoryViewAreaOnly)->Unit(benchmark::kMicrosecond);

}  // namespace
