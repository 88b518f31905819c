#pragma once
// The assembler's three passes as one pure function.

#include <cstdint>
#include <string>
#include <vector>

#include "machine/machine_state.h"
#include "program/program_text.h"

namespace akkusim {

enum class AssembleError {
  None,
  SyntaxError,
  ProgramTooLong,
  UnknownSymbol,
};

struct AssembleResult {
  AssembleError error = AssembleError::None;
  int32_t line = 0;  // 1-based line of the error, 0 on success
};

// Memory words a line of this kind occupies: 2 for an instruction, 1 for a
// data word, 0 for an empty line or a label alone.
int32_t wordsOf(LineKind kind);

// The source line of the instruction starting at each address, kNoLine for
// every other word: how a step finds the line to highlight.
struct LineMap {
  std::vector<uint16_t> lineOfAddress = std::vector<uint16_t>(kMemoryWords, kNoLine);
};

// Parses every line, resolves names, then resets the machine and writes the
// program from address 0, and its line map. On error the machine and the
// line map are untouched.
AssembleResult assembleProgram(ProgramText& program, MachineState& machine, LineMap& lineMap);

}  // namespace akkusim
