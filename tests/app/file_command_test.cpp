#include "app/file_command.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/session.h"
#include "files/disk_program_store.h"
#include "gfx/draw.h"
#include "gfx/image.h"
#include "gfx/key.h"
#include "gfx/screen.h"
#include "platform/headless/headless_platform.h"
#include "support/file_dialogs.h"
#include "support/temp_folder.h"
#include "ui/listing_view.h"
#include "ui/message_box.h"

using namespace akkusim;

namespace {

std::string readBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A folder another tab of the browser may have saved into meanwhile.
struct SharedFolderStore : DiskProgramStore {
  using DiskProgramStore::DiskProgramStore;
  bool changedElsewhere(const std::string& /*name*/) override { return savedElsewhere; }
  bool savedElsewhere = false;
};

// The commands called on their own, on a headless window, so that their
// status values can be seen.
struct CommandFixture {
  HeadlessPlatform platform;
  Screen screen{platform};
  TempFolder temp{"file_command"};
  std::filesystem::path root = temp.path();
  std::filesystem::path folder = root / "Programme";
  SharedFolderStore store{folder};
  Session session;

  CommandFixture() {
    EXPECT_TRUE(openScreen(screen, kScreenWidth, kScreenHeight).ok());
    fillBox(screen.window, 0, 0, kScreenWidth - 1, kScreenHeight - 1, kWhite);
    std::filesystem::create_directories(folder);
    session.program.lines[0].text = "NOOP";
    session.highlightLine = 1;
  }
  ~CommandFixture() {
    std::error_code ignored;
    std::filesystem::permissions(folder / "alt.txt", std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
  }

  void write(const std::string& name, const std::string& bytes) const {
    std::ofstream(folder / (name + ".txt"), std::ios::binary) << bytes;
  }
  std::string read(const std::string& name) const { return readBytes(folder / (name + ".txt")); }

  HeadlessPlatform& capture(Image& into) {
    return platform.call([this, &into] { into = screen.window; });
  }
};

TEST(LoadCommand, PickedFileReplacesTheProgram) {
  CommandFixture f;
  f.write("demo", "load 5\r\nHOLD\n# Ende\rx: word 3");
  f.platform.wait(5).click(kFirstEntryX, kFirstEntryY);

  EXPECT_EQ(loadProgram(f.screen, f.session, f.store), CommandResult::Done);
  ASSERT_EQ(lineCount(f.session.program), 4);
  EXPECT_EQ(f.session.program.lines[0].text, "LOAD 5");
  EXPECT_EQ(f.session.program.lines[2].text, "# Ende");
  EXPECT_EQ(f.session.program.lines[3].text, "x: WORD 3");
  EXPECT_EQ(f.session.program.lines[3].lineIndex, 3);
  EXPECT_EQ(f.session.fileName, "demo");
  EXPECT_EQ(f.session.highlightLine, 0);
}

TEST(LoadCommand, CancelOrCloseKeepsTheProgramButTakesTheResultAsFileName) {
  struct Case {
    const char* what;
    bool close;
    bool useEscape;
    CommandResult status;
    std::string fileName;
  };
  const std::vector<Case> cases = {
      {"Escape", false, true, CommandResult::NotDone, ""},
      {"Abbruch", false, false, CommandResult::NotDone, ""},
      {"close", true, false, CommandResult::WindowClosed, ""},
  };
  for (const Case& c : cases) {
    CommandFixture f;
    f.write("demo", kOld);
    f.session.fileName = "alt";
    f.platform.wait(5);
    if (c.close) {
      f.platform.closeWindow();
    } else if (c.useEscape) {
      f.platform.key(keys::kEscape);
    } else {
      f.platform.click(kCancelX, kCancelY);
    }

    EXPECT_EQ(loadProgram(f.screen, f.session, f.store), c.status) << c.what;
    EXPECT_EQ(f.session.fileName, c.fileName) << c.what;
    EXPECT_EQ(f.session.program.lines[0].text, "NOOP") << c.what;
    EXPECT_EQ(f.session.highlightLine, 1) << c.what;
  }
}

TEST(LoadCommand, FileThatCannotBeOpenedLeavesTheProgramWithoutAMessage) {
  CommandFixture f;
  f.write("weg", kOld);
  f.platform.wait(5)
      .call([&f] { std::filesystem::remove(f.folder / "weg.txt"); })
      .click(kFirstEntryX, kFirstEntryY)
      .wait(5);

  EXPECT_EQ(loadProgram(f.screen, f.session, f.store), CommandResult::NotDone);
  EXPECT_EQ(f.session.fileName, "weg");
  EXPECT_EQ(f.session.program.lines[0].text, "NOOP");
  EXPECT_LT(f.platform.nowMs(), 40.0) << "no message box waited";
}

TEST(LoadCommand, LossesShowTheWarningOnceAndItsAnswerIsTheStatus) {
  struct Case {
    Key answer;  // key for the warning box
    CommandResult status;
  };
  const std::vector<Case> cases = {{keys::kEnter, CommandResult::Done},
                                   {keys::kEscape, CommandResult::Done},
                                   {keys::kWindowClose, CommandResult::WindowClosed}};
  for (const Case& c : cases) {
    CommandFixture f;
    f.write("lang", std::string(45, 'x') + "\r\nHO\x01LD\r\n\x0c\r\n");
    Image warning;
    f.platform.wait(5).click(kFirstEntryX, kFirstEntryY).wait(10);
    f.capture(warning).key(c.answer);

    EXPECT_EQ(loadProgram(f.screen, f.session, f.store), c.status);
    EXPECT_EQ(pixelAt(warning, kWarningFrameX, kWarningFrameY), kBlack) << "warning shown";
    ASSERT_EQ(lineCount(f.session.program), 3);
    EXPECT_EQ(f.session.program.lines[0].text, std::string(40, 'x'));
    EXPECT_EQ(f.session.program.lines[1].text, "HOLD");
    EXPECT_EQ(f.session.program.lines[2].text, "");
  }
}

TEST(SaveCommand, TypedNameWritesEveryLineWithCrLf) {
  CommandFixture f;
  f.session.program.lines = {ProgramLine{}, ProgramLine{}, ProgramLine{}};
  f.session.program.lines[0].text = "LOAD 5  ";
  f.session.program.lines[1].text = "";
  f.session.program.lines[2].text = "# \xc3\xa4nderung";
  f.platform.wait(5).type("neu_1").key(keys::kEnter);

  EXPECT_EQ(saveProgram(f.screen, f.session, f.store), CommandResult::Done);
  EXPECT_EQ(f.read("neu_1"), "LOAD 5  \r\n\r\n# \xc3\xa4nderung\r\n");
  EXPECT_EQ(f.session.fileName, "neu_1");
  for (const auto& entry : std::filesystem::directory_iterator(f.folder)) {
    EXPECT_EQ(entry.path().filename(), "neu_1.txt") << "no temporary file left";
  }
}

TEST(SaveCommand, OverwriteQuestionGuardsOtherExistingFiles) {
  struct Case {
    const char* what;
    std::string fileName;       // before
    std::optional<Key> answer;  // none = no question expected
    CommandResult status;
    bool written;
    std::string fileNameAfter;
    bool savedElsewhere = false;  // since this window loaded or saved it
  };
  const std::vector<Case> cases = {
      {"Ja", "", keys::kEnter, CommandResult::Done, true, "alt"},
      {"Nein", "anders", keys::kEscape, CommandResult::Declined, false, "anders"},
      {"close", "", keys::kWindowClose, CommandResult::WindowClosed, false, ""},
      {"same name", "alt", std::nullopt, CommandResult::Done, true, "alt"},
      {"same name, saved elsewhere, Nein", "alt", keys::kEscape, CommandResult::Declined, false,
       "alt", true},
      {"same name, saved elsewhere, Ja", "alt", keys::kEnter, CommandResult::Done, true, "alt",
       true},
  };
  for (const Case& c : cases) {
    CommandFixture f;
    f.write("alt", kOld);
    f.session.fileName = c.fileName;
    f.store.savedElsewhere = c.savedElsewhere;
    Image question;
    f.platform.wait(5);
    if (c.fileName != "alt") {
      for (std::size_t i = 0; i < c.fileName.size(); ++i) f.platform.key(keys::kBackspace);
      f.platform.type("alt");
    }
    f.platform.key(keys::kEnter).wait(10);
    f.capture(question);
    if (c.answer) f.platform.key(*c.answer);

    EXPECT_EQ(saveProgram(f.screen, f.session, f.store), c.status) << c.what;
    // Without a question the command returns before the capture is due.
    const bool questionShown =
        question.width > 0 && pixelAt(question, kQuestionFrameX, kQuestionFrameY) == kBlack;
    EXPECT_EQ(questionShown, c.answer.has_value()) << c.what;
    EXPECT_EQ(f.read("alt"), c.written ? "NOOP\r\n" : kOld) << c.what;
    EXPECT_EQ(f.session.fileName, c.fileNameAfter) << c.what;
  }
}

TEST(SaveCommand, CancelOrCloseInTheChooserWritesNothing) {
  const std::vector<std::pair<Key, CommandResult>> cases = {
      {keys::kEscape, CommandResult::NotDone}, {keys::kWindowClose, CommandResult::WindowClosed}};
  for (const auto& [key, status] : cases) {
    CommandFixture f;
    f.session.fileName = "alt";
    f.platform.wait(5).key(key);
    EXPECT_EQ(saveProgram(f.screen, f.session, f.store), status);
    EXPECT_EQ(f.session.fileName, "alt");
    EXPECT_TRUE(std::filesystem::is_empty(f.folder));
  }
}

// Windows keeps device names in every folder: such a program could not be
// copied to a school PC, so the chooser's name is refused with a reason.
TEST(SaveCommand, DeviceNamesAreRefusedWithAReason) {
  const MessageLayout box = layoutMessage(
      "Fehler: Diesen Namen hat Windows f\xC3\xBCr ein Ger\xC3\xA4t\\nreserviert (CON, NUL, "
      "COM1 ...).\\nBitte w\xC3\xA4hle einen anderen Namen.",
      " OK ");
  struct Case {
    std::string name;
    bool refused;
  };
  for (const Case& c : {Case{"con", true}, Case{"Nul", true}, Case{"COM1", true},
                        Case{"lpt9", true}, Case{"console", false}, Case{"com10", false}}) {
    CommandFixture f;
    f.session.fileName = "alt";
    Image message;
    f.platform.wait(5);
    for (int i = 0; i < 3; ++i) f.platform.key(keys::kBackspace);
    f.platform.type(c.name).key(keys::kEnter).wait(10);
    f.capture(message).key(keys::kEnter);

    const CommandResult status = saveProgram(f.screen, f.session, f.store);
    EXPECT_EQ(status, c.refused ? CommandResult::NotDone : CommandResult::Done) << c.name;
    EXPECT_EQ(std::filesystem::is_empty(f.folder), c.refused) << c.name;
    EXPECT_EQ(f.session.fileName, c.refused ? "alt" : c.name) << c.name;
    if (c.refused) {
      EXPECT_EQ(pixelAt(message, box.x, box.y), kBlack) << c.name;
    }
  }
}

TEST(SaveCommand, FailureShowsAMessageAndKeepsTheOldFile) {
  enum class Fault { MissingFolder, ReadOnlyFile, FolderInTheWay };
  struct Case {
    const char* what;
    Fault fault;
    Key answer;
    CommandResult status;
    std::string fileName = "alt";  // before; "alt" is typed over another one
  };
  const std::vector<Case> cases = {
      {"missing folder", Fault::MissingFolder, keys::kEnter, CommandResult::NotDone},
      {"missing folder, closed", Fault::MissingFolder, keys::kWindowClose,
       CommandResult::WindowClosed},
      {"read-only file", Fault::ReadOnlyFile, keys::kEnter, CommandResult::NotDone},
      {"folder named alt.txt", Fault::FolderInTheWay, keys::kEscape, CommandResult::NotDone},
      // A folder is no file to overwrite: no question, the save fails.
      {"folder named alt.txt, new name", Fault::FolderInTheWay, keys::kEnter,
       CommandResult::NotDone, ""},
  };
  for (const Case& c : cases) {
    CommandFixture f;
    switch (c.fault) {
      case Fault::MissingFolder:
        std::filesystem::remove_all(f.folder);
        break;
      case Fault::ReadOnlyFile:
        f.write("alt", kOld);
        std::filesystem::permissions(f.folder / "alt.txt", std::filesystem::perms::owner_read |
                                                               std::filesystem::perms::group_read);
        break;
      case Fault::FolderInTheWay:
        std::filesystem::create_directory(f.folder / "alt.txt");
        break;
    }
    f.session.fileName = c.fileName;
    Image message;
    f.platform.wait(5);
    if (c.fileName != "alt") f.platform.type("alt");
    f.platform.key(keys::kEnter).wait(10);
    f.capture(message).key(c.answer);

    EXPECT_EQ(saveProgram(f.screen, f.session, f.store), c.status) << c.what;
    EXPECT_EQ(pixelAt(message, kFailureFrameX, kFailureFrameY), kBlack) << c.what;
    switch (c.fault) {
      case Fault::MissingFolder:
        EXPECT_FALSE(std::filesystem::exists(f.folder)) << "never created";
        break;
      case Fault::ReadOnlyFile:
        EXPECT_EQ(f.read("alt"), kOld);
        break;
      case Fault::FolderInTheWay:
        EXPECT_TRUE(std::filesystem::is_directory(f.folder / "alt.txt"));
        break;
    }
    if (c.fault != Fault::MissingFolder) {
      EXPECT_EQ(std::distance(std::filesystem::directory_iterator(f.folder),
                              std::filesystem::directory_iterator()),
                1)
          << c.what << ": no temporary file left";
    }
  }
}

}  // namespace
