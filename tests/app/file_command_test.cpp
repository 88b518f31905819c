#include "app/file_command.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "gfx/key.h"
#include "support/main_window_fixture.h"
#include "gfx/draw.h"
#include "platform/headless/headless_platform.h"
#include "gfx/image.h"
#include "ui/listing_view.h"
#include "gfx/screen.h"

using namespace akkusim;

namespace {

// Points inside the dialogs.
constexpr int32_t kFirstEntryX = 400;
constexpr int32_t kFirstEntryY = 250;
constexpr int32_t kAbbruchX = 780;
constexpr int32_t kAbbruchY = 560;
// "Ja" and "Nein" of the overwrite question (box at X 399, Y 345).
constexpr int32_t kJaX = 517;
constexpr int32_t kNeinX = 571;
constexpr int32_t kQuestionButtonY = 434;
// Outer frame corners of the three boxes this command shows.
constexpr int32_t kQuestionFrameX = 399;
constexpr int32_t kQuestionFrameY = 345;
constexpr int32_t kWarningFrameX = 387;
constexpr int32_t kWarningFrameY = 345;
constexpr int32_t kFailureFrameX = 319;
constexpr int32_t kFailureFrameY = 355;

const std::string kOld = "LOAD 1\r\nHOLD\r\n";

std::string readBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::filesystem::path freshRoot() {
  std::random_device random;
  return std::filesystem::temp_directory_path() /
         ("akkusim_file_command_" + std::to_string(random()) + std::to_string(random()));
}

// The commands called on their own, on a headless window, so that their
// status values can be seen.
struct CommandFixture {
  HeadlessPlatform platform;
  Screen screen{platform};
  std::filesystem::path root = freshRoot();
  std::filesystem::path folder = root / "Programme";
  Session session;

  CommandFixture() {
    std::string error;
    EXPECT_TRUE(openScreen(screen, kScreenWidth, kScreenHeight, error)) << error;
    fillBox(screen.window, 0, 0, kScreenWidth - 1, kScreenHeight - 1, kWhite);
    std::filesystem::create_directories(folder);
    session.program.lines[0].text = "NOOP";
    session.highlightLine = 1;
  }
  ~CommandFixture() {
    std::error_code ignored;
    std::filesystem::permissions(folder / "alt.txt", std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(root, ignored);
  }

  void write(const std::string& name, const std::string& bytes) const {
    std::ofstream(folder / (name + ".txt"), std::ios::binary) << bytes;
  }
  std::string read(const std::string& name) const { return readBytes(folder / (name + ".txt")); }

  HeadlessPlatform& capture(Image& into) {
    return platform.call([this, &into] { into = screen.window; });
  }
};

TEST(Laden, PickedFileReplacesTheProgram) {
  CommandFixture f;
  f.write("demo", "load 5\r\nHOLD\n# Ende\rx: word 3");
  f.platform.wait(5).click(kFirstEntryX, kFirstEntryY);

  EXPECT_EQ(laden(f.screen, f.session, f.folder), CommandResult::Done);
  ASSERT_EQ(lineCount(f.session.program), 4);
  EXPECT_EQ(f.session.program.lines[0].text, "LOAD 5");
  EXPECT_EQ(f.session.program.lines[2].text, "# Ende");
  EXPECT_EQ(f.session.program.lines[3].text, "x: WORD 3");
  EXPECT_EQ(f.session.program.lines[3].lineIndex, 3);
  EXPECT_EQ(f.session.fileName, "demo");
  EXPECT_EQ(f.session.highlightLine, 0);
}

TEST(Laden, CancelOrCloseKeepsTheProgramButTakesTheResultAsFileName) {
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
      f.platform.click(kAbbruchX, kAbbruchY);
    }

    EXPECT_EQ(laden(f.screen, f.session, f.folder), c.status) << c.what;
    EXPECT_EQ(f.session.fileName, c.fileName) << c.what;
    EXPECT_EQ(f.session.program.lines[0].text, "NOOP") << c.what;
    EXPECT_EQ(f.session.highlightLine, 1) << c.what;
  }
}

