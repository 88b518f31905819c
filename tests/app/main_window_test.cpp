// Start-up, buttons, the memory-view wheel and shut-down of the main window,
// driven through the real main loop on the headless window.

#include "app/main_window.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "app/main_buttons.h"
#include "app/unsaved_changes.h"
#include "gfx/key.h"
#include "program/line_parser.h"
#include "support/glyph_check.h"
#include "support/main_window_fixture.h"
#include "ui/register_panel.h"

using namespace akkusim;

namespace {

TEST(MainWindow, StartUpDrawsPanelListingButtonsAndCursor) {
  MainWindowSession s;
  Image atStart;
  s.platform.wait(5).call([&] { atStart = s.screen.window; });

  EXPECT_EQ(s.run(), 0);

  const Image& w = atStart;
  EXPECT_EQ(s.lineCount(), 1);
  EXPECT_EQ(s.main.session.cursor.currentLine, 0);
  EXPECT_EQ(s.main.session.cursor.cursorColumn, 1);
  // Panel of a fresh machine: instruction address 0, so word 0 is the current
  // instruction; the first drawing marks word 1 as touched.
  EXPECT_TRUE(textAt(w, 30, 30, "Akkumulator:       0", kBlack, kWhite));
  EXPECT_TRUE(textAt(w, 30, 90, "Befehlsz\x84hler:     0", kBlack, kWhite));
  EXPECT_TRUE(textAt(w, 500, 15, "     0", kRed, kLightGrey));
  EXPECT_TRUE(textAt(w, 560, 15, "     0", kRed, kLightGrey));
  EXPECT_TRUE(textAt(w, 620, 15, "     0", kBlack, kLightGrey));
  EXPECT_EQ(pixelAt(w, 430, 500), kBlack);
  EXPECT_EQ(pixelAt(w, 100, 180), kBlack);
  // The seven buttons with their frames and labels.
  for (const Button& button : s.main.buttons.all) {
    const int32_t x = button.bounds.x;
    const int32_t y = button.bounds.y;
    EXPECT_EQ(pixelAt(w, x, y), kBlack) << button.label;
    EXPECT_EQ(pixelAt(w, x + 80, y + 15), kBlack) << button.label;
    const auto length = static_cast<int32_t>(button.label.size());
    EXPECT_TRUE(textAt(w, x + 40 - 4 * length + 1, y + 7 - 3, button.label, kBlack, kWhite))
        << button.label;
  }
  // Listing: line number 1 and the text cursor at column 1 of line 0.
  EXPECT_TRUE(textAt(w, 2, 200, "     1", kGrey, kWhite));
  EXPECT_EQ(pixelAt(w, 60, 200), kBlack);
  EXPECT_EQ(pixelAt(w, 62, 209), kBlack);
  EXPECT_EQ(pixelAt(w, 63, 205), kWhite);
}

TEST(MainWindow, AFirstProgramStartsInTheListingNeverSaved) {
  // Setup
  MainWindowSession s;
  ProgramText program;
  program.lines.clear();
  for (const char* text : {"LOADI 3", "loop: SUBI 1", "JMPNZ loop", "HOLD"}) {
    ProgramLine line;
    line.text = text;
    parseLine(line, static_cast<int16_t>(program.lines.size()));
    program.lines.push_back(line);
  }
  s.main.firstProgram = program;
  Image atStart;
  s.platform.wait(5).call([&] { atStart = s.screen.window; });
  // Run
  EXPECT_EQ(s.run(), 0);
  // Verify
  EXPECT_EQ(s.lineCount(), 4);
  EXPECT_EQ(s.lineText(3), "HOLD");
  EXPECT_TRUE(textAt(atStart, 2, 230, "     4", kGrey, kWhite));
  EXPECT_TRUE(textAt(atStart, 60, 231, "HOLD", kBlack, kWhite));
  EXPECT_TRUE(hasUnsavedChanges(s.main.session));
  EXPECT_FALSE(s.main.firstProgram);
}

TEST(MainWindow, WindowCloseKeyEndsWithExitCodeZero) {
  HeadlessPlatform platform;
  platform.wait(5).type("HOLD").closeWindow().wait(1000).type("LOAD 1");
  Screen screen(platform);
  DiskProgramStore programs(std::filesystem::temp_directory_path());

  EXPECT_EQ(runMainWindow(screen, programs), 0);
  // The loop ended at the close key, long before the rest of the script.
  EXPECT_LT(platform.nowMs(), 100);
}

TEST(MainWindow, WheelOverTheMemoryViewScrollsItsRows) {
  struct WheelCase {
    const char* name;
    int16_t top;
    bool shift;
    int32_t notches;
    int16_t expected;
    bool rightShift = false;
  };
  const std::vector<WheelCase> cases = {
      {"towards the user", 0, false, -1, 50},
      {"with shift", 0, true, -1, 500},
      {"with the right shift", 0, false, -1, 500, true},
      {"clamped at the end", 6450, false, -1, 6476},
      {"with shift clamped at the end", 6200, true, -1, 6476},
      {"at the end nothing", 6476, false, -1, 6476},
      {"away from the user", 600, false, 1, 550},
      {"away with shift clamped at 0", 300, true, 1, 0},
      {"away at 0 nothing", 0, false, 1, 0},
      {"several notches at once are one step", 0, false, -3, 50},
  };
  for (const WheelCase& c : cases) {
    MainWindowSession s;
    s.platform.wait(5)
        .call([&] {
          s.main.memoryView.top = c.top;
          drawMemoryView(s.screen, s.main.memoryView, *s.main.session.machine, 0);
        })
        .moveTo(700, 400)
        .wait(5)
        .shift(c.shift)
        .rightShift(c.rightShift)
        .wheel(c.notches)
        .wait(5)
        .shift(false)
        .rightShift(false);

    s.run();

    EXPECT_EQ(s.main.memoryView.top, c.expected) << c.name;
    EXPECT_EQ(s.main.lastWheel, c.notches) << c.name;
    // The view shows the rows from the new top.
    EXPECT_TRUE(
        textAt(s.screen.window, 440, 15, formatNumber(c.expected * 10, 6), kDarkGrey, kLightGrey))
        << c.name;
  }
}

TEST(MainWindow, WheelActsOnlyStrictlyInsideTheMemoryView) {
  struct PointCase {
    int32_t x;
    int32_t y;
    int16_t expected;
  };
  const std::vector<PointCase> cases = {
      {431, 1, 50}, {1098, 798, 50}, {430, 400, 0}, {1099, 400, 0},
      {700, 0, 0},  {700, 799, 0},   {200, 400, 0}, {100, 140, 0},
  };
  for (const PointCase& c : cases) {
    MainWindowSession s;
    s.platform.wait(5).moveTo(c.x, c.y).wait(5).wheel(-1).wait(5);

    s.run();

    EXPECT_EQ(s.main.memoryView.top, c.expected) << c.x << "," << c.y;
    EXPECT_EQ(s.main.listing.view.scrollY, 0);
  }
}

TEST(MainWindow, WheelTurnedOutsideTakesOneStepOnReentry) {
  MainWindowSession s;
  int16_t outside = -1;
  s.platform.wait(5)
      .moveTo(200, 400)
      .wait(5)
      .wheel(-3)
      .wait(5)
      .call([&] { outside = s.main.memoryView.top; })
      .moveTo(700, 400)
      .wait(5);

  s.run();

  EXPECT_EQ(outside, 0);
  EXPECT_EQ(s.main.memoryView.top, 50);
  EXPECT_EQ(s.main.lastWheel, -3);
}

TEST(MainWindow, AButtonsReleaseTakesTheWheelTurnedOutside) {
  // Setup: the wheel turned over the listing, then a click on "Reset", whose
  // wait for the release reads the wheel.
  MainWindowSession s;
  s.platform.wait(5).moveTo(200, 400).wait(5).wheel(-3).wait(5);
  s.clickButton(MainButton::Reset).wait(5).moveTo(700, 400).wait(5);

  // Run
  s.run();

  // Verify: back over the memory view, there is nothing left to scroll by.
  EXPECT_EQ(s.main.memoryView.top, 0);
  EXPECT_EQ(s.main.lastWheel, -3);
}

TEST(MainWindow, NewStartsAnEmptyProgramAtTheTop) {
  MainWindowSession s;
  std::vector<std::string> program(100, "LOAD 5");
  s.setProgram(program, 99);
  s.platform.wait(5).call([&] {
    s.main.session.fileName = "alt";
    s.main.session.machine->memory[3] = 17;
  });
  s.clickButton(MainButton::New).wait(5);

  s.run();

  EXPECT_EQ(s.lineCount(), 1);
  EXPECT_EQ(s.lineText(0), "");
  EXPECT_EQ(s.main.session.cursor.currentLine, 0);
  EXPECT_EQ(s.main.session.cursor.cursorColumn, 1);
  EXPECT_EQ(s.main.listing.view.scrollY, 0);
  EXPECT_EQ(s.main.listing.view.contentHeight, 10);
  EXPECT_EQ(s.main.session.fileName, "");
  EXPECT_EQ(s.main.session.machine->memory[3], 17);
  EXPECT_TRUE(textAt(s.screen.window, 2, 200, "     1", kGrey, kWhite));
  EXPECT_FALSE(anyPixel(s.screen.window, 2, 210, 49, 217, kGrey));
}

TEST(MainWindow, ButtonActsOnItsFrameButNotOutside) {
  struct ClickCase {
    int32_t x;
    int32_t y;
    bool acts;
  };
  const std::vector<ClickCase> cases = {
      {330, 130, true},  {410, 145, true},  {370, 137, true},
      {329, 130, false}, {411, 137, false}, {370, 146, false},
  };
  for (const ClickCase& c : cases) {
    MainWindowSession s;
    s.setProgram({"HOLD", "HOLD"}, 1);
    s.platform.wait(5).click(c.x, c.y).wait(5);

    s.run();

    EXPECT_EQ(s.lineCount(), c.acts ? 1 : 2) << c.x << "," << c.y;
  }
}

TEST(MainWindow, ClickingIntoTheListingDoesNotMoveTheCursor) {
  MainWindowSession s;
  s.setProgram({"a", "b", "c"}, 0);
  s.platform.wait(5).click(100, 225).wait(5).click(300, 700).wait(5);

  s.run();

  EXPECT_EQ(s.main.session.cursor.currentLine, 0);
  EXPECT_EQ(s.main.session.cursor.cursorColumn, 1);
  EXPECT_EQ(s.main.listing.view.scrollY, 0);
}

TEST(MainWindow, ResetClearsTheMachineAndTheHighlight) {
  MainWindowSession s;
  s.setProgram({"HOLD", "HOLD"}, 0);
  s.platform.wait(5).call([&] {
    s.main.session.machine->accumulator = 9;
    s.main.session.machine->memory[5] = 3;
    s.main.session.highlightLine = 2;
    drawListingRow(s.screen, s.main.listing, s.main.session.program, 2, true, kLightGreen);
  });
  s.clickButton(MainButton::Reset).wait(5);

  s.run();

  EXPECT_EQ(s.main.session.machine->touched, std::nullopt);
  EXPECT_EQ(s.main.session.machine->instructionAddress, -2);
  EXPECT_EQ(s.main.session.machine->memory[5], 0);
  EXPECT_EQ(s.main.session.highlightLine, 0);
  const Image& w = s.screen.window;
  EXPECT_EQ(pixelAt(w, 0, 210), kWhite);
  EXPECT_TRUE(textAt(w, 30, 30, "Akkumulator:       0", kBlack, kWhite));
  EXPECT_TRUE(textAt(w, 30, 90, "Befehlsz\x84hler:     -", kBlack, kWhite));
  EXPECT_FALSE(anyPixel(w, 431, 11, 1099, 799, kRed));
}

TEST(MainWindow, AssembleThenStepMarksTheExecutedLine) {
  MainWindowSession s;
  Image afterStep;
  int32_t highlight = -1;
  s.platform.wait(5).type("loadi 7").key(keys::kEnter).type("hold");
  s.clickButton(MainButton::Assemble);
  s.platform.moveTo(270, 137).press().wait(50).release().wait(5);  // held: one step only
  s.platform.call([&] {
    afterStep = s.screen.window;
    highlight = s.main.session.highlightLine;
  });
  s.platform.type("x");  // the next key removes the highlight

  EXPECT_EQ(s.run(), 0);

  EXPECT_EQ(s.lineText(0), "LOADI 7");
  EXPECT_EQ(s.main.session.machine->accumulator, 7);
  EXPECT_EQ(s.main.session.machine->pc, 2);
  EXPECT_EQ(highlight, 1);
  EXPECT_EQ(pixelAt(afterStep, 0, 200), kLightGreen);
  EXPECT_TRUE(textAt(afterStep, 30, 30, "Akkumulator:       7", kBlack, kWhite));
  EXPECT_TRUE(textAt(afterStep, 30, 50, "Befehl:        LOADI", kBlack, kWhite));
  EXPECT_TRUE(textAt(afterStep, 30, 70, "Parameter:         7", kBlack, kWhite));
  EXPECT_EQ(s.main.session.highlightLine, 0);
  EXPECT_EQ(pixelAt(s.screen.window, 0, 200), kWhite);
}

TEST(MainWindow, ClosingTheWindowInACommandEndsTheLoop) {
  MainWindowSession s;
  s.platform.wait(5).type("foo");
  s.clickButton(MainButton::Assemble).wait(20).closeWindow().wait(20);
  s.platform.type("LOAD 1");  // never read: the loop has ended

  EXPECT_EQ(s.run(), 0);

  EXPECT_EQ(s.lineText(0), "foo");
  EXPECT_EQ(s.main.key, keys::kWindowClose);
}

TEST(MainWindow, ClosingTheWindowOnTheLoadWarningLeavesTheCursorInTheProgram) {
  MainWindowSession s;
  s.writeProgram("kurz", "HOLD\x01\r\n");  // a control byte: loaded with a warning
  s.setProgram(std::vector<std::string>(100, "HOLD"), 80);
  s.platform.wait(5);
  s.clickButton(MainButton::Load).wait(20).click(300, 250).wait(20).closeWindow().wait(20);

  EXPECT_EQ(s.run(), 0);

  ASSERT_EQ(s.lineCount(), 1);
  EXPECT_EQ(s.lineText(0), "HOLD");
  EXPECT_EQ(s.main.session.cursor.currentLine, 0);
}

}  // namespace

TEST(MainWindow, IdleEditorPausesInsteadOfPollingWithoutRest) {
  // Setup: a learner who reads for a second without touching anything.
  MainWindowSession s;
  s.platform.wait(1000);

  // Run
  s.run();

  // Verify: about one poll per millisecond, not a hundred (each poll moves
  // the virtual clock by only 10 us, so a loop without pauses polls 100
  // times per millisecond).
  EXPECT_LT(s.platform.pollCount(), 3000);
}
