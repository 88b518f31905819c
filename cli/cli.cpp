#include "cli/cli.h"

#include <sys/stat.h>

#include <array>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <fstream>
#include <istream>
#include <memory>
#include <optional>
#include <ostream>
#include <streambuf>
#include <string>
#include <string_view>
#include <vector>

#include "cli/cli_report.h"
#include "files/program_file.h"
#include "machine/execute.h"
#include "program/assemble.h"
#include "program/messages.h"

namespace akkusim {

namespace {

constexpr std::string_view kVersion = "akkusim " AKKUSIM_VERSION;
constexpr int64_t kDefaultMaxSteps = 10'000'000;
// Far beyond any program that fits the machine (65,535 lines of 40
// characters); anything larger is not a program file.
constexpr uint64_t kMaxFileBytes = 16u << 20;

constexpr int kExitHold = 0;
constexpr int kExitUsage = 1;
constexpr int kExitAssembly = 2;
constexpr int kExitRunError = 3;
constexpr int kExitStepLimit = 4;

constexpr std::string_view kHelp =
    "akkusim - Simulator f\xC3\xBCr eine 16-Bit-Akkumulatormaschine\n"
    "\n"
    "Aufruf:\n"
    "  akkusim                      \xC3\xB6"
    "ffnet das Fenster\n"
    "  akkusim --scale N            Fenster N-fach vergr\xC3\xB6\xC3\x9F"
    "ert (1 bis 4)\n"
    "  akkusim run DATEI [Optionen] assembliert DATEI und f\xC3\xBChrt sie aus\n"
    "  akkusim asm DATEI [--json]   assembliert DATEI und zeigt das Speicherabbild\n"
    "  akkusim --help | --version\n"
    "\n"
    "DATEI \"-\" liest die Standardeingabe.\n"
    "\n"
    "Optionen f\xC3\xBCr run:\n"
    "  --max-steps N    h\xC3\xB6"
    "chstens N Schritte (Vorgabe 10000000)\n"
    "  --trace          eine Zeile je Schritt vor dem Endzustand\n"
    "  --dump VON-BIS   zus\xC3\xA4tzlich die Speicherw\xC3\xB6rter VON bis BIS (0 bis 65535)\n"
    "  --json           Ausgabe als ein JSON-Objekt\n"
    "\n"
    "Exit-Codes: 0 HOLD erreicht, 1 Aufruf- oder Dateifehler, 2 Fehler beim\n"
    "Assemblieren, 3 Laufzeitfehler, 4 Schrittlimit erreicht.\n";

// A usage or file problem: one line on standard error, exit code 1.
struct CliError {
  std::string message;
};

struct Options {
  std::string file;
  bool haveFile = false;
  int64_t maxSteps = kDefaultMaxSteps;
  bool trace = false;
  bool json = false;
  std::optional<MemoryRange> dump;
};

std::optional<uint64_t> parseDecimal(std::string_view text) {
  if (text.empty()) return std::nullopt;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
  }
  uint64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

std::optional<CliError> parseMaxSteps(std::string_view text, Options& options) {
  const std::optional<uint64_t> value = parseDecimal(text);
  if (!value || *value > static_cast<uint64_t>(INT64_MAX)) {
    return CliError{"--max-steps erwartet eine ganze Zahl ab 0, nicht '" + std::string(text) + "'"};
  }
  options.maxSteps = static_cast<int64_t>(*value);
  return std::nullopt;
}

std::optional<CliError> parseDump(std::string_view text, Options& options) {
  const CliError error{"--dump erwartet VON-BIS mit 0 <= VON <= BIS <= 65535, nicht '" +
                       std::string(text) + "'"};
  const std::size_t dash = text.find('-');
  if (dash == std::string_view::npos) return error;
  const std::optional<uint64_t> from = parseDecimal(text.substr(0, dash));
  const std::optional<uint64_t> to = parseDecimal(text.substr(dash + 1));
  if (!from || !to || *from > *to || *to > 65535) return error;
  options.dump = MemoryRange{static_cast<int32_t>(*from), static_cast<int32_t>(*to)};
  return std::nullopt;
}

// Reads the options of `run` (withRunOptions) or `asm`.
std::optional<CliError> parseOptions(int argc, const char* const* argv, bool withRunOptions,
                                     Options& options) {
  for (int i = 2; i < argc; ++i) {
    const std::string_view arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == "--json") {
      options.json = true;
    } else if (withRunOptions && arg == "--trace") {
      options.trace = true;
    } else if (withRunOptions && (arg == "--max-steps" || arg == "--dump")) {
      if (!hasValue) return CliError{std::string(arg) + " erwartet einen Wert"};
      const std::string_view value = argv[++i];
      const std::optional<CliError> error =
          arg == "--max-steps" ? parseMaxSteps(value, options) : parseDump(value, options);
      if (error) return error;
    } else if (arg.size() > 1 && arg[0] == '-') {
      return CliError{"unbekannte Option '" + std::string(arg) + "' (siehe akkusim --help)"};
    } else if (options.haveFile) {
      return CliError{"nur eine Programmdatei angeben, nicht auch '" + std::string(arg) + "'"};
    } else {
      options.file = std::string(arg);
      options.haveFile = true;
    }
  }
  if (!options.haveFile) {
    return CliError{std::string("Programmdatei fehlt (siehe akkusim --help)")};
  }
  return std::nullopt;
}

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

std::string displayName(const std::string& file) {
  return file == "-" ? std::string("Standardeingabe") : file;
}

// Reads FILE (or standard input for "-") as the window's Laden does.
std::optional<CliError> loadProgram(const std::string& file, std::istream& stdinStream,
                                    LoadedProgram& loaded) {
  const std::string name = displayName(file);
  const CliError tooLarge{name + ": zu gro\xC3\x9F f\xC3\xBCr ein Programm (mehr als 16 MiB)"};
  std::ifstream fileStream;
  std::istream* source = &stdinStream;
  if (file != "-") {
    struct stat info {};
    if (::stat(file.c_str(), &info) != 0) {
      if (errno == ENOENT || errno == ENOTDIR) return CliError{name + ": Datei nicht gefunden"};
      return CliError{name + ": nicht lesbar (" + std::strerror(errno) + ")"};
    }
    if (S_ISDIR(info.st_mode)) return CliError{name + ": ein Verzeichnis, keine Programmdatei"};
    if (S_ISREG(info.st_mode) && static_cast<uint64_t>(info.st_size) > kMaxFileBytes) {
      return tooLarge;
    }
    fileStream.open(file, std::ios::binary);
    if (!fileStream.is_open()) {
      return CliError{name + ": nicht lesbar (" + std::strerror(errno) + ")"};
    }
    source = &fileStream;
  }
  InspectingBuffer inspector(*source->rdbuf());
  std::istream in(&inspector);
  loaded = readProgram(in);
  if (in.bad() || source->bad()) return CliError{name + ": Lesefehler"};
  if (inspector.sawNul()) return CliError{name + ": keine Textdatei (enth\xC3\xA4lt Nullbytes)"};
  if (inspector.tooLarge()) return tooLarge;
  if (inspector.total() == 0) return CliError{name + ": leere Datei, kein Programm"};
  return std::nullopt;
}

// Messages go to standard error one line per line of the message.
void printLines(std::ostream& err, const MessageLines& lines) {
  for (const std::string& line : lines) err << line << '\n';
}

// Loads and assembles; on failure prints the reason and gives the exit code.
std::optional<int> prepareMachine(const Options& options, std::istream& in, std::ostream& err,
                                  LoadedProgram& loaded, MachineState& machine) {
  if (std::optional<CliError> error = loadProgram(options.file, in, loaded)) {
    err << "akkusim: " << error->message << '\n';
    return kExitUsage;
  }
  if (loaded.incomplete) {
    printLines(err, loadWarningLines());
  }
  LineMap lineMap;
  const AssembleResult result = assembleProgram(loaded.program, machine, lineMap);
  if (result.error != AssembleError::None) {
    printLines(err, assembleErrorLines(result));
    return kExitAssembly;
  }
  return std::nullopt;
}

int exitCodeOf(RunEnd end) {
  switch (end) {
    case RunEnd::Hold:
      return kExitHold;
    case RunEnd::MemoryOverflow:
    case RunEnd::BadShift:
    case RunEnd::UnknownInstruction:
    case RunEnd::DivisionByZero:
      return kExitRunError;
    case RunEnd::StepLimit:
      return kExitStepLimit;
  }
  return kExitRunError;
}

int runCommand(int argc, const char* const* argv, std::istream& in, std::ostream& out,
               std::ostream& err) {
  Options options;
  if (std::optional<CliError> error = parseOptions(argc, argv, true, options)) {
    err << "akkusim run: " << error->message << '\n';
    return kExitUsage;
  }
  LoadedProgram loaded;
  auto machine = std::make_unique<MachineState>();
  if (std::optional<int> failed = prepareMachine(options, in, err, loaded, *machine)) {
    return *failed;
  }

  int32_t touched = -1;
  int64_t calls = 0;
  StepOutcome last = StepOutcome::Executed;
  if (options.trace) {
    if (options.json) beginJsonTrace(out);
    while (calls < options.maxSteps) {
      last = executeInstruction(*machine, touched);
      ++calls;
      if (last == StepOutcome::MemoryOverflow) break;  // nothing was fetched
      if (options.json) {
        printTraceJson(out, *machine, calls == 1);
      } else {
        printTraceText(out, *machine);
      }
      if (last != StepOutcome::Executed) break;
    }
  } else {
    calls = runInstructions(*machine, touched, options.maxSteps, last);
  }

  RunReport report;
  report.machine = machine.get();
  // The memory-limit check fetches nothing, so it is no step of the program.
  report.steps = calls - (last == StepOutcome::MemoryOverflow ? 1 : 0);
  report.end = runEndOf(last);
  report.dump = options.dump;
  if (options.json) {
    printRunJson(out, report, options.trace);
  } else {
    printRunText(out, report);
  }
  out.flush();
  return exitCodeOf(report.end);
}

// Source line of every word the program occupies, walking the lines as the
// assembler places them.
std::vector<ImageWord> imageWordsOf(const ProgramText& program, int32_t& size) {
  std::vector<ImageWord> words;
  for (std::size_t i = 0; i < program.lines.size(); ++i) {
    const auto line = static_cast<int32_t>(i + 1);
    const LineKind kind = program.lines[i].kind;
    for (int32_t word = 0; word < wordsOf(kind); ++word) {
      // The first word of an instruction or a data word names its line.
      words.push_back(word == 0 ? ImageWord{line, kind != LineKind::DataWord} : ImageWord{});
    }
  }
  size = static_cast<int32_t>(words.size());
  return words;
}

int asmCommand(int argc, const char* const* argv, std::istream& in, std::ostream& out,
               std::ostream& err) {
  Options options;
  if (std::optional<CliError> error = parseOptions(argc, argv, false, options)) {
    err << "akkusim asm: " << error->message << '\n';
    return kExitUsage;
  }
  LoadedProgram loaded;
  auto machine = std::make_unique<MachineState>();
  if (std::optional<int> failed = prepareMachine(options, in, err, loaded, *machine)) {
    return *failed;
  }
  int32_t size = 0;
  const std::vector<ImageWord> words = imageWordsOf(loaded.program, size);
  if (options.json) {
    printImageJson(out, *machine, words.data(), size);
  } else {
    printImageText(out, *machine, words.data(), size);
  }
  out.flush();
  return kExitHold;
}

}  // namespace

bool isCliInvocation(int argc, const char* const* argv) {
  if (argc < 2) return false;
  const std::string_view command = argv[1];
  return command == "run" || command == "asm" || command == "--help" || command == "-h" ||
         command == "--version";
}

int runCli(int argc, const char* const* argv, std::istream& in, std::ostream& out,
           std::ostream& err) {
  if (argc < 2) {
    err << "akkusim: kein Befehl (siehe akkusim --help)\n";
    return kExitUsage;
  }
  const std::string_view command = argv[1];
  if (command == "--help" || command == "-h") {
    out << kHelp;
    return 0;
  }
  if (command == "--version") {
    out << kVersion << '\n';
    return 0;
  }
  if (command == "run") return runCommand(argc, argv, in, out, err);
  if (command == "asm") return asmCommand(argc, argv, in, out, err);
  err << "akkusim: unbekannter Befehl '" << command << "' (siehe akkusim --help)\n";
  return kExitUsage;
}

}  // namespace akkusim