TEST(Laden, FileThatCannotBeOpenedLeavesTheProgramWithoutAMessage) {
  CommandFixture f;
  f.write("weg", kOld);
  f.platform.wait(5)
      .call([&f] { std::filesystem::remove(f.folder / "weg.txt"); })
      .click(kFirstEntryX, kFirstEntryY)
      .wait(5);

  EXPECT_EQ(laden(f.screen, f.session, f.folder), CommandResult::NotDone);
  EXPECT_EQ(f.session.fileName, "weg");
  EXPECT_EQ(f.session.program.lines[0].text, "NOOP");
  EXPECT_LT(f.platform.nowMs(), 40.0) << "no message box waited";
}

TEST(Laden, LossesShowTheWarningOnceAndItsAnswerIsTheStatus) {
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

    EXPECT_EQ(laden(f.screen, f.session, f.folder), c.status);
    EXPECT_EQ(pixelAt(warning, kWarningFrameX, kWarningFrameY), kBlack) << "warning shown";
    ASSERT_EQ(lineCount(f.session.program), 3);
    EXPECT_EQ(f.session.program.lines[0].text, std::string(40, 'x'));
    EXPECT_EQ(f.session.program.lines[1].text, "HOLD");
    EXPECT_EQ(f.session.program.lines[2].text, "");
  }
}

TEST(Speichern, TypedNameWritesEveryLineWithCrLf) {
  CommandFixture f;
  f.session.program.lines = {ProgramLine{}, ProgramLine{}, ProgramLine{}};
  f.session.program.lines[0].text = "LOAD 5  ";
  f.session.program.lines[1].text = "";
  f.session.program.lines[2].text = "# \xc3\xa4nderung";
  f.platform.wait(5).type("neu_1").key(keys::kEnter);

  EXPECT_EQ(speichern(f.screen, f.session, f.folder), CommandResult::Done);
  EXPECT_EQ(f.read("neu_1"), "LOAD 5  \r\n\r\n# \xc3\xa4nderung\r\n");
  EXPECT_EQ(f.session.fileName, "neu_1");
  for (const auto& entry : std::filesystem::directory_iterator(f.folder)) {
    EXPECT_EQ(entry.path().filename(), "neu_1.txt") << "no temporary file left";
  }
}

TEST(Speichern, OverwriteQuestionGuardsOtherExistingFiles) {
  struct Case {
    const char* what;
    std::string fileName;  // before
    std::optional<Key> answer;  // none = no question expected
    CommandResult status;
    bool written;
    std::string fileNameAfter;
  };
  const std::vector<Case> cases = {
      {"Ja", "", keys::kEnter, CommandResult::Done, true, "alt"},
      {"Nein", "anders", keys::kEscape, CommandResult::Declined, false, "anders"},
      {"close", "", keys::kWindowClose, CommandResult::WindowClosed, false, ""},
      {"same name", "alt", std::nullopt, CommandResult::Done, true, "alt"},
  };
  for (const Case& c : cases) {
    CommandFixture f;
    f.write("alt", kOld);
    f.session.fileName = c.fileName;
    Image question;
    f.platform.wait(5);
    if (c.fileName != "alt") {
      for (std::size_t i = 0; i < c.fileName.size(); ++i) f.platform.key(keys::kBackspace);
      f.platform.type("alt");
    }
    f.platform.key(keys::kEnter).wait(10);
    f.capture(question);
    if (c.answer) f.platform.key(*c.answer);

    EXPECT_EQ(speichern(f.screen, f.session, f.folder), c.status) << c.what;
    // Without a question the command returns before the capture is due.
    const bool questionShown =
        question.width > 0 && pixelAt(question, kQuestionFrameX, kQuestionFrameY) == kBlack;
    EXPECT_EQ(questionShown, c.answer.has_value()) << c.what;
    EXPECT_EQ(f.read("alt"), c.written ? "NOOP\r\n" : kOld) << c.what;
    EXPECT_EQ(f.session.fileName, c.fileNameAfter) << c.what;
  }
}

