#include "grader/test_command.h"

#include <sched.h>
#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <mutex>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <system_error>
#include <thread>
#include <vector>

#include "grader/check.h"
#include "grader/report.h"
#include "grader/test_file.h"

namespace fs = std::filesystem;

namespace {

// Below this many programs the check is over before a progress line helps.
constexpr std::size_t kProgressFrom = 20;

enum class Format { Text, Json, Csv };

struct TestOptions {
  std::string testFile;
  std::vector<std::string> programs;
  Format format = Format::Text;
};

std::optional<std::string> parseTestOptions(int argc, const char* const* argv,
                                            TestOptions& options) {
  bool haveTestFile = false;
  bool formatGiven = false;
  bool stdinTaken = false;
  for (int i = 2; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--json" || arg == "--csv") {
      const Format format = arg == "--json" ? Format::Json : Format::Csv;
      if (formatGiven && format != options.format)
        return "--json und --csv schlie\xC3\x9F"
               "en sich aus";
      options.format = format;
      formatGiven = true;
    } else if (arg.size() > 1 && arg[0] == '-') {
      return "unbekannte Option '" + std::string(arg) + "' (siehe akkusim --help)";
    } else if (!haveTestFile) {
      options.testFile = std::string(arg);
      haveTestFile = true;
    } else {
      if (arg == "-") {
        // Standard input can be read only once.
        if (stdinTaken) return std::string("'-' (Standardeingabe) nur einmal angeben");
        stdinTaken = true;
      }
      options.programs.emplace_back(arg);
    }
  }
  if (!haveTestFile) return std::string("Testdatei fehlt (siehe akkusim --help)");
  if (options.programs.empty())
    return std::string("Programmdatei oder Ordner fehlt (siehe akkusim --help)");
  return std::nullopt;
}

enum class TestFileRead { Read, Unreadable, TooLarge };

TestFileRead readWholeFile(const std::string& path, std::string& text, std::string& reason) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) {
    reason = errno == ENOENT || errno == ENOTDIR
                 ? std::string("Datei nicht gefunden")
                 : "nicht lesbar (" + std::string(std::strerror(errno)) + ")";
    return TestFileRead::Unreadable;
  }
  if (S_ISDIR(info.st_mode)) {
    reason = "ein Verzeichnis, keine Testdatei";
    return TestFileRead::Unreadable;
  }
  std::ifstream in(path, std::ios::binary);
  if (!in.is_open()) {
    reason = "nicht lesbar (" + std::string(std::strerror(errno)) + ")";
    return TestFileRead::Unreadable;
  }
  // One byte past the limit tells a file that is too large, whatever its size claims.
  text.resize(kMostTestFileBytes + 1);
  in.read(text.data(), static_cast<std::streamsize>(text.size()));
  if (in.bad()) {
    reason = "Lesefehler";
    return TestFileRead::Unreadable;
  }
  text.resize(static_cast<std::size_t>(in.gcount()));
  return text.size() > kMostTestFileBytes ? TestFileRead::TooLarge : TestFileRead::Read;
}

bool isProgramFileName(const std::string& name) {
  if (name.size() < 5) return false;
  std::string ending = name.substr(name.size() - 4);
  for (char& c : ending) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  return ending == ".txt";
}

// A folder stands for its program files, by name; anything else is taken as
// a program file and read (or refused) as `run` would.
std::vector<std::string> programFiles(const std::vector<std::string>& arguments) {
  std::vector<std::string> files;
  for (const std::string& argument : arguments) {
    std::error_code error;
    if (argument == "-" || !fs::is_directory(argument, error)) {
      files.push_back(argument);
      continue;
    }
    std::vector<std::string> found;
    for (fs::directory_iterator it(argument, error), end; !error && it != end;
         it.increment(error)) {
      std::error_code typeError;
      if (it->is_regular_file(typeError) && isProgramFileName(it->path().filename().string())) {
        found.push_back(it->path().string());
      }
    }
    std::sort(found.begin(), found.end());
    files.insert(files.end(), found.begin(), found.end());
  }
  return files;
}

// Shared by the workers: the next program to take and how many are done.
struct Progress {
  std::atomic<std::size_t> next{0};
  std::atomic<std::size_t> done{0};
  std::mutex errLock;
};

