#include "files/file_system.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "files/program_file.h"
#include "files/program_folder.h"
#include "support/program_lines.h"
#include "support/temp_folder.h"

using namespace akkusim;

namespace {

namespace fs = std::filesystem;

std::string contentsOf(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Names as a teacher's folders have them: umlauts, ß and spaces.
TEST(FileSystem, NamesWithUmlautsAndSpacesSaveListAndExpand) {
  // Setup
  TempFolder temp("file_system");
  const std::string folderName =
      "Sch\xC3\xBCler Gr\xC3\xB6\xC3\x9F"
      "e 7b";
  const fs::path folder = temp.path() / pathFromUtf8(folderName);
  fs::create_directory(folder);
  const fs::path file = folder / pathFromUtf8(
                                     "\xC3\x9C"
                                     "bung 1.txt");

  // Run
  const Status saved = saveProgramFile(file, programOf({"LOADI 7", "HOLD"}));
  const ProgramArguments expanded = expandProgramArguments({utf8FromPath(temp.path())});

  // Verify: the name comes back as the same UTF-8 bytes.
  ASSERT_TRUE(saved) << saved.reason();
  EXPECT_EQ(contentsOf(file), "LOADI 7\r\nHOLD\r\n");
  EXPECT_EQ(utf8FromPath(file.filename()),
            "\xC3\x9C"
            "bung 1.txt");
  ASSERT_EQ(expanded.programs.size(), 1u);
  EXPECT_EQ(pathFromUtf8(expanded.programs[0].file), file);
  EXPECT_EQ(expanded.programs[0].learner, folderName);
}

TEST(FileSystem, Utf8RoundTripsAndSubFoldersUseSlashes) {
  for (const std::string text : {"", "a.txt",
                                 "Stra\xC3\x9F"
                                 "e/\xC3\xA4 b",
                                 "\xE2\x82\xAC.txt"}) {
    EXPECT_EQ(utf8FromPath(pathFromUtf8(text)), text);
  }
  EXPECT_EQ(genericUtf8FromPath(fs::path("Klasse") / "Anna" / "v2"), "Klasse/Anna/v2");
}

TEST(FileSystem, IdentityTellsFilesApartWhateverTheWayTheyAreWritten) {
  // Setup
  TempFolder temp("file_identity");
  fs::create_directory(temp.path() / "sub");
  std::ofstream(temp.path() / "a.txt") << "HOLD\n";
  std::ofstream(temp.path() / "b.txt") << "HOLD\n";

  // Run
  const std::optional<FileIdentity> a = fileIdentity(temp.path() / "a.txt");
  const std::optional<FileIdentity> again = fileIdentity(temp.path() / "sub" / ".." / "a.txt");
  const std::optional<FileIdentity> b = fileIdentity(temp.path() / "b.txt");

  // Verify
  ASSERT_TRUE(a && again && b);
  EXPECT_EQ(*a, *again);
  EXPECT_NE(*a, *b);
  EXPECT_FALSE(fileIdentity(temp.path() / "fehlt.txt"));
}

TEST(FileSystem, ExecutableFolderHoldsTheRunningProgram) {
  const fs::path folder = executableFolder("");
  std::error_code error;
  EXPECT_TRUE(fs::is_directory(folder, error)) << utf8FromPath(folder);
  EXPECT_TRUE(folder.is_absolute()) << utf8FromPath(folder);
}

TEST(FileSystem, DocumentsFolderIsNamedAndNewFilesAreJudgedPerFolder) {
  TempFolder temp("file_system");

  const std::optional<fs::path> documents = userDocumentsFolder();

  ASSERT_TRUE(documents);
  EXPECT_TRUE(documents->is_absolute()) << utf8FromPath(*documents);
  EXPECT_TRUE(folderAcceptsNewFiles(temp.path()));
  EXPECT_FALSE(folderAcceptsNewFiles(temp.path() / "fehlt"));
  // The judgement leaves nothing behind.
  EXPECT_TRUE(fs::is_empty(temp.path()));
}

}  // namespace
