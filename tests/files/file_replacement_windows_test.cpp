// Saving over a file that another program holds open, which only Windows
// refuses.

#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

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

}  // namespace
