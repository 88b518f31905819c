// What only Windows does with program files: it refuses a save over a file
// that another program holds open, and it finds a file whatever the letter
// case of its name.

#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "files/disk_program_store.h"
#include "files/file_system.h"
#include "files/program_file.h"
#include "support/program_lines.h"
#include "support/temp_folder.h"

using namespace akkusim;

namespace {

namespace fs = std::filesystem;

std::string contentsOf(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

std::vector<std::string> entriesOf(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) {
    names.push_back(utf8FromPath(entry.path().filename()));
  }
  return names;
}

// How other programs hold a file: an editor that shares nothing, one that
// lets others read, one that lets others read and write but not delete.
TEST(FileHeldElsewhere, SaveSaysSoAndLosesNothing) {
  for (const DWORD sharing :
       {DWORD{0}, DWORD{FILE_SHARE_READ}, DWORD{FILE_SHARE_READ | FILE_SHARE_WRITE}}) {
    // Setup
    TempFolder temp("held_elsewhere");
    const fs::path path = temp.path() / "Summe.txt";
    std::ofstream(path, std::ios::binary) << "LOAD 1\r\n";
    const HANDLE other = ::CreateFileW(path.c_str(), GENERIC_READ, sharing, nullptr, OPEN_EXISTING,
                                       FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(other, INVALID_HANDLE_VALUE);

    // Run
    const Status saved = saveProgramFile(path, programOf({"HOLD"}));
    ::CloseHandle(other);

    // Verify
    ASSERT_FALSE(saved) << "sharing " << sharing;
    EXPECT_EQ(saved.reason(), kHeldElsewhereReason) << "sharing " << sharing;
    EXPECT_EQ(contentsOf(path), "LOAD 1\r\n");
    EXPECT_EQ(entriesOf(temp.path()), std::vector<std::string>{"Summe.txt"});
    // Closed there, the same save goes through.
    EXPECT_TRUE(saveProgramFile(path, programOf({"HOLD"})));
    EXPECT_EQ(contentsOf(path), "HOLD\r\n");
  }
}

// Tools on Windows write ".TXT": such a file is listed, loaded and saved
// like any other, and a save leaves one file, not a second beside it.
TEST(ProgramFolderOnWindows, AFileEndingInUpperCaseTxtIsListedLoadedAndSaved) {
  // Setup
  TempFolder temp("upper_case_txt");
  std::ofstream(temp.path() / "SUMME.TXT", std::ios::binary) << "LOADI 1\r\nHOLD\r\n";
  DiskProgramStore store(temp.path());

  // Run
  const std::vector<std::string> listed = store.list();
  const Result<LoadedProgram> loaded = store.load("SUMME");
  const Status saved = store.save("SUMME", programOf({"HOLD"}));

  // Verify
  EXPECT_EQ(listed, std::vector<std::string>{"SUMME"});
  ASSERT_TRUE(loaded);
  ASSERT_EQ(loaded.value().program.lines.size(), 2u);
  EXPECT_EQ(loaded.value().program.lines[0].text, "LOADI 1");
  EXPECT_TRUE(saved);
  EXPECT_EQ(entriesOf(temp.path()).size(), 1u);
  EXPECT_EQ(store.list(), std::vector<std::string>{"SUMME"});
  EXPECT_EQ(contentsOf(store.pathOf("SUMME")), "HOLD\r\n");
}

}  // namespace
