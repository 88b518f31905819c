#pragma once
// What every headless front end does with a program: read it as the window's
// Laden does, assemble it as Assemble does, and run it without pause.

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>

#include "cli/cli_report.h"
#include "files/program_file.h"
#include "machine/machine_state.h"
#include "program/messages.h"

namespace akkusim {

// Reads FILE, or standard input for "-". Returns why it is no program (the
// reason alone, without the name) or nothing when `loaded` holds it.
std::optional<std::string> readProgramInput(const std::string& file, std::istream& stdinStream,
                                            LoadedProgram& loaded);

// "Standardeingabe" for "-", the path otherwise.
std::string programDisplayName(const std::string& file);

// The lines of a message joined by `separator`: a report line keeps a
// message on one line, where the terminal gets line breaks.
std::string joinLines(const MessageLines& lines, const std::string& separator);

struct RunSummary {
  int64_t steps = 0;  // instructions fetched, the last one included
  RunEnd end = RunEnd::Hold;
};

// Runs up to `maxSteps` steps through the fast run loop.
RunSummary runToEnd(MachineState& machine, int64_t maxSteps);

}  // namespace akkusim
