// The drawing primitives at the sizes the program uses them.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "gfx/draw.h"
#include "gfx/image.h"
#include "gfx/screen.h"

using namespace akkusim;

namespace {

Image window() {
  return *createImage(kScreenWidth, kScreenHeight, kWhite);
}

void BM_DrawTextLine137(benchmark::State& state) {
  Image target = window();
  std::string line;
  for (int i = 0; i < 137; ++i) line += static_cast<char>(33 + i % 90);
  for (auto _ : state) {
    drawText(target, 0, 400, line, kBlack);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * 137);
}
BENCHMARK(BM_DrawTextLine137);

void BM_FillBoxWholeWindow(benchmark::State& state) {
  Image target = window();
  uint32_t colour = 0;
  for (auto _ : state) {
    fillBox(target, 0, 0, kScreenWidth - 1, kScreenHeight - 1, colour++);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_FillBoxWholeWindow);

void BM_PutImage430x600(benchmark::State& state) {
  Image target = window();
  const Image listing = *createImage(430, 600, kLightGrey);
  for (auto _ : state) {
    putImage(target, 0, 200, listing);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_PutImage430x600);

// A redraw of the memory view: its background and 78 rows of 10 numbers.
void BM_MemoryViewRedraw(benchmark::State& state) {
  Image target = window();
  char numbers[780][8];
  for (int i = 0; i < 780; ++i) std::snprintf(numbers[i], sizeof numbers[i], "%6d", i * 83 - 32768);
  for (auto _ : state) {
    fillBox(target, 431, 0, 1099, 799, kLightGrey);
    for (int row = 0; row < 78; ++row) {
      for (int column = 0; column < 10; ++column) {
        drawText(target, 480 + column * 62, 10 + row * 10, numbers[row * 10 + column], kBlack);
      }
    }
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_MemoryViewRedraw);

}  // namespace
