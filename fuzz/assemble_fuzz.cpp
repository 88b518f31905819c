// Whole program texts: assembling must never crash, and a failed assemble
// must leave the machine untouched.
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string_view>

#include "program/assemble.h"
#include "program/messages.h"

using namespace akkusim;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static auto machine = std::make_unique<MachineState>();
  ProgramText program;
  program.lines.clear();
  std::string_view rest(reinterpret_cast<const char*>(data), size);
  while (program.lines.size() < 4000) {
    const size_t end = rest.find('\n');
    ProgramLine line;
    line.text = std::string(rest.substr(0, end));
    program.lines.push_back(line);
    if (end == std::string_view::npos) break;
    rest.remove_prefix(end + 1);
  }
  machine->memory[12345] = 777;
  machine->accumulator = 5;
  static LineMap lineMap;
  const AssembleResult result = assembleProgram(program, *machine, lineMap);
  if (result.error != AssembleError::None) {
    if (machine->memory[12345] != 777 || machine->accumulator != 5) std::abort();
    if (result.line < 1 || result.line > static_cast<int32_t>(program.lines.size())) std::abort();
    if (assembleErrorLines(result).empty()) std::abort();
  } else if (machine->pc != 0 || machine->instructionAddress != -2) {
    std::abort();
  }
  return 0;
}
