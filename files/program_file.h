#pragma once
// Reading and writing program files: plain text, one program line per text
// line, CR LF after every written line. Written in code page 437, the
// editor's own bytes; read as code page 437 or, when the bytes are plainly
// UTF-8, as UTF-8 (the rule is in program_reading.cpp).

#include <filesystem>
#include <istream>
#include <optional>
#include <ostream>
#include <string>

#include "base/result.h"
#include "program/program_text.h"

namespace akkusim {

struct LoadedProgram {
  ProgramText program;      // every line parsed with its index
  bool incomplete = false;  // bytes dropped or lines cut
  bool readAsUtf8 = false;  // the file was UTF-8, converted to code page 437
};

// Reads in bounded memory whatever the size of the input or its lines. A
// leading UTF-8 byte order mark is skipped.
LoadedProgram readProgram(std::istream& in);
// Writes each line's text followed by CR LF; false if any write failed.
bool writeProgram(std::ostream& out, const ProgramText& program);

// Nothing when the file cannot be opened for reading (or is a directory).
std::optional<LoadedProgram> loadProgramFile(const std::filesystem::path& path);
// Writes a temporary file in the same folder, checks every write, flushes it
// to disk and moves it over `path`; on any failure, and for a file that is
// write-protected or no ordinary file, the old file is left as it was and the
// reason is returned (files/file_system.h names the reasons).
Status saveProgramFile(const std::filesystem::path& path, const ProgramText& program);

}  // namespace akkusim
