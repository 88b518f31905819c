#pragma once
// The program as a list of source lines, each with its parse results.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "isa/word.h"

namespace akkusim {

enum class LineKind : int32_t {
  Empty = 0,
  NoOperand = 1,
  NumberOperand = 2,
  SymbolOperand = 3,
  DataWord = 4,
  LabelOnly = 5,
};

struct ProgramLine {
  std::string text;
  std::string symbol;
  Word opcode = 0;
  Word value = 0;
  int16_t commentColumn = 0;
  int16_t lineIndex = 0;  // read as unsigned
  bool valid = false;
  LineKind kind = LineKind::Empty;
  // Runs stop before this line's instruction. Kept with the line, so that it
  // moves when lines above are inserted or removed.
  bool breakpoint = false;
  // Where the last Assemble that succeeded put this line's words; for a line
  // without words, the next word (so a label line stands for the instruction
  // it names). Kept with the line like the breakpoint, so that a run stops
  // at the same instruction after lines above were inserted or removed.
  std::optional<int32_t> assembledAddress;
};

inline constexpr int32_t kMaxProgramLines = 65535;
// Source lines are numbered from 1: a line number of 0 names none.
inline constexpr int32_t kNoLine = 0;
inline constexpr int32_t kMaxLineLength = 40;

// Always at least one line, at most kMaxProgramLines.
struct ProgramText {
  std::vector<ProgramLine> lines{ProgramLine{}};
};

int32_t highestIndex(const ProgramText& program);
int32_t lineCount(const ProgramText& program);
// Appending or inserting refuses (returns false) at kMaxProgramLines lines.
bool appendLine(ProgramText& program, ProgramLine line = {});
bool insertLineBefore(ProgramText& program, int32_t index);
// Refuses to remove the last remaining line or an index out of range.
bool removeLine(ProgramText& program, int32_t index);
void replaceWithEmptyLine(ProgramText& program);

}  // namespace akkusim
