// Laden and Speichern through the real main loop: the listing, the cursor and
// the file name they leave, and closing the window inside their dialogs.

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "app/main_buttons.h"
#include "gfx/image.h"
#include "gfx/key.h"
#include "gfx/screen.h"
#include "support/file_dialogs.h"
#include "support/main_window_fixture.h"

using namespace akkusim;

namespace {

// Code pixels of listing row `row` (text from x 60, 8 pixels a character).
bool rowHasInk(const Image& window, int32_t row, int32_t fromX, int32_t toX) {
  for (int32_t y = 201 + 10 * row; y <= 208 + 10 * row; ++y) {
    for (int32_t x = fromX; x <= toX; ++x) {
      if (pixelAt(window, x, y) == kBlack) return true;
    }
  }
  return false;
}

TEST(FileSequences, LoadPicksAFileRedrawsTheListingAndPutsTheCursorOnLineOne) {
  MainWindowSession s;
  s.writeProgram("demo", "load 5\r\nhold\r\n");
  s.setProgram({"NOOP", "NOOP", "NOOP", "NOOP", "HOLD"}, 3);
  s.platform.wait(5);
  s.clickButton(MainButton::Load).wait(10).click(kFirstEntryX, kFirstEntryY).wait(10);

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

TEST(FileSequences, CancelledLoadKeepsTheTextButEmptiesTheFileName) {
  for (const bool escape : {true, false}) {
    MainWindowSession s;
    s.writeProgram("demo", kOld);
    s.setProgram({"NOOP", "HOLD"}, 1);
    s.platform.call([&s] { s.main.session.fileName = "alt"; });
    s.platform.wait(5);
    s.clickButton(MainButton::Load).wait(10);
    if (escape) {
      s.platform.key(keys::kEscape);
    } else {
      s.platform.click(kCancelX, kCancelY);
    }
    s.platform.wait(10);

    EXPECT_EQ(s.run(), 0);
    EXPECT_EQ(s.lineText(0), "NOOP");
    EXPECT_EQ(s.lineText(1), "HOLD");
    EXPECT_EQ(s.main.session.fileName, "");
    EXPECT_EQ(s.main.session.cursor.currentLine, 0);
  }
}

// After Laden the cursor is on line 0 at once, also when the chooser was
// cancelled: a first line with 40 characters is full from the first key on.
TEST(FileSequences, FullFirstLineRefusesTypingRightAfterLaden) {
  const std::string full(40, 'a');
  for (const bool cancel : {false, true}) {
    SCOPED_TRACE(cancel ? "cancelled" : "loaded");
    MainWindowSession s;
    s.writeProgram("voll", full + "\r\nHOLD\r\n");
    s.setProgram({full, "NOOP"}, 1);
    s.platform.wait(5);
    s.clickButton(MainButton::Load).wait(10);
    if (cancel) {
      s.platform.key(keys::kEscape);
    } else {
      s.platform.click(kFirstEntryX, kFirstEntryY);
    }
    s.platform.wait(10).type("z");

    EXPECT_EQ(s.run(), 0);

    EXPECT_EQ(s.lineText(0), full);
    EXPECT_EQ(s.main.session.program.lines[0].text, full + " ");
    EXPECT_EQ(s.main.session.cursor.cursorColumn, 1);
  }
}

TEST(FileSequences, SavedProgramLoadsBackToTheSameListing) {
  MainWindowSession s;
  s.setProgram({"LOAD 5", "x: word 3", "HOLD # Ende"}, 0);
  Image beforeSave;
  s.platform.wait(5);
  s.platform.call([&] { beforeSave = s.screen.window; });
  s.platform.wait(5);
  s.clickButton(MainButton::Save).wait(10).type("neu").key(keys::kEnter).wait(10);
  s.platform.call([&s] { s.main.session.program.lines[1].text = "geaendert"; });
  s.clickButton(MainButton::Load).wait(10).click(kFirstEntryX, kFirstEntryY).wait(10);

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
    s.clickButton(MainButton::Save).wait(10).type("alt").key(keys::kEnter).wait(10);
    s.platform.click(yes ? kYesX : kNoX, kQuestionButtonY).wait(10);

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
      {"Laden chooser", MainButton::Load, false},
      {"Speichern chooser", MainButton::Save, false},
      {"overwrite question", MainButton::Save, true},
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
  s.clickButton(MainButton::Save).wait(10).type("neu").key(keys::kEnter).wait(10);
  s.platform.call([&] { message = s.screen.window; });
  s.platform.key(keys::kEnter).wait(10).key(keys::kEnd).type(" # weiter").wait(10);

  EXPECT_EQ(s.run(), 0);
  EXPECT_EQ(pixelAt(message, kFailureFrameX, kFailureFrameY), kBlack);
  EXPECT_FALSE(std::filesystem::exists(s.folder));
  EXPECT_EQ(s.lineText(0), "NOOP # weiter");
}

}  // namespace
