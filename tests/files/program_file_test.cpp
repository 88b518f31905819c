#include "files/program_file.h"

#ifdef _WIN32
#include <windows.h>
// windows.h first.
#include <psapi.h>
#else
#include <sys/resource.h>
#endif

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <streambuf>
#include <string>
#include <vector>

#include "support/program_lines.h"
#include "support/temp_folder.h"
#include "support/unprivileged.h"

using namespace akkusim;

namespace fs = std::filesystem;

namespace {

std::vector<std::string> textsOf(const ProgramText& program) {
  std::vector<std::string> texts;
  for (const ProgramLine& line : program.lines) texts.push_back(line.text);
  return texts;
}

LoadedProgram readBytes(const std::string& bytes) {
  std::istringstream in(bytes);
  return readProgram(in);
}

struct ReadCase {
  const char* name;
  std::string bytes;
  std::vector<std::string> texts;
  bool incomplete;
};

TEST(ReadProgram, SplitsCleansAndCutsLines) {
  const std::string forty(40, 'x');
  const std::string thirtySix(36, 'y');
  const std::string thirtySeven(37, 'z');
  // clang-format off
  const std::vector<ReadCase> cases = {
      {"empty input", "", {""}, false},
      {"one line end", "\n", {""}, false},
      {"LF", "a\nb\n", {"a", "b"}, false},
      {"CR LF", "a\r\nb\r\n", {"a", "b"}, false},
      {"lone CR", "a\rb\r", {"a", "b"}, false},
      {"CR CR LF is one empty line", "a\r\r\nb", {"a", "", "b"}, false},
      {"LF CR gives two line ends", "a\n\rb", {"a", "", "b"}, false},
      {"final line without end", "a\nb", {"a", "b"}, false},
      {"blank lines kept", "\n\n\n", {"", "", ""}, false},
      {"tab as four blanks", "\tA", {"    A"}, false},
      {"36 + tab fits exactly", thirtySix + "\t", {thirtySix + "    "}, false},
      {"37 + tab is cut", thirtySeven + "\t", {thirtySeven + "   "}, true},
      {"45 characters cut to 40", forty + "12345\nnext", {forty, "next"}, true},
      {"over-long line ends at a lone CR", forty + "12345\rnext\rlast", {forty, "next", "last"},
       true},
      {"40 characters kept", forty + "\r\n", {forty}, false},
      {"form feed dropped", "ab\fc", {"abc"}, true},
      {"NUL dropped", std::string("a\0b", 3), {"ab"}, true},
      {"byte 255 dropped", "a\xFF" "b", {"ab"}, true},
      {"bytes 127 to 254 kept", "\x7F\x80\xFE", {"\x7F\x80\xFE"}, false},
      {"cut where a UTF-8 letter starts", std::string(40, 'a') + "\xC3\xA4",
       {std::string(40, 'a')}, true},
  };
  // clang-format on
  for (const ReadCase& c : cases) {
    SCOPED_TRACE(c.name);
    const LoadedProgram loaded = readBytes(c.bytes);
    EXPECT_EQ(textsOf(loaded.program), c.texts);
    EXPECT_EQ(loaded.incomplete, c.incomplete);
  }
}

// Editors elsewhere write UTF-8, many with a byte order mark; the editor
// holds code page 437 ("größe" is 67 72 94 E1 65).
TEST(ReadProgram, SkipsAByteOrderMarkAndTakesPlainUtf8AsCodePage437) {
  const std::string bom = "\xEF\xBB\xBF";
  const std::string groesse =
      "gr\xC3\xB6\xC3\x9F"
      "e";  // UTF-8
  const std::string latin1 = "M\xFCller";
  struct Utf8Case {
    const char* name;
    std::string bytes;
    std::vector<std::string> texts;
    bool readAsUtf8;
  };
  // clang-format off
  const std::vector<Utf8Case> cases = {
      {"byte order mark skipped", bom + "LOAD 1\r\nHOLD\r\n", {"LOAD 1", "HOLD"}, true},
      {"byte order mark alone", bom, {""}, true},
      {"UTF-8 letters", "; " + groesse + "\nHOLD", {"; gr\x94\xE1" "e", "HOLD"}, true},
      {"UTF-8 after a byte order mark", bom + groesse, {"gr\x94\xE1" "e"}, true},
      {"every upper-half character", "\xC3\x87\xE2\x96\x91\xCE\xB1\xC2\xB2",
       {"\x80\xB0\xE0\xFD"}, true},
      {"40 UTF-8 letters fill a line", [] {
         std::string s;
         for (int i = 0; i < 40; ++i) s += "\xC3\xA4";
         return s;
       }(), {std::string(40, '\x84')}, true},
      {"no-break space", "a\xC2\xA0" "b", {"a b"}, true},
      {"a character outside the code page", "; \xE2\x82\xAC", {"; \xE2\x82\xAC"}, false},
      {"Latin-1 after UTF-8", "; " + groesse + "\n; " + latin1,
       {"; gr\xC3\xB6\xC3\x9F" "e", "; " + latin1}, false},
      {"byte order mark, then Latin-1", bom + latin1, {latin1}, false},
      {"truncated at the end", "; \xC3", {"; \xC3"}, false},
      {"overlong form", "\xC0\xAF", {"\xC0\xAF"}, false},
      {"surrogate", "\xED\xA0\x80", {"\xED\xA0\x80"}, false},
      {"mark not at the start", "a" + bom, {"a" + bom}, false},
  };
  // clang-format on
  for (const Utf8Case& c : cases) {
    SCOPED_TRACE(c.name);
    const LoadedProgram loaded = readBytes(c.bytes);
    EXPECT_EQ(textsOf(loaded.program), c.texts);
    EXPECT_EQ(loaded.readAsUtf8, c.readAsUtf8);
    EXPECT_FALSE(loaded.incomplete);
  }
}

// The editor's upper half (128 to 254) is written as it is and must come
// back so, whatever of it happens to look like UTF-8.
TEST(ReadProgram, WhatTheEditorWroteReadsBackByteForByte) {
  std::vector<std::vector<std::string>> programs = {
      {"; gr\x94\xE1"
       "e f\x81r \x8E"
       "pfel, \x99l und \x9A"
       "bel",
       "HOLD"},
      {"; \xDA\xC4\xC4\xBF \xC9\xCD\xBB \xC4\xBF\xB3 \xBA\xC8\xBC",
       "; \xC0\xC4\xD9 \xC3\xC5\xB4 \xC2\xC1"},
      {"; \xE0\xE1\xE2\xE3 \xE4\xE5\xE6\xE7 \xF8\xF9\xFA\xFB\xFC\xFD\xFE"},
      {"; 10\xF8"
       "C \xAB"
       "a\xBB \xA8"
       "b? \xAD"
       "c! \xE1\x84\x94"},
  };
  // Every byte of the upper half alone, and in runs of 32 in order.
  for (int byte = 128; byte <= 254; ++byte) {
    programs.push_back({"LOAD 1 ; " + std::string(1, static_cast<char>(byte))});
  }
  for (int row = 128; row < 256; row += 32) {
    std::string run;
    for (int byte = row; byte < row + 32 && byte <= 254; ++byte) run += static_cast<char>(byte);
    programs.push_back({run});
  }
  for (const std::vector<std::string>& texts : programs) {
    SCOPED_TRACE(texts.front());
    ProgramText program;
    program.lines.clear();
    for (const std::string& text : texts) {
      ProgramLine line;
      line.text = text;
      appendLine(program, line);
    }
    std::ostringstream out;
    ASSERT_TRUE(writeProgram(out, program));

    const LoadedProgram loaded = readBytes(out.str());

    EXPECT_EQ(textsOf(loaded.program), texts);
    EXPECT_FALSE(loaded.readAsUtf8);
    EXPECT_FALSE(loaded.incomplete);
  }
}

// Where code page 437 text is UTF-8 of the code page's characters, UTF-8
// wins: "├ñ" is what "ä" in UTF-8 looks like in code page 437.
TEST(ReadProgram, MojibakeOfUtf8ReadsAsTheLetters) {
  EXPECT_EQ(textsOf(readBytes("; \xC3\xA4").program), std::vector<std::string>{"; \x84"});
}

TEST(ReadProgram, ParsesEveryLineWithItsIndex) {
  const LoadedProgram loaded = readBytes("hold\r\nfoo\r\n  x: word 7\r\n");

  ASSERT_EQ(loaded.program.lines.size(), 3u);
  EXPECT_EQ(loaded.program.lines[0].text, "HOLD");
  EXPECT_TRUE(loaded.program.lines[0].valid);
  EXPECT_FALSE(loaded.program.lines[1].valid);
  EXPECT_EQ(loaded.program.lines[2].text, "  x: WORD 7");
  for (int i = 0; i < 3; ++i)
    EXPECT_EQ(loaded.program.lines[static_cast<std::size_t>(i)].lineIndex, i);
}

TEST(ReadProgram, KeepsAtMostTheLargestProgramAndMarksTheRestAsLost) {
  std::string exactlyFull;
  for (int i = 0; i < kMaxProgramLines; ++i) exactlyFull += "NOOP\r\n";

  const LoadedProgram full = readBytes(exactlyFull);
  EXPECT_EQ(lineCount(full.program), kMaxProgramLines);
  EXPECT_FALSE(full.incomplete);
  EXPECT_EQ(full.program.lines.back().lineIndex, static_cast<int16_t>(kMaxProgramLines - 1));

  const LoadedProgram oneMore = readBytes(exactlyFull + "HOLD");
  EXPECT_EQ(lineCount(oneMore.program), kMaxProgramLines);
  EXPECT_TRUE(oneMore.incomplete);

  const LoadedProgram oneMoreEmpty = readBytes(exactlyFull + "\r\n");
  EXPECT_EQ(lineCount(oneMoreEmpty.program), kMaxProgramLines);
  EXPECT_TRUE(oneMoreEmpty.incomplete);
}

// An endless-looking stream of one character: nothing is stored beyond what
// the program can hold.
class RepeatingBuffer : public std::streambuf {
 public:
  RepeatingBuffer(char fill, std::size_t total) : block_(1 << 20, fill), left_(total) {}

