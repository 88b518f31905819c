// Files named on the command line: a program read from a path or standard
// input, and the reasons an input is refused.

#include "files/program_input.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "support/temp_folder.h"

using namespace akkusim;

namespace fs = std::filesystem;

namespace {

class ProgramInput : public testing::Test {
 protected:
  void SetUp() override {
    temp_.emplace("program_input");
    folder_ = temp_->path();
  }
  void TearDown() override { temp_.reset(); }

  std::string write(const std::string& name, const std::string& bytes) {
    std::ofstream(folder_ / name, std::ios::binary) << bytes;
    return (folder_ / name).string();
  }

  std::optional<TempFolder> temp_;
  fs::path folder_;
};

TEST_F(ProgramInput, RefusesWhatIsNoProgramWithItsReason) {
  struct Case {
    std::string name;
    std::string file;
    std::string stdinBytes;
    std::string reason;
  };
  std::string huge(kMostProgramInputBytes + 1, 'a');
  const std::vector<Case> cases = {
      {"missing", (folder_ / "fehlt.txt").string(), "", "Datei nicht gefunden"},
      {"below a file", write("datei.txt", "HOLD\n") + "/x.txt", "", "Datei nicht gefunden"},
      {"directory", folder_.string(), "", "ein Verzeichnis, keine Programmdatei"},
      {"empty", write("leer.txt", ""), "", "leere Datei, kein Programm"},
      {"empty stdin", "-", "", "leere Datei, kein Programm"},
      {"binary", write("bin.txt", std::string("HOLD\n\0", 6)), "",
       "keine Textdatei (enth\xC3\xA4lt Nullbytes)"},
      {"binary stdin", "-", std::string("\0", 1), "keine Textdatei (enth\xC3\xA4lt Nullbytes)"},
      {"huge", write("gross.txt", huge), "",
       "zu gro\xC3\x9F f\xC3\xBCr ein Programm (mehr als 16 MiB)"},
      {"huge stdin", "-", huge, "zu gro\xC3\x9F f\xC3\xBCr ein Programm (mehr als 16 MiB)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::istringstream in(c.stdinBytes);

    const Result<LoadedProgram> read = readProgramInput(c.file, in);

    ASSERT_FALSE(read.ok());
    EXPECT_EQ(read.reason(), c.reason);
  }
}

TEST_F(ProgramInput, ReadsAFileOrStandardInputUpToTheLimit) {
  const std::string atLimit = std::string(kMostProgramInputBytes - 5, ' ') + "HOLD\n";
  std::istringstream in("LOADI 1\nHOLD\n");
  std::istringstream unused("");

  const Result<LoadedProgram> fromStdin = readProgramInput("-", in);
  const Result<LoadedProgram> fromFile = readProgramInput(write("grenze.txt", atLimit), unused);

  ASSERT_TRUE(fromStdin.ok()) << fromStdin.reason();
  EXPECT_EQ(fromStdin->program.lines.size(), 2u);
  ASSERT_TRUE(fromFile.ok()) << fromFile.reason();
  EXPECT_EQ(programDisplayName("-"), "Standardeingabe");
  EXPECT_EQ(programDisplayName("a/b.txt"), "a/b.txt");
}

TEST_F(ProgramInput, NamedFilesAreReadOneBytePastTheirLimit) {
  const std::string path = write("test.toml", "0123456789");

  const Result<std::string> whole = readNamedFile(path, "Testdatei", 10);
  const Result<std::string> cut = readNamedFile(path, "Testdatei", 4);
  const Result<std::string> folder = readNamedFile(folder_.string(), "Testdatei", 10);

  ASSERT_TRUE(whole.ok());
  EXPECT_EQ(*whole, "0123456789");
  ASSERT_TRUE(cut.ok());
  EXPECT_EQ(*cut, "01234");
  ASSERT_FALSE(folder.ok());
  EXPECT_EQ(folder.reason(), "ein Verzeichnis, keine Testdatei");
}

}  // namespace
