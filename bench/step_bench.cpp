// Steps per second of the machine core on a counting loop (ADDI, CMPI,
// JMPNZ), next to a baseline step that decodes by scanning the fifty table
// rows in order and works on the machine record's fields directly.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>

#include "bench/counting_loop.h"
#include "isa/opcode_table.h"
#include "machine/execute.h"
#include "machine/machine_state.h"

using namespace akkusim;

namespace {

constexpr int64_t kStepsPerRun = 1'000'000;

void coreRunLoop(benchmark::State& state) {
  auto machine = loopMachine();
  StepsRun run;
  for (auto _ : state) {
    run = runInstructions(*machine, kStepsPerRun);
    benchmark::DoNotOptimize(run.steps);
  }
  if (run.lastOutcome != StepOutcome::Executed) state.SkipWithError("loop stopped");
  state.SetItemsProcessed(state.iterations() * kStepsPerRun);
}
BENCHMARK(coreRunLoop);

void coreSingleSteps(benchmark::State& state) {
  auto machine = loopMachine();
  for (auto _ : state) {
    for (int64_t i = 0; i < kStepsPerRun; ++i) {
      benchmark::DoNotOptimize(executeInstruction(*machine));
    }
  }
  state.SetItemsProcessed(state.iterations() * kStepsPerRun);
}
BENCHMARK(coreSingleSteps);

// The baseline: the table's own description of a decode (walk the rows in
// order, first match wins) and the registers read and written in the record
// at every step. Only the loop's instructions are carried out.
StepOutcome baselineStep(MachineState& m) {
  if (!instructionFits(m.pc)) return StepOutcome::MemoryOverflow;
  m.instructionAddress = m.pc;
  m.pc += 2;
  m.instruction = m.memory[static_cast<std::size_t>(m.instructionAddress)];
  m.parameter = m.memory[static_cast<std::size_t>(m.instructionAddress) + 1];
  const OpcodeRow* found = nullptr;
  for (const OpcodeRow& row : kOpcodeRows) {
    if (row.code == m.instruction) {
      found = &row;
      break;
    }
  }
  if (found == nullptr) return StepOutcome::UnknownInstruction;
  const uint32_t a = bitsOf(m.accumulator);
  const uint32_t p = bitsOf(m.parameter);
  switch (found->op) {
    case Op::Addi: {
      const uint32_t r = a + p;
      m.accumulator = asWord(r);
      const uint32_t n = bitsOf(m.accumulator);
      m.carry = r > 0xFFFF;
      m.overflow = (a >> 15) != (n >> 15);
      m.zero = n == 0;
      m.negative = n >> 15;
      m.touched = m.instructionAddress + 1;
      return StepOutcome::Executed;
    }
    case Op::Cmpi:
      m.carry = a < p;
      m.overflow = (a >> 15) != (((a - p) & 0xFFFF) >> 15);
      m.zero = a == p;
      m.negative = a < p;
      m.touched = m.instructionAddress + 1;
      return StepOutcome::Executed;
    case Op::Jmpnz:
    case Op::Jmp:
      if (found->op == Op::Jmp || m.zero == 0) {
        m.pc = static_cast<Address>(p);
        m.touched = static_cast<Address>(p);
      } else {
        m.touched = std::nullopt;
      }
      return StepOutcome::Executed;
    default:
      return StepOutcome::UnknownInstruction;
  }
}

void baselineScanDecode(benchmark::State& state) {
  auto machine = loopMachine();
  for (auto _ : state) {
    for (int64_t i = 0; i < kStepsPerRun; ++i) {
      benchmark::DoNotOptimize(baselineStep(*machine));
    }
  }
  state.SetItemsProcessed(state.iterations() * kStepsPerRun);
}
BENCHMARK(baselineScanDecode);

}  // namespace
