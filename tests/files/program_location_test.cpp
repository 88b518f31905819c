#include "files/program_location.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "files/file_system.h"
#include "files/program_folder.h"
#include "support/temp_folder.h"
#ifndef _WIN32
#include "support/unprivileged.h"
#endif

using namespace akkusim;

namespace {

namespace fs = std::filesystem;

void writeFile(const fs::path& path, const std::string& contents) {
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << contents;
}

std::string contentsOf(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(ProgramLocation, PlaceFollowsInstallationAndWritability) {
  struct Case {
    ProgramPlaceFacts facts;
    ProgramPlace expected;
  };
  using enum ProgramPlace;
  const std::vector<Case> cases = {
      // A build folder or an unpacked zip: beside the executable.
      {{.installed = false, .besideWritable = true, .userFolderKnown = true}, BesideExecutable},
      // A zip unpacked where the learner may not write.
      {{.installed = false, .besideWritable = false, .userFolderKnown = true}, UserFolder},
      // Installed for one user: writable, but the uninstaller's.
      {{.installed = true, .besideWritable = true, .userFolderKnown = true}, UserFolder},
      {{.installed = true, .besideWritable = false, .userFolderKnown = true}, UserFolder},
      // No documents folder to go to: as before, beside the executable.
      {{.installed = true, .besideWritable = false, .userFolderKnown = false}, BesideExecutable},
      {{.installed = false, .besideWritable = true, .userFolderKnown = false}, BesideExecutable},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(chooseProgramPlace(c.facts), c.expected)
        << "installed " << c.facts.installed << ", writable " << c.facts.besideWritable
        << ", user folder " << c.facts.userFolderKnown;
  }
}

TEST(ProgramLocation, SeedingOnlyAtFirstStartAndNeverOverAFile) {
  struct Case {
    bool firstStart;
    std::vector<std::string> present;
    std::vector<std::string> expected;
  };
  const std::vector<std::string> examples = {"addition.txt", "schleife.txt", "summe.txt"};
  const std::vector<Case> cases = {
      {true, {}, examples},
      // A learner's file of an example's name stays, in any letter case.
      {true, {"schleife.txt"}, {"addition.txt", "summe.txt"}},
      {true, {"SUMME.txt", "eigenes.txt"}, {"addition.txt", "schleife.txt"}},
      // Later starts bring back nothing the learner deleted.
      {false, {}, {}},
      {false, {"eigenes.txt"}, {}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(examplesToSeed(c.firstStart, examples, c.present), c.expected)
        << "first start " << c.firstStart << ", " << c.present.size() << " present";
  }
}

// The layouts as a build, a package and the Windows setup leave them.
class ProgramFolderTest : public ::testing::Test {
 protected:
  TempFolder temp_{"program_location"};
  fs::path home_ = temp_.path() / "home";
  fs::path userFolder_ = home_ / "akkusim" / "Programme";

  void SetUp() override { fs::create_directories(home_); }
};

TEST_F(ProgramFolderTest, BuildFolderKeepsProgramsBesideTheExecutable) {
  const fs::path build = temp_.path() / "build";
  writeFile(build / "Programme" / "summe.txt", "HOLD\r\n");

  const Result<fs::path> folder = prepareProgramFolder(build, home_);

  ASSERT_TRUE(folder) << folder.reason();
  EXPECT_EQ(*folder, build / "Programme");
  EXPECT_EQ(sharedFolder(build), build);
  EXPECT_FALSE(fs::exists(home_ / "akkusim"));
}

TEST_F(ProgramFolderTest, PackageSeedsTheHomeFolderOnceFromTheSharedFolder) {
  // Setup: /usr/bin/akkusim with /usr/share/akkusim beside it.
  const fs::path prefix = temp_.path() / "usr";
  const fs::path shared = prefix / "share" / "akkusim";
  writeFile(shared / "Programme" / "summe.txt", "LOAD 1\r\nHOLD\r\n");
  writeFile(shared / "Programme" / "schleife.txt", "JUMP 0\r\n");
  writeFile(shared / "Programme" / ".versteckt.txt", "x");
  fs::create_directories(prefix / "bin");

  // Run: the first start.
  const Result<fs::path> first = prepareProgramFolder(prefix / "bin", home_);

  // Verify
  ASSERT_TRUE(first) << first.reason();
  EXPECT_EQ(*first, userFolder_);
  EXPECT_EQ(sharedFolder(prefix / "bin"), shared);
  EXPECT_EQ(listProgramFolder(userFolder_), (std::vector<std::string>{"schleife", "summe"}));
  EXPECT_EQ(contentsOf(userFolder_ / "summe.txt"), "LOAD 1\r\nHOLD\r\n");
  EXPECT_FALSE(fs::exists(userFolder_ / ".versteckt.txt"));
  EXPECT_FALSE(fs::exists(prefix / "bin" / "Programme"));

  // Run: the learner changes one example and deletes the other, then starts again.
  writeFile(userFolder_ / "summe.txt", "HOLD\r\n");
  fs::remove(userFolder_ / "schleife.txt");
  const Result<fs::path> again = prepareProgramFolder(prefix / "bin", home_);

  // Verify
  ASSERT_TRUE(again) << again.reason();
  EXPECT_EQ(listProgramFolder(userFolder_), std::vector<std::string>{"summe"});
  EXPECT_EQ(contentsOf(userFolder_ / "summe.txt"), "HOLD\r\n");
}

TEST_F(ProgramFolderTest, SetupMarkerSendsProgramsToTheDocumentsFolder) {
  const fs::path installed = temp_.path() / "Programs" / "akkusim";
  writeFile(installed / "Programme" / "summe.txt", "HOLD\r\n");
  writeFile(installed / "installiert.txt", "");

  const Result<fs::path> folder = prepareProgramFolder(installed, home_);

  ASSERT_TRUE(folder) << folder.reason();
  EXPECT_EQ(*folder, userFolder_);
  EXPECT_EQ(listProgramFolder(userFolder_), std::vector<std::string>{"summe"});
  // Without a documents folder the programs stay where they were.
  EXPECT_EQ(*prepareProgramFolder(installed, std::nullopt), installed / "Programme");
}

TEST_F(ProgramFolderTest, UserFolderThatCannotBeMadeIsAFailure) {
  const fs::path prefix = temp_.path() / "usr";
  writeFile(prefix / "share" / "akkusim" / "Programme" / "summe.txt", "HOLD\r\n");
  fs::create_directories(prefix / "bin");
  writeFile(home_ / "akkusim", "a file where the folder would go");

  const Result<fs::path> folder = prepareProgramFolder(prefix / "bin", home_);

  ASSERT_FALSE(folder);
  EXPECT_NE(folder.reason().find("konnte nicht angelegt werden"), std::string::npos)
      << folder.reason();
}

// Root may write anywhere: the start runs in a child that is nobody then.
TEST_F(ProgramFolderTest, ReadOnlyFolderBesideTheExecutableSendsProgramsHome) {
#ifdef _WIN32
  GTEST_SKIP() << "a folder's read-only attribute keeps no one from writing into it on Windows";
#else
  const fs::path unpacked = temp_.path() / "zip";
  writeFile(unpacked / "Programme" / "summe.txt", "HOLD\r\n");
  for (const fs::path& path :
       {unpacked, unpacked / "Programme", unpacked / "Programme" / "summe.txt", home_}) {
    ASSERT_TRUE(handToUnprivilegedUser(path));
  }
  fs::permissions(unpacked / "Programme", fs::perms::owner_read | fs::perms::owner_exec);

  const ChildResult r = runUnprivileged([&](std::string& report) {
    const Result<fs::path> folder = prepareProgramFolder(unpacked, home_);
    report = folder ? utf8FromPath(*folder) : folder.reason();
    return 0;
  });

  EXPECT_EQ(r.exitCode, 0) << r.report;
  EXPECT_EQ(r.report, utf8FromPath(userFolder_));
  EXPECT_EQ(contentsOf(userFolder_ / "summe.txt"), "HOLD\r\n");
#endif
}

}  // namespace
