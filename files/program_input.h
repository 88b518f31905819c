#pragma once
// Files named on the command line: a program given as a path or as "-" for
// standard input, read as the window's Laden reads it, and the reasons an
// input is refused, the same for every command.

#include <cstddef>
#include <cstdint>
#include <istream>
#include <string>
#include <string_view>
#include <system_error>

#include "base/result.h"
#include "files/program_file.h"

namespace akkusim {

// Far beyond any program that fits the machine (65,535 lines of 40
// characters); anything larger is not a program file.
inline constexpr uint64_t kMostProgramInputBytes = 16u << 20;

// Reads FILE, or standard input for "-". The reason alone names why it is no
// program: empty, binary, too large, a directory, missing or unreadable.
Result<LoadedProgram> readProgramInput(const std::string& file, std::istream& stdinStream);

// Why the system refused, in German: "keine Berechtigung", "Systemfehler 5".
std::string systemErrorText(std::error_code error);

// "Standardeingabe" for "-", the path otherwise.
std::string programDisplayName(const std::string& file);

// The first `mostBytes` + 1 bytes of a named file (one past the limit shows
// that it is too large); refused when missing, unreadable or a directory,
// which is named as no `kind` ("Testdatei").
Result<std::string> readNamedFile(const std::string& path, std::string_view kind,
                                  std::size_t mostBytes);

}  // namespace akkusim
