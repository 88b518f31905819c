#include "cli/headless_run.h"

#include <sys/stat.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <istream>
#include <streambuf>

#include "machine/execute.h"

namespace akkusim {

namespace {

// Far beyond any program that fits the machine (65,535 lines of 40
// characters); anything larger is not a program file.
constexpr uint64_t kMaxFileBytes = 16u << 20;

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
    if (total_ > kMaxFileBytes) {
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

}  // namespace

std::string programDisplayName(const std::string& file) {
  return file == "-" ? std::string("Standardeingabe") : file;
}

std::optional<std::string> readProgramInput(const std::string& file, std::istream& stdinStream,
                                            LoadedProgram& loaded) {
  const std::string tooLarge = "zu gro\xC3\x9F f\xC3\xBCr ein Programm (mehr als 16 MiB)";
  std::ifstream fileStream;
  std::istream* source = &stdinStream;
  if (file != "-") {
    struct stat info {};
    if (::stat(file.c_str(), &info) != 0) {
      if (errno == ENOENT || errno == ENOTDIR) return std::string("Datei nicht gefunden");
      return "nicht lesbar (" + std::string(std::strerror(errno)) + ")";
    }
    if (S_ISDIR(info.st_mode)) return std::string("ein Verzeichnis, keine Programmdatei");
    if (S_ISREG(info.st_mode) && static_cast<uint64_t>(info.st_size) > kMaxFileBytes) {
      return tooLarge;
    }
    fileStream.open(file, std::ios::binary);
    if (!fileStream.is_open()) {
      return "nicht lesbar (" + std::string(std::strerror(errno)) + ")";
    }
    source = &fileStream;
  }
  InspectingBuffer inspector(*source->rdbuf());
  std::istream in(&inspector);
  loaded = readProgram(in);
  if (in.bad() || source->bad()) return std::string("Lesefehler");
  if (inspector.sawNul()) return std::string("keine Textdatei (enth\xC3\xA4lt Nullbytes)");
  if (inspector.tooLarge()) return tooLarge;
  if (inspector.total() == 0) return std::string("leere Datei, kein Programm");
  return std::nullopt;
}

std::string joinLines(const MessageLines& lines, const std::string& separator) {
  std::string text;
  for (const std::string& line : lines) {
    if (!text.empty()) text += separator;
    text += line;
  }
  return text;
}

RunSummary runToEnd(MachineState& machine, int64_t maxSteps) {
  int32_t touched = -1;
  StepOutcome last = StepOutcome::Executed;
  const int64_t calls = runInstructions(machine, touched, maxSteps, last);
  // The memory-limit check fetches nothing, so it is no step of the program.
  return RunSummary{calls - (last == StepOutcome::MemoryOverflow ? 1 : 0), runEndOf(last)};
}

}  // namespace akkusim
