// The run loop that `run` and `test` use, next to the smallest hand-written
// switch interpreter of the same three-instruction loop (ADDI 1, CMPI 0,
// JMPNZ 0) with the same flag rules: the ratio of the two says how much the
// general loop costs over what the loop itself needs.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>

#include "bench/counting_loop.h"
#include "machine/machine_state.h"
#include "machine/run.h"

using namespace akkusim;

namespace {

constexpr int64_t kStepsPerRun = 1'000'000;

void runLoop(benchmark::State& state) {
  auto machine = loopMachine();
  for (auto _ : state) {
    const RunSummary run = runToEnd(*machine, kStepsPerRun);
    benchmark::DoNotOptimize(run.steps);
    if (run.end != RunEnd::StepLimit) state.SkipWithError("the loop stopped");
  }
  state.SetItemsProcessed(state.iterations() * kStepsPerRun);
}
BENCHMARK(runLoop);

struct MinimalMachine {
  uint32_t pc = 0;
  uint32_t accumulator = 0;
  bool carry = false, overflow = false, zero = false, negative = false;
};

// Only what the loop needs: fetch, a switch over the three codes (and JMP)
// as constants, the flags of ADDI and CMPI as the machine defines them.
int64_t runMinimalSwitch(MinimalMachine& m, const uint16_t* memory, int64_t maxSteps) {
  uint32_t pc = m.pc;
  uint32_t a = m.accumulator;
  bool c = m.carry, v = m.overflow, z = m.zero, n = m.negative;
  int64_t steps = 0;
  for (; steps < maxSteps && instructionFits(static_cast<Address>(pc)); ++steps) {
    const uint16_t code = memory[pc];
    const uint32_t p = memory[pc + 1];
    pc += 2;
    switch (code) {
      case 0x020A: {  // ADDI
        const uint32_t sum = a + p;
        const uint32_t result = sum & 0xFFFFu;
        c = sum > 0xFFFFu;
        v = (a >> 15) != (result >> 15);
        a = result;
        z = a == 0;
        n = (a >> 15) != 0;
        break;
      }
      case 0x020F:  // CMPI
        c = a < p;
        v = (a >> 15) != (((a - p) & 0xFFFFu) >> 15);
        z = a == p;
        n = c;
        break;
      case 0x0123:  // JMPNZ
        if (!z) pc = p;
        break;
      case 0x0124:  // JMP
        pc = p;
        break;
      default:
        m = MinimalMachine{pc, a, c, v, z, n};
        return steps;
    }
  }
  m = MinimalMachine{pc, a, c, v, z, n};
  return steps;
}

void handWrittenSwitch(benchmark::State& state) {
  auto machine = loopMachine();
  const auto* memory = reinterpret_cast<const uint16_t*>(machine->memory.data());
  MinimalMachine m;
  for (auto _ : state) {
    benchmark::DoNotOptimize(runMinimalSwitch(m, memory, kStepsPerRun));
  }
  benchmark::DoNotOptimize(m);
  state.SetItemsProcessed(state.iterations() * kStepsPerRun);
}
BENCHMARK(handWrittenSwitch);

}  // namespace