void checkPrograms(const TestSuite& suite, const std::vector<std::string>& files, std::istream& in,
                   std::vector<ProgramResult>& results, Progress& progress,
                   std::ostream* progressOut) {
  auto machines = std::make_unique<CheckMachines>();
  for (std::size_t i = progress.next++; i < files.size(); i = progress.next++) {
    results[i] = checkProgram(suite, files[i], in, *machines);
    const std::size_t done = ++progress.done;
    if (progressOut != nullptr) {
      const std::lock_guard<std::mutex> lock(progress.errLock);
      *progressOut << "\rgepr\xC3\xBC"
                      "ft: "
                   << done << " von " << files.size() << std::flush;
    }
  }
}

// The cores this process may run on (taskset and containers narrow them).
std::size_t usableCores() {
  cpu_set_t set;
  CPU_ZERO(&set);
  if (::sched_getaffinity(0, sizeof set, &set) == 0 && CPU_COUNT(&set) > 0) {
    return static_cast<std::size_t>(CPU_COUNT(&set));
  }
  return std::max(1u, std::thread::hardware_concurrency());
}

// Every core takes programs until none is left; each result lands in its
// own slot, so the output order never depends on the timing.
std::vector<ProgramResult> checkAll(const TestSuite& suite, const std::vector<std::string>& files,
                                    std::istream& in, std::ostream* progressOut) {
  std::vector<ProgramResult> results(files.size());
  Progress progress;
  const std::size_t cores = usableCores();
  const std::size_t helpers = std::min(cores, files.size()) - 1;
  std::vector<std::thread> threads;
  for (std::size_t t = 0; t < helpers; ++t) {
    try {
      threads.emplace_back(checkPrograms, std::cref(suite), std::cref(files), std::ref(in),
                           std::ref(results), std::ref(progress), progressOut);
    } catch (const std::system_error&) {
      break;  // fewer threads: the calling thread still checks every program left
    }
  }
  checkPrograms(suite, files, in, results, progress, progressOut);
  for (std::thread& thread : threads) thread.join();
  if (progressOut != nullptr) *progressOut << '\r' << std::string(40, ' ') << '\r' << std::flush;
  return results;
}

}  // namespace

int runTestCommand(int argc, const char* const* argv, std::istream& in, std::ostream& out,
                   std::ostream& err, bool showProgress) {
  TestOptions options;
  if (std::optional<std::string> problem = parseTestOptions(argc, argv, options)) {
    err << "akkusim test: " << *problem << '\n';
    return kTestExitUsage;
  }
  std::string text;
  std::string reason;
  switch (readWholeFile(options.testFile, text, reason)) {
    case TestFileRead::Unreadable:
      err << "akkusim test: " << options.testFile << ": " << reason << '\n';
      return kTestExitUsage;
    case TestFileRead::TooLarge:
    case TestFileRead::Read:
      break;
  }
  const TestFileReading reading = readTestFile(text);
  if (!reading.suite) {
    err << "akkusim test: " << options.testFile << ':' << reading.error.line << ':'
        << reading.error.column << ": " << reading.error.reason << '\n';
    return kTestExitInvalidTestFile;
  }
  const TestSuite& suite = *reading.suite;

  const std::vector<std::string> files = programFiles(options.programs);
  if (files.empty()) {
    err << "akkusim test: keine Programmdateien (.txt) gefunden\n";
    return kTestExitUsage;
  }
  std::ostream* progressOut = showProgress && files.size() >= kProgressFrom ? &err : nullptr;
  const std::vector<ProgramResult> results = checkAll(suite, files, in, progressOut);

  switch (options.format) {
    case Format::Text:
      printResultsText(out, suite, results);
      break;
    case Format::Json:
      printResultsJson(out, suite, results);
      break;
    case Format::Csv:
      printResultsCsv(out, suite, results);
      break;
  }
  out.flush();
  const bool allPassed = std::all_of(results.begin(), results.end(), [&](const ProgramResult& r) {
    return r.passed == static_cast<int32_t>(suite.cases.size());
  });
  return allPassed ? kTestExitAllPassed : kTestExitSomeFailed;
}
