#include "program/assemble.h"

#include <algorithm>
#include <cstddef>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "program/line_parser.h"

namespace akkusim {

namespace {

// Names point into the lines' own symbols, which stay put while the
// program is being assembled.
struct SymbolEntry {
  std::string_view name;
  Address address;
};

using SymbolTable = std::vector<SymbolEntry>;

int32_t lineNumber(std::size_t index) {
  return static_cast<int32_t>(index + 1);
}

}  // namespace

int32_t wordsOf(LineKind kind) {
  switch (kind) {
    case LineKind::Empty:
    case LineKind::LabelOnly:
      return 0;
    case LineKind::DataWord:
      return 1;
    case LineKind::NoOperand:
    case LineKind::NumberOperand:
    case LineKind::SymbolOperand:
      return 2;
  }
  return 0;
}

AssembleResult assembleProgram(ProgramText& program, MachineState& machine, LineMap& lineMap) {
  std::vector<ProgramLine>& lines = program.lines;

  // Pass 1: parse, count words, collect labels in line order.
  SymbolTable symbols;
  bool hasReferences = false;
  Address counter = 0;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    ProgramLine& line = lines[i];
    parseLine(line, static_cast<int16_t>(i));
    if (!line.valid) return {AssembleError::SyntaxError, lineNumber(i)};
    switch (line.kind) {
      case LineKind::LabelOnly:
      case LineKind::DataWord:
        symbols.push_back({line.symbol, counter});
        break;
      case LineKind::SymbolOperand:
        hasReferences = true;
        break;
      case LineKind::Empty:
      case LineKind::NoOperand:
      case LineKind::NumberOperand:
        break;
    }
    counter += wordsOf(line.kind);
    if (counter > kMemoryWords) return {AssembleError::ProgramTooLong, lineNumber(i)};
  }

  // Pass 2: resolve names. The index keeps the first label of each name,
  // so a duplicate label never wins over an earlier one.
  if (hasReferences) {
    std::unordered_map<std::string_view, Address> addressOf;
    addressOf.reserve(symbols.size());
    for (const SymbolEntry& entry : symbols) addressOf.emplace(entry.name, entry.address);
    for (std::size_t i = 0; i < lines.size(); ++i) {
      ProgramLine& line = lines[i];
      if (line.kind != LineKind::SymbolOperand) continue;
      const auto found = addressOf.find(line.symbol);
      if (found == addressOf.end()) return {AssembleError::UnknownSymbol, lineNumber(i)};
      line.value = asWord(found->second);
    }
  }

  // Pass 3: only now is the machine touched. Pass 1 has bounded the words
  // to the memory's size.
  resetMachine(machine);
  std::fill(lineMap.lineOfAddress.begin(), lineMap.lineOfAddress.end(), uint16_t{kNoLine});
  std::size_t address = 0;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    ProgramLine& line = lines[i];
    line.assembledAddress = static_cast<int32_t>(address);
    switch (line.kind) {
      case LineKind::Empty:
      case LineKind::LabelOnly:
        break;
      case LineKind::DataWord:
        machine.memory[address] = line.value;
        address += 1;
        break;
      case LineKind::NoOperand:
      case LineKind::NumberOperand:
      case LineKind::SymbolOperand:
        machine.memory[address] = line.opcode;
        machine.memory[address + 1] = line.value;
        lineMap.lineOfAddress[address] = static_cast<uint16_t>(lineNumber(i));
        address += 2;
        break;
    }
  }
  return {AssembleError::None, 0};
}

}  // namespace akkusim
