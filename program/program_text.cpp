#include "program/program_text.h"

namespace akkusim {

int32_t highestIndex(const ProgramText& program) {
  return static_cast<int32_t>(program.lines.size()) - 1;
}

int32_t lineCount(const ProgramText& program) {
  return static_cast<int32_t>(program.lines.size());
}

bool appendLine(ProgramText& program, ProgramLine line) {
  if (lineCount(program) >= kMaxProgramLines) return false;
  program.lines.push_back(std::move(line));
  return true;
}

bool insertLineBefore(ProgramText& program, int32_t index) {
  if (lineCount(program) >= kMaxProgramLines || index < 0 || index > lineCount(program)) {
    return false;
  }
  program.lines.insert(program.lines.begin() + index, ProgramLine{});
  return true;
}

bool removeLine(ProgramText& program, int32_t index) {
  if (lineCount(program) <= 1 || index < 0 || index > highestIndex(program)) return false;
  program.lines.erase(program.lines.begin() + index);
  return true;
}

void replaceWithEmptyLine(ProgramText& program) {
  program.lines.assign(1, ProgramLine{});
}

}  // namespace akkusim
