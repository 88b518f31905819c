#include "platform/web/program_store.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

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

// The page's storage as the store uses it, noting every call.
class FakeStorage : public BrowserStorage {
 public:
  bool waitUntilReady() override {
    calls.push_back("wait");
    return kept;
  }
  bool persist() override {
    calls.push_back("persist");
    return persists;
  }
  void persistLater() override { calls.push_back("persist later"); }
  bool refresh() override {
    calls.push_back("refresh");
    if (otherTab) otherTab();
    return true;
  }
  void noteCurrentFile(const std::filesystem::path& path) override {
    calls.push_back("current " + path.filename().string());
  }
  std::vector<std::string> calls;
  // What another tab stored meanwhile, read back by the refresh.
  std::function<void()> otherTab;
  bool kept = true;
  bool persists = true;
};

struct StoreFixture : Folders {
  FakeStorage storage;
  BrowserProgramStore store{BrowserFolder{folder, examples}, storage};
  StoreFixture() { write(examples / "summe.txt", "HOLD\r\n"); }
};

TEST(BrowserProgramStore, TheFirstUseWaitsForTheStorageAndSeedsTheFolder) {
  // Setup
  StoreFixture f;
  ASSERT_FALSE(std::filesystem::exists(f.folder));

  // Run
  const std::vector<std::string> first = f.store.list();
  const bool exists = f.store.exists("summe");

  // Verify
  EXPECT_EQ(first, std::vector<std::string>{"summe"});
  EXPECT_TRUE(exists);
  EXPECT_EQ(f.storage.calls,
            (std::vector<std::string>{"wait", "persist later", "refresh", "refresh"}));
}

TEST(BrowserProgramStore, ASaveIsCompleteOnlyOnceTheBrowserHasStoredIt) {
  // Setup
  StoreFixture f;
  ProgramText program;
  program.lines[0].text = "NOOP";

  // Run
  const bool saved = f.store.save("neu", program).ok();
  f.storage.persists = false;
  const Status refused = f.store.save("weg", program);
  const bool loaded = f.store.load("summe").ok();

  // Verify
  EXPECT_TRUE(saved);
  EXPECT_FALSE(refused.ok());
  EXPECT_TRUE(loaded);
  EXPECT_EQ(f.storage.calls,
            (std::vector<std::string>{"wait", "persist later", "current neu.txt", "persist",
                                      "current weg.txt", "persist", "current summe.txt"}));
}

TEST(BrowserProgramStore, WithoutKeptStorageTheFolderLivesButNothingIsWrittenLater) {
  StoreFixture f;
  f.storage.kept = false;
  EXPECT_EQ(f.store.list(), std::vector<std::string>{"summe"});
  EXPECT_EQ(f.storage.calls, std::vector<std::string>{"wait"});
}

TEST(BrowserProgramStore, SeesWhatAnotherTabSavedWhenItLooksAgain) {
  enum class Here { Loaded, Saved, Nothing };
  struct Case {
    const char* what;
    Here here;
    std::optional<std::string> elsewhere;  // what another tab saved as summe.txt
    bool changed;
  };
  const std::vector<Case> cases{
      {"loaded, nothing saved elsewhere", Here::Loaded, std::nullopt, false},
      {"loaded, then saved elsewhere", Here::Loaded, "LOADI 2\r\n", true},
      {"saved, then the same bytes saved elsewhere", Here::Saved, "NOOP\r\n", false},
      {"saved, then saved elsewhere", Here::Saved, "LOADI 2\r\n", true},
      {"never looked at here", Here::Nothing, "LOADI 2\r\n", false},
  };
  for (const Case& c : cases) {
    // Setup
    StoreFixture f;
    ProgramText program;
    program.lines[0].text = "NOOP";
    if (c.here == Here::Loaded) {
      ASSERT_TRUE(f.store.load("summe").ok());
    }
    if (c.here == Here::Saved) {
      ASSERT_TRUE(f.store.save("summe", program).ok());
    }
    if (c.here == Here::Nothing) f.store.list();
    f.storage.otherTab = [&] {
      if (c.elsewhere) f.write(f.folder / "summe.txt", *c.elsewhere);
      f.write(f.folder / "fremd.txt", "HOLD\r\n");
    };
    // Run
    const bool changed = f.store.changedElsewhere("summe");
    const std::vector<std::string> listed = f.store.list();
    // Verify
    EXPECT_EQ(changed, c.changed) << c.what;
    EXPECT_EQ(listed, (std::vector<std::string>{"fremd", "summe"})) << c.what;
  }
}

TEST(BrowserProgramStore, AnUploadBeforeAnyOtherUseSeedsWithoutWaiting) {
  StoreFixture f;
  EXPECT_EQ(f.store.upload("neu.txt", "HOLD\n", false), UploadResult::Stored);
  EXPECT_TRUE(f.storage.calls.empty());
  EXPECT_EQ(readBytes(f.folder / "summe.txt"), "HOLD\r\n");
  EXPECT_EQ(f.store.list(), (std::vector<std::string>{"neu", "summe"}));
}

}  // namespace
