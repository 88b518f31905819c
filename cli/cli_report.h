#pragma once
// What the headless commands print: the final machine state, trace lines and
// the memory image, as aligned text or as JSON.

#include <cstdint>
#include <iosfwd>
#include <optional>

#include "machine/machine_state.h"
#include "machine/run.h"

namespace akkusim {

struct MemoryRange {
  Address from = 0;
  Address to = 0;  // inclusive
};

struct RunReport {
  const MachineState* machine = nullptr;
  int64_t steps = 0;
  RunEnd end = RunEnd::Hold;
  std::optional<MemoryRange> dump;
};

void printRunText(std::ostream& out, const RunReport& report);
// One line of JSON. With `traceOpen` the object was begun by
// beginJsonTrace, and this closes the trace array first.
void printRunJson(std::ostream& out, const RunReport& report, bool traceOpen);

// One line per executed step: address, mnemonic, parameter, accumulator, flags.
void printTraceText(std::ostream& out, const MachineState& machine);
void beginJsonTrace(std::ostream& out);
void printTraceJson(std::ostream& out, const MachineState& machine, bool first);

// The memory image from 0 to `size` - 1 with the source line and mnemonic of
// each instruction's first word (and of each data word).
struct ImageWord {
  int32_t line = 0;  // 1-based source line, 0 for an operand word
  bool isInstruction = false;
};
void printImageText(std::ostream& out, const MachineState& machine, const ImageWord* words,
                    int32_t size);
void printImageJson(std::ostream& out, const MachineState& machine, const ImageWord* words,
                    int32_t size);

}  // namespace akkusim
