#pragma once
// A program made of the given lines and nothing else, as a learner would
// have typed them: tests that feed the assembler, the file codec or the
// session's comparisons build their programs this way.

#include <string>
#include <utility>
#include <vector>

#include "program/program_text.h"

namespace akkusim {

inline ProgramText programOf(std::vector<std::string> texts) {
  ProgramText program;
  program.lines.clear();
  for (std::string& text : texts) {
    ProgramLine line;
    line.text = std::move(text);
    program.lines.push_back(std::move(line));
  }
  return program;
}

}  // namespace akkusim
