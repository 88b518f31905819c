// `akkusim test` on all cores: the command line's way to check a folder.

#include <algorithm>
#include <condition_variable>
#include <cstddef>
#include <istream>
#include <memory>
#include <mutex>
#include <optional>
#include <ostream>
#include <system_error>
#include <thread>
#include <vector>

#include "files/program_folder.h"
#include "grader/check.h"
#include "grader/report.h"
#include "grader/test_command.h"
#include "grader/test_file.h"
#include "grader/usable_cores.h"

namespace akkusim {

namespace {

// The workers check programs in order of their index and hand each result
// to the writer, which prints them in that order. A worker takes a program
// only while it is at most `window` ahead of the writer, so memory stays
// bounded however many programs a folder holds and however slow one is.
struct Pipeline {
  const TestSuite& suite;
  const std::vector<ProgramArgument>& files;
  std::istream& in;
  std::size_t window = 1;
  std::mutex lock{};
  std::condition_variable changed{};
  std::size_t next = 0;     // the next program a worker takes
  std::size_t written = 0;  // programs the writer has printed
  std::vector<std::optional<ProgramResult>> results{};
};

void checkWorker(Pipeline& p) {
  auto machines = std::make_unique<CheckMachines>();
  while (true) {
    std::size_t index = 0;
    {
      std::unique_lock<std::mutex> hold(p.lock);
      p.changed.wait(hold,
                     [&] { return p.next >= p.files.size() || p.next < p.written + p.window; });
      if (p.next >= p.files.size()) return;
      index = p.next++;
    }
    ProgramResult result = checkArgument(p.suite, p.files[index], p.in, *machines);
    {
      const std::lock_guard<std::mutex> hold(p.lock);
      p.results[index] = std::move(result);
    }
    p.changed.notify_all();
  }
}

}  // namespace

// Checks every program on all cores and reports each, in order, as soon as
// it and all before it are checked.
void checkOnAllCores(const TestSuite& suite, const std::vector<ProgramArgument>& files,
                     std::istream& in, std::ostream& out, ReportWriter& writer,
                     std::ostream* progressOut) {
  Pipeline pipeline{suite, files, in};
  Pipeline& p = pipeline;
  const std::size_t workers = std::min(usableCores(), p.files.size());
  p.window = 4 * workers;
  p.results.resize(p.files.size());
  std::vector<std::thread> threads;
  for (std::size_t t = 0; t < workers; ++t) {
    try {
      threads.emplace_back(checkWorker, std::ref(p));
    } catch (const std::system_error&) {
      break;
    }
  }
  if (threads.empty()) {
    // No thread to be had: check here, one program after the other.
    checkInOrder(suite, files, in, out, writer, progressOut);
    return;
  }
  for (std::size_t i = 0; i < p.files.size(); ++i) {
    ProgramResult result;
    {
      std::unique_lock<std::mutex> hold(p.lock);
      p.changed.wait(hold, [&] { return p.results[i].has_value(); });
      result = std::move(*p.results[i]);
      p.results[i].reset();
    }
    reportProgram(out, writer, p.suite, result);
    writeProgress(progressOut, i + 1, p.files.size());
    {
      const std::lock_guard<std::mutex> hold(p.lock);
      p.written = i + 1;
    }
    p.changed.notify_all();
  }
  for (std::thread& thread : threads) thread.join();
}

int runTestCommand(int argc, const char* const* argv, std::istream& in, std::ostream& out,
                   std::ostream& err, bool showProgress) {
  return runTestCommandWith(argc, argv, in, out, err, showProgress, checkOnAllCores);
}

}  // namespace akkusim
