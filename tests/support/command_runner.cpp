#include "support/command_runner.h"

#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <iterator>

namespace akkusim {

namespace fs = std::filesystem;

namespace {

std::string contentsOf(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace

std::string shellQuoted(const std::string& text) {
  std::string result = "'";
  for (char c : text) {
    if (c == '\'') {
      result += "'\\''";
    } else {
      result += c;
    }
  }
  return result + "'";
}

void CommandTest::SetUp() {
  temp_.emplace("command");
  folder_ = temp_->path();
  fs::create_directories(folder_ / "work");
}

void CommandTest::TearDown() {
  temp_.reset();
}

fs::path CommandTest::write(const std::string& name, const std::string& bytes) {
  const fs::path path = folder_ / "work" / name;
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << bytes;
  return path;
}

ProcessResult CommandTest::run(const std::string& args, const std::string& input) {
  return runWithOutput(args, input, folder_ / "out");
}

ProcessResult CommandTest::runOntoFullDisk(const std::string& args) {
  return runWithOutput(args, "", "/dev/full");
}

ProcessResult CommandTest::runWithOutput(const std::string& args, const std::string& input,
                                         const fs::path& out) {
  const fs::path in = folder_ / "stdin";
  std::ofstream(in, std::ios::binary) << input;
  const std::string command = "cd " + shellQuoted((folder_ / "work").string()) + " && " +
                              shellQuoted(AKKUSIM_EXE) + " " + args + " <" +
                              shellQuoted(in.string()) + " >" + shellQuoted(out.string()) + " 2>" +
                              shellQuoted((folder_ / "err").string());
  const int status = std::system(command.c_str());
  ProcessResult result;
  result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1000;
  if (out == folder_ / "out") result.out = contentsOf(out);
  result.err = contentsOf(folder_ / "err");
  return result;
}

ProcessResult CommandTest::runOnTerminal(const std::string& args) {
  const std::string command = "cd " + shellQuoted((folder_ / "work").string()) + " && " +
                              shellQuoted(AKKUSIM_EXE) + " " + args;
  int terminal = -1;
  const pid_t child = ::forkpty(&terminal, nullptr, nullptr, nullptr);
  if (child == 0) {
    ::execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
    ::_exit(127);
  }
  ProcessResult result;
  if (child < 0) return result;
  char buffer[4096];
  for (;;) {
    const ssize_t n = ::read(terminal, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;  // EIO once the child has closed the terminal
    result.out.append(buffer, static_cast<std::size_t>(n));
  }
  ::close(terminal);
  int status = 0;
  ::waitpid(child, &status, 0);
  result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1000;
  return result;
}

}  // namespace akkusim
