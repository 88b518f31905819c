#include "app/unsaved_changes.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "app/editor_command.h"
#include "app/file_command.h"
#include "app/session.h"
#include "files/disk_program_store.h"
#include "gfx/draw.h"
#include "gfx/key.h"
#include "gfx/screen.h"
#include "platform/headless/headless_platform.h"
#include "support/file_dialogs.h"
#include "support/program_lines.h"
#include "support/temp_folder.h"
#include "ui/listing_view.h"

using namespace akkusim;

namespace {

TEST(UnsavedChanges, ComparesWithTheFileLastLoadedOrSaved) {
  struct Case {
    const char* what;
    std::optional<std::vector<std::string>> stored;  // none: never saved
    std::vector<std::string> current;
    bool unsaved;
  };
  const std::vector<Case> cases = {
      {"new and empty", std::nullopt, {""}, false},
      {"new, only blank lines", std::nullopt, {"   ", "", "  "}, false},
      {"new with a line", std::nullopt, {"", "HOLD"}, true},
      {"as loaded", std::vector<std::string>{"LOAD 1", "HOLD"}, {"LOAD 1", "HOLD"}, false},
      {"padded by the cursor",
       std::vector<std::string>{"LOAD 1", "HOLD"},
       {std::string(41, ' ').replace(0, 6, "LOAD 1"), "HOLD", "", " "},
       false},
      {"a line changed", std::vector<std::string>{"LOAD 1", "HOLD"}, {"LOAD 2", "HOLD"}, true},
      {"a line added", std::vector<std::string>{"LOAD 1"}, {"LOAD 1", "HOLD"}, true},
      {"the last line removed", std::vector<std::string>{"LOAD 1", "HOLD"}, {"LOAD 1"}, true},
      {"an empty line inserted",
       std::vector<std::string>{"LOAD 1", "HOLD"},
       {"LOAD 1", "", "HOLD"},
       true},
      {"leading blank added", std::vector<std::string>{"HOLD"}, {" HOLD"}, true},
      {"emptied after a load", std::vector<std::string>{"HOLD"}, {""}, true},
  };
  for (const Case& c : cases) {
    Session session;
    if (c.stored) session.storedProgram = programOf(*c.stored);
    session.program = programOf(c.current);

    EXPECT_EQ(hasUnsavedChanges(session), c.unsaved) << c.what;
  }
}

// Loading, editing, saving and a new program on a headless window, as the learner
// goes through them.
TEST(UnsavedChanges, FollowLoadingEditingSavingAndANewProgram) {
  HeadlessPlatform platform;
  Screen screen{platform};
  ASSERT_TRUE(openScreen(screen, kScreenWidth, kScreenHeight).ok());
  fillBox(screen.window, 0, 0, kScreenWidth - 1, kScreenHeight - 1, kWhite);
  const TempFolder temp{"unsaved_changes"};
  const std::filesystem::path folder = temp.path() / "Programme";
  std::filesystem::create_directories(folder);
  std::ofstream(folder / "demo.txt", std::ios::binary) << "load 5\r\nHOLD\r\n";
  DiskProgramStore store{folder};
  ListingView listing = makeListingView();
  Session session;
  session.program.lines[0].text = "NOOP";

  EXPECT_TRUE(hasUnsavedChanges(session)) << "typed, never saved";
  platform.wait(5).click(kFirstEntryX, kFirstEntryY);
  ASSERT_EQ(loadProgram(screen, session, store), CommandResult::Done);
  EXPECT_FALSE(hasUnsavedChanges(session)) << "just loaded";

  session.program.lines[1].text = "HOLD  # Ende";
  EXPECT_TRUE(hasUnsavedChanges(session)) << "edited";
  platform.wait(5).key(keys::kEnter);
  ASSERT_EQ(saveProgram(screen, session, store), CommandResult::Done);
  EXPECT_FALSE(hasUnsavedChanges(session)) << "just saved";

  session.program.lines[0].text = "LOAD 6";
  platform.wait(5).key(keys::kEscape);
  ASSERT_EQ(saveProgram(screen, session, store), CommandResult::NotDone);
  EXPECT_TRUE(hasUnsavedChanges(session)) << "save cancelled";

  newProgram(screen, session, listing);
  EXPECT_FALSE(hasUnsavedChanges(session)) << "Neu";
  session.program.lines[0].text = "HOLD";
  EXPECT_TRUE(hasUnsavedChanges(session)) << "typed into the new program";
  destroyListingView(listing);
}

}  // namespace
