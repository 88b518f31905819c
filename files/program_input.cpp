#include "files/program_input.h"

#include <sys/stat.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <streambuf>
#include <system_error>

namespace akkusim {

namespace {

// Passes the bytes of a file through to the reader while watching for what
// makes it no program file: a NUL byte or more bytes than any program has.
class InspectingBuffer : public std::streambuf {
 public:
  explicit InspectingBuffer(std::streambuf& source) : source_(source) {}

  bool sawNul() const { return sawNul_; }
  bool tooLarge() const { return tooLarge_; }
  uint64_t total() const { return total_; }

 protected:
  int_type underflow() override {
    if (sawNul_ || tooLarge_) return traits_type::eof();
    const std::streamsize n =
        source_.sgetn(chunk_.data(), static_cast<std::streamsize>(chunk_.size()));
    if (n <= 0) return traits_type::eof();
    total_ += static_cast<uint64_t>(n);
    if (total_ > kMostProgramInputBytes) {
      tooLarge_ = true;
      return traits_type::eof();
    }
    if (std::memchr(chunk_.data(), 0, static_cast<std::size_t>(n)) != nullptr) {
      sawNul_ = true;
      return traits_type::eof();
    }
    setg(chunk_.data(), chunk_.data(), chunk_.data() + n);
    return traits_type::to_int_type(chunk_[0]);
  }

 private:
  std::streambuf& source_;
  std::array<char, 64 * 1024> chunk_{};
  bool sawNul_ = false;
  bool tooLarge_ = false;
  uint64_t total_ = 0;
};

const std::string kReadError = "Lesefehler";
const std::string kTooLargeProgram = "zu gro\xC3\x9F f\xC3\xBCr ein Programm (mehr als 16 MiB)";

Failure unreadable() {
  return Failure{"nicht lesbar (" +
                 systemErrorText(std::error_code(errno, std::generic_category())) + ")"};
}

// The size of a regular file (0 for anything else that can be read), or why
// the path is nothing to read from.
Result<uint64_t> namedFileSize(const std::string& path, std::string_view kind) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) {
    if (errno == ENOENT || errno == ENOTDIR) return Failure{"Datei nicht gefunden"};
    return unreadable();
  }
  if (S_ISDIR(info.st_mode)) return Failure{"ein Verzeichnis, keine " + std::string(kind)};
  return S_ISREG(info.st_mode) ? static_cast<uint64_t>(info.st_size) : uint64_t{0};
}

Status openNamedFile(const std::string& path, std::ifstream& stream) {
  stream.open(path, std::ios::binary);
  if (!stream.is_open()) return unreadable();
  return succeeded();
}

Result<LoadedProgram> readInspected(std::istream& source) {
  InspectingBuffer inspector(*source.rdbuf());
  std::istream in(&inspector);
  LoadedProgram loaded = readProgram(in);
  if (in.bad() || source.bad()) return Failure{kReadError};
  if (inspector.sawNul()) return Failure{"keine Textdatei (enth\xC3\xA4lt Nullbytes)"};
  if (inspector.tooLarge()) return Failure{kTooLargeProgram};
  if (inspector.total() == 0) return Failure{"leere Datei, kein Programm"};
  return loaded;
}

}  // namespace

// The system's own texts are English; the reasons a user meets are named
// here, the rest by number. Compared as conditions, so that Windows' own
// codes find the same words.
std::string systemErrorText(std::error_code error) {
  if (error == std::errc::permission_denied || error == std::errc::operation_not_permitted) {
    return "keine Berechtigung";
  }
  if (error == std::errc::io_error) return "Ein-/Ausgabefehler";
  if (error == std::errc::too_many_symbolic_link_levels) {
    return "zu viele symbolische Verkn\xC3\xBCpfungen";
  }
  if (error == std::errc::filename_too_long) return "Name zu lang";
  if (error == std::errc::too_many_files_open ||
      error == std::errc::too_many_files_open_in_system) {
    return "zu viele offene Dateien";
  }
  return "Systemfehler " + std::to_string(error.value());
}

std::string programDisplayName(const std::string& file) {
  return file == "-" ? std::string("Standardeingabe") : file;
}

Result<LoadedProgram> readProgramInput(const std::string& file, std::istream& stdinStream) {
  if (file == "-") return readInspected(stdinStream);
  const Result<uint64_t> size = namedFileSize(file, "Programmdatei");
  if (!size) return Failure{size.reason()};
  if (*size > kMostProgramInputBytes) return Failure{kTooLargeProgram};
  std::ifstream stream;
  if (Status opened = openNamedFile(file, stream); !opened) return Failure{opened.reason()};
  return readInspected(stream);
}

Result<std::string> readNamedFile(const std::string& path, std::string_view kind,
                                  std::size_t mostBytes) {
  const Result<uint64_t> size = namedFileSize(path, kind);
  if (!size) return Failure{size.reason()};
  std::ifstream stream;
  if (Status opened = openNamedFile(path, stream); !opened) return Failure{opened.reason()};
  std::string text(mostBytes + 1, '\0');
  stream.read(text.data(), static_cast<std::streamsize>(text.size()));
  if (stream.bad()) return Failure{kReadError};
  text.resize(static_cast<std::size_t>(stream.gcount()));
  return text;
}

}  // namespace akkusim
