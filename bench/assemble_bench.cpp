// How long the assembler takes for the largest program, and the line parser
// for one line (the listing re-parses all 65,535 lines on every redraw).
#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "program/assemble.h"
#include "program/line_parser.h"

using namespace akkusim;

namespace {

// 65,535 lines: 32,767 label lines (every fourth with a comment) between
// 32,768 instructions that fill the memory, a third of them referring to
// labels.
ProgramText fullProgram() {
  ProgramText program;
  program.lines.clear();
  auto add = [&program](std::string text) {
    ProgramLine line;
    line.text = std::move(text);
    program.lines.push_back(std::move(line));
  };
  for (int k = 0; k < 32768; ++k) {
    if (k > 0) add("Marke" + std::to_string(k) + (k % 4 == 0 ? ":   # Schleifenanfang" : ":"));
    switch (k % 3) {
      case 0:
        add("  load Marke" + std::to_string(k / 2 + 1) + " # Wert holen");
        break;
      case 1:
        add("  ADDI " + std::to_string(k));
        break;
      default:
        add("  jmpnz Marke" + std::to_string(k / 3 + 1));
        break;
    }
  }
  return program;
}

void assembleFullMemory(benchmark::State& state) {
  ProgramText program = fullProgram();
  auto machine = std::make_unique<MachineState>();
  LineMap lineMap;
  for (auto _ : state) {
    const AssembleResult result = assembleProgram(program, *machine, lineMap);
    if (result.error != AssembleError::None) state.SkipWithError("program did not assemble");
    benchmark::DoNotOptimize(machine->memory.data());
  }
  state.counters["lines"] = static_cast<double>(program.lines.size());
}
BENCHMARK(assembleFullMemory)->Unit(benchmark::kMillisecond);

// Lines as the editor leaves them: padded to 40 characters.
std::string padded(std::string text) {
  text.resize(40, ' ');
  return text;
}

const std::vector<std::string> kLines = {
    padded("  LOAD 5 # Kommentar"), padded("Schleife:"),   padded("x: WORD -17"),
    padded("  jmpnz Schleife"),     padded("  HOLD"),      padded(""),
    padded("  # nur Kommentar"),    padded("foo bar baz"),
};

void parseOneLine(benchmark::State& state) {
  ProgramLine line;
  line.text = kLines[static_cast<std::size_t>(state.range(0))];
  state.SetLabel(line.text.substr(0, line.text.find_last_not_of(' ') + 1));
  for (auto _ : state) {
    parseLine(line, 7);
    benchmark::DoNotOptimize(line);
  }
}
BENCHMARK(parseOneLine)->DenseRange(0, static_cast<int>(kLines.size()) - 1);

// A whole listing redraw's worth of parsing.
void parseAllLines(benchmark::State& state) {
  ProgramText program = fullProgram();
  for (auto _ : state) {
    for (std::size_t i = 0; i < program.lines.size(); ++i) {
      parseLine(program.lines[i], static_cast<int16_t>(i));
    }
    benchmark::ClobberMemory();
  }
}
BENCHMARK(parseAllLines)->Unit(benchmark::kMillisecond);

}  // namespace
