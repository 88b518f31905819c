#include "grader/test_command.h"

#include <filesystem>
#include <istream>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "base/result.h"
#include "files/program_folder.h"
#include "files/program_input.h"
#include "grader/check.h"
#include "grader/report.h"
#include "grader/test_file.h"

namespace akkusim {

namespace {

// Below this many programs the check is over before a progress line helps.
constexpr std::size_t kProgressFrom = 20;

struct TestOptions {
  std::string testFile;
  std::vector<std::string> programs;
  ReportFormat format = ReportFormat::Text;
  ReportView view = ReportView::Teacher;
  std::optional<char> csvSeparator;
};

// `--csv-separator X`: ';' for German spreadsheets (the default), ',' for others.
Status takeSeparator(int argc, const char* const* argv, int& i, TestOptions& options) {
  if (i + 1 >= argc) return Failure{"--csv-separator erwartet einen Wert"};
  const std::string_view value = argv[++i];
  if (value != ";" && value != ",") {
    return Failure{"--csv-separator erwartet ';' oder ',', nicht '" + std::string(value) + "'"};
  }
  options.csvSeparator = value[0];
  return succeeded();
}

Result<TestOptions> parseTestOptions(int argc, const char* const* argv) {
  TestOptions options;
  bool haveTestFile = false;
  bool formatGiven = false;
  bool stdinTaken = false;
  for (int i = 2; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--json" || arg == "--csv") {
      const ReportFormat format = arg == "--json" ? ReportFormat::Json : ReportFormat::Csv;
      if (formatGiven && format != options.format) {
        return Failure{
            "--json und --csv schlie\xC3\x9F"
            "en sich aus"};
      }
      options.format = format;
      formatGiven = true;
    } else if (arg == "--learner") {
      options.view = ReportView::Learner;
    } else if (arg == "--csv-separator") {
      const Status taken = takeSeparator(argc, argv, i, options);
      if (!taken) return Failure{taken.reason()};
    } else if (arg.size() > 1 && arg[0] == '-') {
      return Failure{"unbekannte Option '" + std::string(arg) + "' (siehe akkusim --help)"};
    } else if (!haveTestFile) {
      options.testFile = std::string(arg);
      haveTestFile = true;
    } else {
      if (arg == "-") {
        // Standard input can be read only once.
        if (options.testFile == "-") {
          return Failure{
              "'-' (Standardeingabe) ist schon die Testdatei; Programme als Dateien oder Ordner "
              "angeben"};
        }
        if (stdinTaken) return Failure{"'-' (Standardeingabe) nur einmal angeben"};
        stdinTaken = true;
      }
      options.programs.emplace_back(arg);
    }
  }
  if (!haveTestFile) return Failure{"Testdatei fehlt (siehe akkusim --help)"};
  if (options.programs.empty()) {
    return Failure{"Programmdatei oder Ordner fehlt (siehe akkusim --help)"};
  }
  if (options.csvSeparator && options.format != ReportFormat::Csv) {
    return Failure{"--csv-separator nur zusammen mit --csv"};
  }
  return options;
}

// The test file, or standard input for "-". A file past the limit is read
// one byte beyond it, which readTestFile refuses.
Result<std::string> readTestText(const std::string& file, std::istream& in) {
  if (file != "-") return readNamedFile(file, "Testdatei", kMostTestFileBytes);
  std::string text(kMostTestFileBytes + 1, '\0');
  in.read(text.data(), static_cast<std::streamsize>(text.size()));
  if (in.bad()) return Failure{"Lesefehler"};
  text.resize(static_cast<std::size_t>(in.gcount()));
  return text;
}

}  // namespace

void writeProgress(std::ostream* progressOut, std::size_t done, std::size_t total) {
  if (progressOut == nullptr) return;
  *progressOut << "\rgepr\xC3\xBC"
                  "ft: "
               << done << " von " << total << std::flush;
}

void checkInOrder(const TestSuite& suite, const std::vector<ProgramArgument>& files,
                  std::istream& in, std::ostream& out, ReportWriter& writer,
                  std::ostream* progressOut) {
  auto machines = std::make_unique<CheckMachines>();
  for (std::size_t i = 0; i < files.size(); ++i) {
    const ProgramResult result = checkArgument(suite, files[i], in, *machines);
    reportProgram(out, writer, suite, result);
    writeProgress(progressOut, i + 1, files.size());
  }
}

int runTestCommandWith(int argc, const char* const* argv, std::istream& in, std::ostream& out,
                       std::ostream& err, bool showProgress, CheckAndReport checkAndReport) {
  const Result<TestOptions> parsed = parseTestOptions(argc, argv);
  if (!parsed) {
    err << "akkusim test: " << parsed.reason() << '\n';
    return kTestExitUsage;
  }
  const TestOptions& options = *parsed;
  const std::string testFileName = programDisplayName(options.testFile);
  const Result<std::string> text = readTestText(options.testFile, in);
  if (!text) {
    err << "akkusim test: " << testFileName << ": " << text.reason() << '\n';
    return kTestExitUsage;
  }
  const TestFileReading reading = readTestFile(*text);
  if (!reading.suite) {
    err << "akkusim test: " << testFileName;
    if (reading.error.line > 0) err << ':' << reading.error.line << ':' << reading.error.column;
    err << ": " << reading.error.reason << '\n';
    return kTestExitInvalidTestFile;
  }
  const TestSuite& suite = *reading.suite;

  const ProgramArguments arguments = expandProgramArguments(options.programs);
  const std::vector<ProgramArgument>& files = arguments.programs;
  if (files.empty()) {
    err << "akkusim test: keine Programmdateien (.txt) gefunden\n";
    return kTestExitUsage;
  }
  std::ostream* progressOut = showProgress && files.size() >= kProgressFrom ? &err : nullptr;
  ReportWriter writer;
  writer.format = options.format;
  writer.view = options.view;
  writer.csvSeparator = options.csvSeparator.value_or(';');
  writer.skipped = arguments.skipped;
  beginReport(out, writer, suite);
  checkAndReport(suite, files, in, out, writer, progressOut);
  endReport(out, writer, suite);
  out.flush();
  if (options.format == ReportFormat::Csv) {
    // The grade book stays one row per program; the skipped files go aside.
    for (const std::string& file : arguments.skipped) err << skippedLine(file) << '\n';
  }
  if (progressOut != nullptr) *progressOut << '\r' << std::string(40, ' ') << '\r' << std::flush;
  return writer.passedPrograms == writer.programs ? kTestExitAllPassed : kTestExitSomeFailed;
}

}  // namespace akkusim
