#pragma once
// Runs the real akkusim executable in a temporary folder of the test's own,
// with files written there first.

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>

#include "support/temp_folder.h"

namespace akkusim {

struct ProcessResult {
  int exitCode = -1;
  std::string out;
  std::string err;
};

// The text in single quotes for the shell.
std::string shellQuoted(const std::string& text);

class CommandTest : public testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Writes `bytes` to `name` (folders created) inside the test's folder.
  std::filesystem::path write(const std::string& name, const std::string& bytes);
  // `args` goes into the shell command as it is, with the test's folder as
  // the working folder; `input` feeds standard input.
  ProcessResult run(const std::string& args, const std::string& input = "");
  // The same with standard output on /dev/full, where every write fails as
  // on a full disk; `out` stays empty.
  ProcessResult runOntoFullDisk(const std::string& args);
  // The same on a pseudo-terminal: standard input, output and error are the
  // terminal unless `args` redirects them; `out` is what the terminal got.
  ProcessResult runOnTerminal(const std::string& args);

  std::optional<TempFolder> temp_;
  std::filesystem::path folder_;

 private:
  ProcessResult runWithOutput(const std::string& args, const std::string& input,
                              const std::filesystem::path& out);
};

}  // namespace akkusim