 protected:
  int_type underflow() override {
    if (left_ == 0) return traits_type::eof();
    const std::size_t n = std::min(left_, block_.size());
    left_ -= n;
    setg(block_.data(), block_.data(), block_.data() + n);
    return traits_type::to_int_type(block_[0]);
  }

 private:
  std::string block_;
  std::size_t left_;
};

long maxResidentKilobytes() {
#ifdef _WIN32
  PROCESS_MEMORY_COUNTERS counters{};
  ::K32GetProcessMemoryInfo(::GetCurrentProcess(), &counters, sizeof counters);
  return static_cast<long>(counters.PeakWorkingSetSize / 1024);
#else
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
#endif
}

TEST(ReadProgram, ReadsAHugeSingleLineInBoundedMemory) {
  constexpr std::size_t kBytes = 256u << 20;
  RepeatingBuffer buffer('q', kBytes);
  std::istream in(&buffer);
  const long before = maxResidentKilobytes();

  const LoadedProgram loaded = readProgram(in);

  EXPECT_EQ(textsOf(loaded.program), std::vector<std::string>{std::string(40, 'q')});
  EXPECT_TRUE(loaded.incomplete);
  EXPECT_LT(maxResidentKilobytes() - before, 64 * 1024);
}

TEST(WriteProgram, WritesEachTextAsHeldWithCrLf) {
  ProgramText program;
  program.lines[0].text = "LOAD 5  ";
  appendLine(program, ProgramLine{});
  ProgramLine umlaut;
  umlaut.text =
      "# gr\x94\xE1"
      "e";  // "größe" in the editor's code page 437
  appendLine(program, umlaut);
  std::ostringstream out;

  EXPECT_TRUE(writeProgram(out, program));

  EXPECT_EQ(out.str(),
            "LOAD 5  \r\n\r\n# gr\x94\xE1"
            "e\r\n");
  EXPECT_EQ(textsOf(readBytes(out.str()).program), textsOf(program));
}

TEST(WriteProgram, ReportsAFailedStream) {
  std::ostringstream out;
  out.setstate(std::ios::badbit);
  EXPECT_FALSE(writeProgram(out, ProgramText{}));
}

TEST(WriteProgram, LineWithFortyFirstBlankComesBackCutWithWarning) {
  ProgramText program;
  program.lines[0].text = std::string(40, 'a') + " ";
  std::ostringstream out;
  writeProgram(out, program);

  const LoadedProgram loaded = readBytes(out.str());

  EXPECT_EQ(textsOf(loaded.program), std::vector<std::string>{std::string(40, 'a')});
  EXPECT_TRUE(loaded.incomplete);
}

class ProgramFileTest : public testing::Test {
 protected:
  void SetUp() override {
    temp_.emplace("program_file");
    folder_ = temp_->path();
  }
  void TearDown() override {
    std::error_code error;
    fs::permissions(folder_, fs::perms::owner_all, fs::perm_options::add, error);
    temp_.reset();
  }

