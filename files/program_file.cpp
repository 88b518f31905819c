#include "files/program_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <fstream>
#include <string_view>
#include <system_error>

namespace akkusim {

namespace {

constexpr std::size_t kChunkBytes = 64 * 1024;

std::atomic<unsigned> temporaryCounter{0};

bool writeAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

// Creates a new, empty file beside `path` that no one else uses; -1 on failure.
int createTemporaryBeside(const std::filesystem::path& path, std::filesystem::path& temporary) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    temporary = path;
    temporary.replace_filename("." + path.filename().string() + "." + std::to_string(::getpid()) +
                               "." + std::to_string(temporaryCounter++) + ".tmp");
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) return fd;
    if (errno != EEXIST) return -1;
  }
  return -1;
}

bool writeProgramTo(int fd, const ProgramText& program) {
  std::string buffer;
  for (const ProgramLine& line : program.lines) {
    buffer += line.text;
    buffer += "\r\n";
    if (buffer.size() >= kChunkBytes) {
      if (!writeAll(fd, buffer)) return false;
      buffer.clear();
    }
  }
  return writeAll(fd, buffer);
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

// Replacing the file by a rename would get past its write protection, so an
// existing file must be writable in place first. A file without any write
// permission is protected even from a user (root) whom the system would let
// write it anyway. Opening it for update neither creates nor truncates it.
bool mayReplace(const std::filesystem::path& path) {
  std::error_code error;
  const std::filesystem::file_status status = std::filesystem::status(path, error);
  if (!std::filesystem::exists(status))
    return status.type() == std::filesystem::file_type::not_found;
  if (!std::filesystem::is_regular_file(status)) return false;
  using std::filesystem::perms;
  if ((status.permissions() & (perms::owner_write | perms::group_write | perms::others_write)) ==
      perms::none) {
    return false;
  }
  const std::fstream out(path, std::ios::in | std::ios::out | std::ios::binary);
  return out.is_open();
}

}  // namespace

bool saveProgramFile(const std::filesystem::path& path, const ProgramText& program) {
  if (!mayReplace(path)) return false;
  std::filesystem::path temporary;
  const int fd = createTemporaryBeside(path, temporary);
  if (fd < 0) return false;

  // Keep the permissions of the file being replaced.
  struct stat old {};
  if (::stat(path.c_str(), &old) == 0 && S_ISREG(old.st_mode)) {
    (void)::fchmod(fd, old.st_mode & 07777);
  }

  bool ok = writeProgramTo(fd, program) && ::fsync(fd) == 0;
  ok = (::close(fd) == 0) && ok;
  ok = ok && ::rename(temporary.c_str(), path.c_str()) == 0;
  if (!ok) {
    ::unlink(temporary.c_str());
    return false;
  }
  // Make the rename itself durable; the file is in place whatever this gives.
  std::filesystem::path folder = path.parent_path();
  if (folder.empty()) folder = ".";
  const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    (void)::fsync(dir);
    ::close(dir);
  }
  return true;
}

}  // namespace akkusim
