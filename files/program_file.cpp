#include "files/program_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <string_view>
#include <system_error>

#include "program/line_parser.h"

namespace akkusim {

namespace {

constexpr std::size_t kChunkBytes = 64 * 1024;

// Position of the first CR or LF, or npos.
std::size_t lineEndIn(std::string_view bytes) {
  const void* lf = std::memchr(bytes.data(), '\n', bytes.size());
  const std::size_t limit =
      lf ? static_cast<std::size_t>(static_cast<const char*>(lf) - bytes.data()) : bytes.size();
  const void* cr = std::memchr(bytes.data(), '\r', limit);
  if (cr) return static_cast<std::size_t>(static_cast<const char*>(cr) - bytes.data());
  return lf ? limit : std::string_view::npos;
}

// Collects the lines of a file as the bytes arrive, holding no more than one
// line's 40 characters at a time.
class LineCollector {
 public:
  explicit LineCollector(LoadedProgram& result) : result_(result) {}

  // False once no further line can be kept (the program is full); the rest
  // of the input need not be read then.
  bool feed(std::string_view bytes) {
    std::size_t i = 0;
    while (i < bytes.size()) {
      const unsigned char byte = static_cast<unsigned char>(bytes[i]);
      if (afterCr_) {
        afterCr_ = false;
        if (byte == '\n') {  // second half of CR LF
          ++i;
          continue;
        }
      }
      if (byte == '\n' || byte == '\r') {
        afterCr_ = byte == '\r';
        if (!endLine()) return false;
        ++i;
        continue;
      }
      if (!startLine()) return false;
      if (text_.size() >= static_cast<std::size_t>(kMaxLineLength)) {
        // The line is full: skip to its end without looking at each byte.
        const std::size_t end = lineEndIn(bytes.substr(i));
        result_.incomplete = true;
        i = end == std::string_view::npos ? bytes.size() : i + end;
        continue;
      }
      appendByte(byte);
      ++i;
    }
    return true;
  }

  void finish() {
    if (inLine_) endLine();
    if (result_.program.lines.empty()) result_.program.lines.emplace_back();
  }

 private:
  // A line starts with its first byte; false when it would be one too many.
  bool startLine() {
    if (inLine_) return true;
    if (static_cast<int32_t>(result_.program.lines.size()) >= kMaxProgramLines) {
      result_.incomplete = true;
      return false;
    }
    inLine_ = true;
    return true;
  }

  void appendByte(unsigned char byte) {
    if (byte == '\t') {
      for (int k = 0; k < 4; ++k) appendChar(' ');
    } else if (byte >= 32 && byte <= 254) {
      appendChar(static_cast<char>(byte));
    } else {
      result_.incomplete = true;  // control bytes and 255 cannot be held
    }
  }

  void appendChar(char c) {
    if (text_.size() >= static_cast<std::size_t>(kMaxLineLength)) {
      result_.incomplete = true;
      return;
    }
    text_.push_back(c);
  }

  bool endLine() {
    // A line end with nothing before it is an empty line of its own.
    if (!startLine()) return false;
    ProgramLine line;
    line.text = std::move(text_);
    text_.clear();
    const auto index = static_cast<int16_t>(result_.program.lines.size());
    parseLine(line, index);
    result_.program.lines.push_back(std::move(line));
    inLine_ = false;
    return true;
  }

  LoadedProgram& result_;
  std::string text_;  // never longer than kMaxLineLength
  bool inLine_ = false;
  bool afterCr_ = false;
};

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

LoadedProgram readProgram(std::istream& in) {
  LoadedProgram result;
  result.program.lines.clear();
  LineCollector collector(result);
  std::array<char, kChunkBytes> chunk;
  for (;;) {
    in.read(chunk.data(), static_cast<std::streamsize>(chunk.size()));
    const auto count = static_cast<std::size_t>(in.gcount());
    if (count == 0) break;
    if (!collector.feed(std::string_view(chunk.data(), count))) break;
  }
  // A read that failed before the end of the input lost the rest of it.
  if (in.bad()) result.incomplete = true;
  collector.finish();
  return result;
}

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
