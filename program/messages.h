#pragma once
// The German texts the core's results stand for, line by line. Each front end
// puts the lines together its own way: the message box with its "\n"
// separator, the command line with line breaks.

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "machine/execute.h"
#include "machine/run.h"
#include "program/assemble.h"

namespace akkusim {

using MessageLines = std::vector<std::string>;

// One line ("" for Executed), e.g. "Fehler: Speicherüberlauf", "Programmende".
std::string outcomeMessage(StepOutcome outcome);
// How a run without pause ended: the step's message, or "Schrittgrenze
// erreicht" for the step limit.
std::string runEndText(RunEnd end);
// The step limit with its number, e.g. "Schrittgrenze 100000 erreicht".
std::string stepLimitText(int64_t maxSteps);
// Nothing for AssembleError::None.
MessageLines assembleErrorLines(const AssembleResult& result);
// A program file read with losses (lines cut, bytes dropped).
MessageLines loadWarningLines();

// The lines of a message joined by `separator`: a report line keeps a
// message on one line, where the terminal and the message box get line
// breaks.
std::string joinLines(const MessageLines& lines, std::string_view separator);

// The register panel's labels, shared by the window and the command line
// report: UTF-8, padded by the caller to the label column.
struct RegisterLabels {
  std::string_view accumulator = "Akkumulator:";
  std::string_view instruction = "Befehl:";
  std::string_view parameter = "Parameter:";
  std::string_view instructionAddress = "Befehlsz\xC3\xA4hler:";
};
inline constexpr RegisterLabels kRegisterLabels{};
// The label column is 14 characters wide, values right-aligned in 6.
inline constexpr int32_t kRegisterLabelWidth = 14;
inline constexpr int32_t kRegisterValueWidth = 6;

}  // namespace akkusim
