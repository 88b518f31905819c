#include "platform/web/program_store.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

#include "support/temp_folder.h"

using namespace akkusim;

namespace {

std::string readBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct Folders {
  TempFolder temp{"program_store"};
  std::filesystem::path root = temp.path();
  std::filesystem::path examples = root / "Beispiele";
  std::filesystem::path folder = root / "akkusim" / "Programme";

  Folders() { std::filesystem::create_directories(examples); }
  void write(const std::filesystem::path& path, const std::string& bytes) const {
    std::ofstream(path, std::ios::binary) << bytes;
  }
};

TEST(SeedProgramFolder, FirstVisitCopiesTheExamplesLaterVisitsKeepTheLearnersFolder) {
  Folders f;
  f.write(f.examples / "summe.txt", "HOLD\r\n");
  f.write(f.examples / "liesmich.md", "-");
  ASSERT_TRUE(seedProgramFolder(f.folder, f.examples));
  EXPECT_EQ(readBytes(f.folder / "summe.txt"), "HOLD\r\n");
  EXPECT_FALSE(std::filesystem::exists(f.folder / "liesmich.md"));

  // The learner changed one example and removed another kind of file.
  f.write(f.folder / "summe.txt", "LOADI 1\r\n");
  f.write(f.examples / "neu.txt", "NOOP\r\n");
  ASSERT_TRUE(seedProgramFolder(f.folder, f.examples));
  EXPECT_EQ(readBytes(f.folder / "summe.txt"), "LOADI 1\r\n");
  EXPECT_FALSE(std::filesystem::exists(f.folder / "neu.txt"));
}

TEST(SeedProgramFolder, FailsWhenTheFolderCannotBeMade) {
  Folders f;
  f.write(f.root / "akkusim", "a file where the folder belongs");
  EXPECT_FALSE(seedProgramFolder(f.folder, f.examples));
}

TEST(ProgramNameOfUpload, FollowsTheChoosersRules) {
  struct Case {
    std::string fileName;
    std::optional<std::string> name;
  };
  const std::string forty(40, 'x');
  for (const Case& c : {
           Case{"summe.txt", "summe"},
           Case{"Aufgabe_3-b.TXT", "Aufgabe_3-b"},
           Case{forty + ".txt", forty},
           Case{forty + "x.txt", std::nullopt},
           Case{".txt", std::nullopt},
           Case{"summe", std::nullopt},
           Case{"summe.txt.bak", std::nullopt},
           Case{"mein programm.txt", std::nullopt},
           Case{"\xC3\xBC"
                "bung.txt",
                std::nullopt},
           Case{".versteckt.txt", std::nullopt},
           Case{"a.b.txt", std::nullopt},
           Case{"../summe.txt", std::nullopt},
       }) {
    EXPECT_EQ(programNameOfUpload(c.fileName), c.name) << c.fileName;
  }
}

TEST(StoreUpload, KeepsTheBytesAsSentAndAsksBeforeReplacing) {
  Folders f;
  std::filesystem::create_directories(f.folder);
  const std::string sent = "LOADI 7\nHOLD\t# \x84nde\r";
  EXPECT_EQ(storeUpload(f.folder, "neu.TXT", sent, false), UploadResult::Stored);
  EXPECT_EQ(readBytes(f.folder / "neu.txt"), sent);

  EXPECT_EQ(storeUpload(f.folder, "neu.txt", "HOLD\r\n", false), UploadResult::Exists);
  EXPECT_EQ(readBytes(f.folder / "neu.txt"), sent);
  EXPECT_EQ(storeUpload(f.folder, "neu.txt", "HOLD\r\n", true), UploadResult::Stored);
  EXPECT_EQ(readBytes(f.folder / "neu.txt"), "HOLD\r\n");

  EXPECT_EQ(storeUpload(f.folder, "leer.txt", "", false), UploadResult::Stored);
  EXPECT_EQ(readBytes(f.folder / "leer.txt"), "");
  // Only the two files: no leftovers of the writing.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(f.folder),
                          std::filesystem::directory_iterator()),
            2);
}

TEST(StoreUpload, RefusesWithoutTouchingTheFolder) {
  Folders f;
  std::filesystem::create_directories(f.folder);
  f.write(f.folder / "alt.txt", "HOLD\r\n");
  std::filesystem::create_directories(f.folder / "ordner.txt");
  struct Case {
    std::string fileName;
    std::string bytes;
    bool overwrite;
    UploadResult result;
  };
  for (const Case& c : {
           Case{"alt programm.txt", "HOLD", true, UploadResult::BadName},
           Case{"alt.txt", std::string("HO\0LD", 5), true, UploadResult::NotText},
           Case{"alt.txt", std::string(kMaxUploadBytes + 1, 'x'), true, UploadResult::TooLarge},
           Case{"ordner.txt", "HOLD", true, UploadResult::WriteFailed},
       }) {
    EXPECT_EQ(storeUpload(f.folder, c.fileName, c.bytes, c.overwrite), c.result) << c.fileName;
  }
  EXPECT_EQ(readBytes(f.folder / "alt.txt"), "HOLD\r\n");
  EXPECT_TRUE(std::filesystem::is_directory(f.folder / "ordner.txt"));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(f.folder),
                          std::filesystem::directory_iterator()),
            2);
}

TEST(StoreUpload, FailsIntoAMissingFolder) {
  Folders f;
  EXPECT_EQ(storeUpload(f.folder, "neu.txt", "HOLD", false), UploadResult::WriteFailed);
}

}  // namespace
