// Laden and Speichern keep programs in the store they are given; a store
// that cannot keep a written program (the browser's, when its storage
// fails) makes the save a failed one.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "app/file_command.h"
#include "app/session.h"
#include "files/disk_program_store.h"
#include "gfx/draw.h"
#include "gfx/image.h"
#include "gfx/key.h"
#include "gfx/screen.h"
#include "platform/headless/headless_platform.h"
#include "support/file_dialogs.h"
#include "support/temp_folder.h"

using namespace akkusim;

namespace {

// A folder on disk that notes each use and may refuse to keep a save.
class RecordingStore : public DiskProgramStore {
 public:
  using DiskProgramStore::DiskProgramStore;
  std::vector<std::string> list() override {
    used.push_back("list");
    return DiskProgramStore::list();
  }
  bool exists(const std::string& name) override {
    used.push_back("exists " + name);
    return DiskProgramStore::exists(name);
  }
  Result<LoadedProgram> load(const std::string& name) override {
    used.push_back("load " + name);
    return DiskProgramStore::load(name);
  }
  Status save(const std::string& name, const ProgramText& program) override {
    used.push_back("save " + name);
    Status saved = DiskProgramStore::save(name, program);
    if (saved && !keeps) return Failure{"nicht behalten"};
    return saved;
  }
  std::vector<std::string> used;
  bool keeps = true;
};

struct Fixture {
  HeadlessPlatform platform;
  Screen screen{platform};
  TempFolder temp{"file_store"};
  std::filesystem::path folder = temp.path() / "Programme";
  RecordingStore store{folder};
  Session session;

  Fixture() {
    EXPECT_TRUE(openScreen(screen, kScreenWidth, kScreenHeight).ok());
    fillBox(screen.window, 0, 0, kScreenWidth - 1, kScreenHeight - 1, kWhite);
    std::filesystem::create_directories(folder);
    session.program.lines[0].text = "HOLD";
  }
};

TEST(FileStore, LoadAndSaveGoThroughTheStoreByName) {
  // Setup
  Fixture f;
  std::ofstream(f.folder / "demo.txt", std::ios::binary) << "LOAD 5\r\n";
  f.platform.wait(5).key(keys::kEscape);                 // Laden cancelled
  f.platform.wait(5).click(kFirstEntryX, kFirstEntryY);  // Laden "demo"
  f.platform.wait(5).type("2").key(keys::kEnter);        // Speichern as "demo2"

  // Run
  EXPECT_EQ(loadProgram(f.screen, f.session, f.store), CommandResult::NotDone);
  EXPECT_EQ(loadProgram(f.screen, f.session, f.store), CommandResult::Done);
  EXPECT_EQ(saveProgram(f.screen, f.session, f.store), CommandResult::Done);

  // Verify
  const std::vector<std::string> expected = {"list", "list",         "load demo",
                                             "list", "exists demo2", "save demo2"};
  EXPECT_EQ(f.store.used, expected);
  EXPECT_EQ(f.session.program.lines[0].text, "LOAD 5");
  EXPECT_TRUE(std::filesystem::exists(f.folder / "demo2.txt"));
}

TEST(FileStore, AProgramTheStoreCannotKeepIsASaveFailure) {
  // Setup
  Fixture f;
  f.store.keeps = false;
  Image message;
  f.platform.wait(5).type("neu").key(keys::kEnter).wait(10);
  f.platform.call([&] { message = f.screen.window; }).key(keys::kEnter);

  // Run
  const CommandResult result = saveProgram(f.screen, f.session, f.store);

  // Verify
  EXPECT_EQ(result, CommandResult::NotDone);
  EXPECT_EQ(pixelAt(message, kFailureFrameX, kFailureFrameY), kBlack);
}

}  // namespace
