#include "cli/cli.h"

#include <charconv>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/cli_report.h"
#include "cli/terminal.h"
#include "files/program_input.h"
#include "grader/test_command.h"
#include "machine/memory_words.h"
#include "machine/run.h"
#include "program/assemble.h"
#include "program/messages.h"

namespace akkusim {

namespace {

constexpr std::string_view kVersion = "akkusim " AKKUSIM_VERSION;
constexpr int64_t kDefaultMaxSteps = 10'000'000;

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
    "  akkusim test TESTDATEI PROGRAMM... [Optionen]\n"
    "                               pr\xC3\xBC"
    "ft Programme (Dateien oder Ordner) mit den\n"
    "                               F\xC3\xA4llen der Testdatei\n"
    "  akkusim --help | --version\n"
    "\n"
    "DATEI \"-\" liest die Standardeingabe.\n"
    "\n"
    "Optionen f\xC3\xBCr run:\n"
    "  --max-steps N    h\xC3\xB6"
    "chstens N Schritte (Vorgabe 10000000)\n"
    "  --trace          eine Zeile je Schritt vor dem Endzustand\n"
    "  --dump VON-BIS   zus\xC3\xA4tzlich die Speicherw\xC3\xB6rter VON bis BIS (0 bis 65535)\n"
    "  --set ADR=W,...  schreibt vor dem Lauf W ... ab Adresse ADR (-32768 bis 65535)\n"
    "  --json           Ausgabe als ein JSON-Objekt\n"
    "\n"
    "Optionen f\xC3\xBCr test:\n"
    "  --json | --csv   Ausgabe als JSON-Objekt oder als Tabelle (CSV, UTF-8)\n"
    "  --csv-separator Z  Trennzeichen der Tabelle: ; (Vorgabe) oder ,\n"
    "  --learner        Sicht der Lernenden: verborgene F\xC3\xA4lle ohne Einzelheiten\n"
    "\n"
    "Exit-Codes: 0 HOLD erreicht, 1 Aufruf-, Datei- oder Schreibfehler, 2 Fehler\n"
    "beim Assemblieren, 3 Laufzeitfehler, 4 Schrittgrenze erreicht.\n"
    "test: 0 alle F\xC3\xA4lle bestanden, 5 ein Fall nicht bestanden, 1 Aufruf-, Datei-\n"
    "oder Schreibfehler, 2 ung\xC3\xBCltige Testdatei.\n";

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
  std::vector<WordBlock> words;  // --set, in the order given
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

std::optional<CliError> parseSet(std::string_view text, Options& options) {
  std::optional<WordBlock> block = parseWordBlock(text);
  if (!block) {
    return CliError{
        "--set erwartet ADRESSE=WERT[,WERT...] mit Adresse 0 bis 65535 und Werten "
        "von -32768 bis 65535 (nicht \xC3\xBC"
        "ber 65535 hinaus), nicht '" +
        std::string(text) + "'"};
  }
  options.words.push_back(std::move(*block));
  return std::nullopt;
}

std::optional<CliError> parseDump(std::string_view text, Options& options) {
  if (options.dump) return CliError{"--dump nur einmal angeben"};
  const CliError error{"--dump erwartet VON-BIS mit 0 <= VON <= BIS <= 65535, nicht '" +
                       std::string(text) + "'"};
  const std::size_t dash = text.find('-');
  if (dash == std::string_view::npos) return error;
  const std::optional<uint64_t> from = parseDecimal(text.substr(0, dash));
  const std::optional<uint64_t> to = parseDecimal(text.substr(dash + 1));
  if (!from || !to || *from > *to || !isAddress(static_cast<int64_t>(*to))) return error;
  options.dump = MemoryRange{static_cast<Address>(*from), static_cast<Address>(*to)};
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
    } else if (withRunOptions && (arg == "--max-steps" || arg == "--dump" || arg == "--set")) {
      if (!hasValue) return CliError{std::string(arg) + " erwartet einen Wert"};
      const std::string_view value = argv[++i];
      const std::optional<CliError> error = arg == "--max-steps" ? parseMaxSteps(value, options)
                                            : arg == "--dump"    ? parseDump(value, options)
                                                                 : parseSet(value, options);
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
  // As in a test file: each word once, whatever the order of the options.
  if (const std::optional<int32_t> address = firstRepeatedAddress(options.words)) {
    return CliError{"--set: Adresse " + std::to_string(*address) + " ist mehrfach angegeben"};
  }
  return std::nullopt;
}

// Messages go to standard error one line per line of the message.
void printLines(std::ostream& err, const MessageLines& lines) {
  for (const std::string& line : lines) err << line << '\n';
}

// Loads and assembles; on failure prints the reason and gives the exit code.
std::optional<int> prepareMachine(const Options& options, std::istream& in, std::ostream& err,
                                  LoadedProgram& loaded, MachineState& machine) {
  Result<LoadedProgram> read = readProgramInput(options.file, in);
  if (!read) {
    err << "akkusim: " << programDisplayName(options.file) << ": " << read.reason() << '\n';
    return kExitUsage;
  }
  loaded = std::move(*read);
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

// Prints each step of a traced run as it happens, as text or as the
// elements of the JSON trace array.
StepObserver tracePrinter(std::ostream& out, bool json) {
  if (json) beginJsonTrace(out);
  return [&out, json, first = true](const MachineState& machine) mutable {
    if (json) {
      printTraceJson(out, machine, first);
    } else {
      printTraceText(out, machine);
    }
    first = false;
  };
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
  for (const WordBlock& block : options.words) writeWords(*machine, block);

  const RunSummary run = options.trace
                             ? runToEnd(*machine, options.maxSteps, tracePrinter(out, options.json))
                             : runToEnd(*machine, options.maxSteps);
  RunReport report;
  report.machine = machine.get();
  report.steps = run.steps;
  report.end = run.end;
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
  return command == "run" || command == "asm" || command == "test" || command == "--help" ||
         command == "-h" || command == "--version";
}

namespace {

int runCommandLine(int argc, const char* const* argv, std::istream& in, std::ostream& out,
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
  if (command == "test") {
    return runTestCommand(argc, argv, in, out, err, &err == &std::cerr && progressWanted());
  }
  err << "akkusim: unbekannter Befehl '" << command << "' (siehe akkusim --help)\n";
  return kExitUsage;
}

}  // namespace

int runCli(int argc, const char* const* argv, std::istream& in, std::ostream& out,
           std::ostream& err) {
  const int code = runCommandLine(argc, argv, in, out, err);
  // A report that did not reach its file (a full disk) must not pass for
  // one that did: a script would hand on an empty grade book.
  out.flush();
  if (!out) {
    err << "akkusim: die Ausgabe konnte nicht geschrieben werden\n";
    return kExitUsage;
  }
  return code;
}

}  // namespace akkusim