TEST(Speichern, CancelOrCloseInTheChooserWritesNothing) {
  const std::vector<std::pair<Key, CommandResult>> cases = {
      {keys::kEscape, CommandResult::NotDone}, {keys::kWindowClose, CommandResult::WindowClosed}};
  for (const auto& [key, status] : cases) {
    CommandFixture f;
    f.session.fileName = "alt";
    f.platform.wait(5).key(key);
    EXPECT_EQ(speichern(f.screen, f.session, f.folder), status);
    EXPECT_EQ(f.session.fileName, "alt");
    EXPECT_TRUE(std::filesystem::is_empty(f.folder));
  }
}

TEST(Speichern, FailureShowsAMessageAndKeepsTheOldFile) {
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

    EXPECT_EQ(speichern(f.screen, f.session, f.folder), c.status) << c.what;
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

// --- Through the real main loop ---

// Code pixels of listing row `row` (text from x 60, 8 pixels a character).
bool rowHasInk(const Image& window, int32_t row, int32_t fromX, int32_t toX) {
  for (int32_t y = 201 + 10 * row; y <= 208 + 10 * row; ++y) {
    for (int32_t x = fromX; x <= toX; ++x) {
      if (pixelAt(window, x, y) == kBlack) return true;
    }
  }
  return false;
}

TEST(FileSequences, LadenPicksAFileRedrawsTheListingAndPutsTheCursorOnLineOne) {
  MainWindowSession s;
  s.writeProgram("demo", "load 5\r\nhold\r\n");
  s.setProgram({"NOOP", "NOOP", "NOOP", "NOOP", "HOLD"}, 3);
  s.platform.wait(5);
  s.clickButton(MainButton::Laden).wait(10).click(kFirstEntryX, kFirstEntryY).wait(10);

  EXPECT_EQ(s.run(), 0);
  EXPECT_EQ(s.lineCount(), 2);
  EXPECT_EQ(s.lineText(0), "LOAD 5");
  EXPECT_EQ(s.lineText(1), "HOLD");
  EXPECT_EQ(s.main.session.fileName, "demo");
  EXPECT_EQ(s.main.session.cursor.currentLine, 0);
  EXPECT_EQ(s.main.session.cursor.cursorColumn, 1);
  const Image& window = s.screen.window;
  EXPECT_TRUE(rowHasInk(window, 0, 68, 107)) << "LOAD 5";
  EXPECT_FALSE(rowHasInk(window, 0, 108, 420));
  EXPECT_TRUE(rowHasInk(window, 1, 60, 91)) << "HOLD";
  EXPECT_FALSE(rowHasInk(window, 1, 92, 420));
  for (int32_t row = 2; row < 5; ++row) EXPECT_FALSE(rowHasInk(window, row, 57, 420)) << row;
  EXPECT_EQ(pixelAt(window, 61, 205), kBlack) << "text cursor at line 1, column 1";
}

TEST(FileSequences, CancelledLadenKeepsTheTextButEmptiesTheFileName) {
  for (const bool escape : {true, false}) {
    MainWindowSession s;
    s.writeProgram("demo", kOld);
    s.setProgram({"NOOP", "HOLD"}, 1);
    s.platform.call([&s] { s.main.session.fileName = "alt"; });
    s.platform.wait(5);
    s.clickButton(MainButton::Laden).wait(10);
    if (escape) {
      s.platform.key(keys::kEscape);
    } else {
      s.platform.click(kAbbruchX, kAbbruchY);
    }
    s.platform.wait(10);

    EXPECT_EQ(s.run(), 0);
    EXPECT_EQ(s.lineText(0), "NOOP");
    EXPECT_EQ(s.lineText(1), "HOLD");
    EXPECT_EQ(s.main.session.fileName, "");
    EXPECT_EQ(s.main.session.cursor.currentLine, 0);
  }
}

TEST(FileSequences, SavedProgramLoadsBackToTheSameListing) {
  MainWindowSession s;
  s.setProgram({"LOAD 5", "x: word 3", "HOLD # Ende"}, 0);
  Image beforeSave;
  s.platform.wait(5);
  s.platform.call([&] { beforeSave = s.screen.window; });
  s.platform.wait(5);
  s.clickButton(MainButton::Speichern).wait(10).type("neu").key(keys::kEnter).wait(10);
  s.platform.call([&s] { s.main.session.program.lines[1].text = "geaendert"; });
  s.clickButton(MainButton::Laden).wait(10).click(kFirstEntryX, kFirstEntryY).wait(10);

  EXPECT_EQ(s.run(), 0);
  // The current line is padded to 40 characters; the others keep their length.
  EXPECT_EQ(s.readProgram("neu"),
            "LOAD 5" + std::string(34, ' ') + "\r\nx: WORD 3\r\nHOLD # Ende\r\n");
  EXPECT_EQ(s.lineText(1), "x: WORD 3");
  EXPECT_EQ(s.main.session.fileName, "neu");
  for (int32_t y = 200; y < 800; ++y) {
    for (int32_t x = 0; x < 430; ++x) {
      ASSERT_EQ(pixelAt(s.screen.window, x, y), pixelAt(beforeSave, x, y)) << x << "," << y;
    }
  }
}

TEST(FileSequences, OverwriteQuestionAnsweredWithTheMouse) {
  for (const bool yes : {true, false}) {
    MainWindowSession s;
    s.writeProgram("alt", kOld);
    s.setProgram({"NOOP"}, 0);
    s.platform.wait(5);
    s.clickButton(MainButton::Speichern).wait(10).type("alt").key(keys::kEnter).wait(10);
    s.platform.click(yes ? kJaX : kNeinX, kQuestionButtonY).wait(10);

    EXPECT_EQ(s.run(), 0);
    EXPECT_EQ(s.readProgram("alt"), yes ? "NOOP" + std::string(36, ' ') + "\r\n" : kOld);
    EXPECT_EQ(s.main.session.fileName, yes ? "alt" : "");
  }
}

TEST(FileSequences, ClosingTheWindowInsideADialogEndsTheProgramAtOnce) {
  struct Case {
    const char* what;
    MainButton button;
    bool insideQuestion;
  };
  const std::vector<Case> cases = {
      {"Laden chooser", MainButton::Laden, false},
      {"Speichern chooser", MainButton::Speichern, false},
      {"overwrite question", MainButton::Speichern, true},
  };
  for (const Case& c : cases) {
    MainWindowSession s;
    s.writeProgram("alt", kOld);
    s.setProgram({"NOOP"}, 0);
    s.platform.wait(5);
    s.clickButton(c.button).wait(10);
    if (c.insideQuestion) s.platform.type("alt").key(keys::kEnter).wait(10);
    s.platform.closeWindow().wait(10);
    const double closedAt = s.platform.scriptEndMs();
    s.platform.wait(500).type("HOLD");  // would land in the editor

    EXPECT_EQ(s.run(), 0) << c.what;
    EXPECT_LT(s.platform.nowMs(), closedAt + 100) << c.what;
    EXPECT_EQ(s.lineText(0), "NOOP") << c.what;
    EXPECT_EQ(s.readProgram("alt"), kOld) << c.what;
  }
}

TEST(FileSequences, SaveFailureIsReportedAndTheProgramGoesOn) {
  MainWindowSession s;
  std::filesystem::remove_all(s.folder);
  s.setProgram({"NOOP"}, 0);
  Image message;
  s.platform.wait(5);
  s.clickButton(MainButton::Speichern).wait(10).type("neu").key(keys::kEnter).wait(10);
  s.platform.call([&] { message = s.screen.window; });
  s.platform.key(keys::kEnter).wait(10).key(keys::kEnd).type(" # weiter").wait(10);

  EXPECT_EQ(s.run(), 0);
  EXPECT_EQ(pixelAt(message, kFailureFrameX, kFailureFrameY), kBlack);
  EXPECT_FALSE(std::filesystem::exists(s.folder));
  EXPECT_EQ(s.lineText(0), "NOOP # weiter");
}

}  // namespace
