#include "files/program_file.h"

#include <fstream>
#include <string_view>
#include <system_error>

#include "files/file_system.h"

namespace akkusim {

namespace {

constexpr std::size_t kChunkBytes = 64 * 1024;

bool writeProgramTo(const ContentsSink& write, const ProgramText& program) {
  std::string buffer;
  for (const ProgramLine& line : program.lines) {
    buffer += line.text;
    buffer += "\r\n";
    if (buffer.size() >= kChunkBytes) {
      if (!write(buffer)) return false;
      buffer.clear();
    }
  }
  return write(buffer);
}

}  // namespace

bool writeProgram(std::ostream& out, const ProgramText& program) {
  for (const ProgramLine& line : program.lines) {
    out.write(line.text.data(), static_cast<std::streamsize>(line.text.size()));
    out.write("\r\n", 2);
    if (!out) return false;
  }
  out.flush();
  return static_cast<bool>(out);
}

std::optional<LoadedProgram> loadProgramFile(const std::filesystem::path& path) {
  std::error_code error;
  if (std::filesystem::is_directory(path, error)) return std::nullopt;
  std::ifstream in(path, std::ios::binary);
  if (!in.is_open()) return std::nullopt;
  return readProgram(in);
}

namespace {

// Replacing the file would get past its write protection. A file without any
// write permission is protected even from a user (root) whom the system would
// let write it anyway.
bool mayReplace(const std::filesystem::path& path) {
  std::error_code error;
  const std::filesystem::file_status status = std::filesystem::status(path, error);
  if (!std::filesystem::exists(status))
    return status.type() == std::filesystem::file_type::not_found;
  if (!std::filesystem::is_regular_file(status)) return false;
  using std::filesystem::perms;
  return (status.permissions() & (perms::owner_write | perms::group_write | perms::others_write)) !=
         perms::none;
}

}  // namespace

Status saveProgramFile(const std::filesystem::path& path, const ProgramText& program) {
  if (!mayReplace(path)) return Failure{std::string(kNotSavedReason)};
  return replaceFile(
      path, [&program](const ContentsSink& write) { return writeProgramTo(write, program); });
}

}  // namespace akkusim