  static std::string contentsOf(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  static void writeFile(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
  }
  std::vector<std::string> folderEntries() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder_)) {
      names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  std::optional<TempFolder> temp_;
  fs::path folder_;
};

TEST_F(ProgramFileTest, SaveThenLoadGivesTheSameLinesAndOnlyTheFile) {
  const fs::path path = folder_ / "Summe.txt";
  writeFile(path, "old contents that are longer than the new ones\n");

  ASSERT_TRUE(saveProgramFile(path, programOf({"LOADI 5", "", "HOLD"})));

  EXPECT_EQ(contentsOf(path), "LOADI 5\r\n\r\nHOLD\r\n");
  EXPECT_EQ(folderEntries(), std::vector<std::string>{"Summe.txt"});
  const std::optional<LoadedProgram> loaded = loadProgramFile(path);
  ASSERT_TRUE(loaded.has_value());
  EXPECT_EQ(textsOf(loaded->program), (std::vector<std::string>{"LOADI 5", "", "HOLD"}));
  EXPECT_FALSE(loaded->incomplete);
}

TEST_F(ProgramFileTest, LoadSkipsAByteOrderMark) {
  const fs::path path = folder_ / "notepad.txt";
  writeFile(path, "\xEF\xBB\xBFLOADI 5\r\nHOLD\r\n");

  const std::optional<LoadedProgram> loaded = loadProgramFile(path);

  ASSERT_TRUE(loaded.has_value());
  EXPECT_EQ(textsOf(loaded->program), (std::vector<std::string>{"LOADI 5", "HOLD"}));
  EXPECT_TRUE(loaded->program.lines[0].valid);
}

TEST_F(ProgramFileTest, LoadGivesNothingForMissingFilesAndFolders) {
  EXPECT_FALSE(loadProgramFile(folder_ / "missing.txt").has_value());
  EXPECT_FALSE(loadProgramFile(folder_).has_value());
}

TEST_F(ProgramFileTest, SaveIntoAMissingFolderFails) {
  EXPECT_FALSE(saveProgramFile(folder_ / "nowhere" / "x.txt", programOf({"HOLD"})));
  EXPECT_FALSE(fs::exists(folder_ / "nowhere"));
}

TEST_F(ProgramFileTest, SaveOverADirectoryFailsAndLeavesNoTemporaryFile) {
  fs::create_directory(folder_ / "taken.txt");
  writeFile(folder_ / "taken.txt" / "inside", "keep");

  EXPECT_FALSE(saveProgramFile(folder_ / "taken.txt", programOf({"HOLD"})));

  EXPECT_EQ(folderEntries(), std::vector<std::string>{"taken.txt"});
  EXPECT_EQ(contentsOf(folder_ / "taken.txt" / "inside"), "keep");
}

// Root may write into read-only folders: the save runs in a child that is
// nobody then, owning the folder and the file as the user would.
TEST_F(ProgramFileTest, SaveIntoAReadOnlyFolderKeepsTheOldFile) {
#ifdef _WIN32
  GTEST_SKIP() << "a folder's read-only attribute keeps no one from writing into it on Windows";
#else
  const fs::path path = folder_ / "alt.txt";
  writeFile(path, "LOAD 1\r\n");
  ASSERT_TRUE(handToUnprivilegedUser(folder_));
  ASSERT_TRUE(handToUnprivilegedUser(path));
  fs::permissions(folder_, fs::perms::owner_read | fs::perms::owner_exec);

  const ChildResult r = runUnprivileged([&path](std::string& report) {
    report = saveProgramFile(path, programOf({"HOLD"})) ? "saved" : "refused";
    return 0;
  });

  EXPECT_EQ(r.exitCode, 0) << r.report;
  EXPECT_EQ(r.report, "refused");
  EXPECT_EQ(contentsOf(path), "LOAD 1\r\n");
  EXPECT_EQ(folderEntries(), std::vector<std::string>{"alt.txt"});
#endif
}

TEST_F(ProgramFileTest, SaveOverAWriteProtectedFileKeepsIt) {
  const fs::path path = folder_ / "alt.txt";
  writeFile(path, "LOAD 1\r\n");
  fs::permissions(path, fs::perms::owner_read | fs::perms::group_read);

  EXPECT_FALSE(saveProgramFile(path, programOf({"HOLD"})));

  EXPECT_EQ(contentsOf(path), "LOAD 1\r\n");
  EXPECT_EQ(folderEntries(), std::vector<std::string>{"alt.txt"});
}

TEST_F(ProgramFileTest, SaveKeepsThePermissionsOfTheReplacedFile) {
#ifdef _WIN32
  GTEST_SKIP() << "Windows has no permissions for owner and group, only a read-only attribute";
#else
  const fs::path path = folder_ / "alt.txt";
  writeFile(path, "x");
  fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);

  ASSERT_TRUE(saveProgramFile(path, programOf({"HOLD"})));

  EXPECT_EQ(fs::status(path).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
#endif
}

}  // namespace
