// The learner aids on their keys, through the real main loop on a scripted
// window: one step back, the help box, breakpoints and the fast run.

#include "app/learner_aids.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "gfx/image.h"
#include "gfx/key.h"
#include "support/glyph_check.h"
#include "support/machine_setup.h"
#include "support/run_session.h"

using namespace akkusim;

namespace {

// Every kind of change a step can make: the accumulator and flags, a stored
// word, a jump, a shift, a comparison, and HOLD.
const std::vector<std::string> kEverything{"LOADI 7", "STORE 100", "SUBI 9",   "STORE 101",
                                           "SHLI 3",  "CMPI 5",    "JMP next", "HOLD",
                                           "next:",   "NOT",       "LOADC",    "HOLD"};
constexpr int32_t kEverythingSteps = 10;  // to the second HOLD, included

int32_t differingPixels(const Image& a, const Image& b) {
  int32_t count = 0;
  for (std::size_t i = 0; i < a.pixels.size(); ++i) count += a.pixels[i] != b.pixels[i] ? 1 : 0;
  return count;
}

// The window as the learner sees it, and the machine behind it.
struct Shot {
  Image frame;
  MachineState machine;
};

HeadlessPlatform& capture(RunSession& s, Shot& into) {
  return s.platform.call([&s, &into] {
    into.frame = s.screen.window;
    into.machine = *s.main.session.machine;
  });
}

void expectSameShot(const Shot& expected, const Shot& actual) {
  EXPECT_EQ(differingPixels(expected.frame, actual.frame), 0);
  expectSameMachine(expected.machine, actual.machine);
}

}  // namespace

// Setup: Schritt to the end, a picture after each. Run: F2 back to the
// first step. Verify: each picture and machine again, in reverse.
TEST(StepBack, EachStepBackShowsThePictureBeforeThatStep) {
  RunSession s;
  std::vector<Shot> forward(kEverythingSteps);
  std::vector<Shot> back(kEverythingSteps - 1);
  s.typeProgram(kEverything);
  s.clickButton(MainButton::Assemble);
  for (Shot& shot : forward) {
    s.clickButton(MainButton::Step).wait(kBoxOpen);
    capture(s, shot);
  }
  // The last step is the HOLD: its box is answered first.
  s.platform.key(keys::kEnter).wait(5);
  capture(s, forward.back());
  for (Shot& shot : back) {
    s.platform.key(keys::kF2).wait(5);
    capture(s, shot);
  }
  EXPECT_EQ(s.run(), 0);

  for (std::size_t i = 0; i < back.size(); ++i) {
    SCOPED_TRACE("back " + std::to_string(i + 1));
    expectSameShot(forward[forward.size() - 2 - i], back[i]);
  }
}

// Setup: three Schritte, Assemble again, its picture (the panel still
// shows the registers from before it; Home draws the text cursor that
// Assemble's listing redraw covered). Run: two Schritte, two F2. Verify:
// Assemble's picture again, not just its machine.
TEST(StepBack, TheFirstStepBackShowsAssemblesPicture) {
  RunSession s;
  Shot assembled;
  Shot back;
  s.typeProgram(kEverything);
  s.clickButton(MainButton::Assemble);
  for (int i = 0; i < 3; ++i) s.clickButton(MainButton::Step);
  s.clickButton(MainButton::Assemble);
  s.platform.key(keys::kHome).wait(5);
  capture(s, assembled);
  s.clickButton(MainButton::Step);
  s.clickButton(MainButton::Step).wait(5);
  s.platform.key(keys::kF2).key(keys::kF2).wait(5);
  capture(s, back);
  EXPECT_EQ(s.run(), 0);

  expectSameShot(assembled, back);
}

// Starten and the fast run record their steps like Schritt; taking back all
// of a run's steps also brings back the word marked before it.
TEST(StepBack, TakesBackTheStepsOfARun) {
  for (const bool fast : {false, true}) {
    SCOPED_TRACE(fast ? "F8" : "Starten");
    RunSession s;
    Shot beforeRun;
    Shot afterBack;
    s.typeProgram({"LOADI 5", "ADDI 1", "STORE 100", "HOLD"});
    s.clickButton(MainButton::Assemble);
    s.clickButton(MainButton::Step).wait(5);
    capture(s, beforeRun);
    if (fast) {
      s.platform.key(keys::kF8);
    } else {
      s.clickButton(MainButton::Run);
    }
    s.platform.wait(kBoxOpen).key(keys::kEnter).wait(5);
    s.platform.key(keys::kF2).key(keys::kF2).key(keys::kF2).wait(5);
    capture(s, afterBack);
    EXPECT_EQ(s.run(), 0);

    expectSameShot(beforeRun, afterBack);
  }
}

// Setup: Schritt, Schritt, the panel's picture, a third Schritt, then
// something else draws on the window. Run: F2. Verify: the panel of the
// second step again (the listing may differ: Laden moves the cursor).
TEST(StepBack, ShowsTheWholePanelAfterSomethingElseDrewOnTheWindow) {
  struct Case {
    const char* name;
    void (*drawOver)(RunSession&);
  };
  const Case cases[] = {
      {"wheel away and back",
       [](RunSession& s) { s.platform.moveTo(800, 400).wheel(-1).wait(5).wheel(1).wait(5); }},
      {"help box",
       [](RunSession& s) { s.platform.key(keys::kF1).wait(kBoxOpen).key(keys::kEnter); }},
      {"Laden cancelled",
       [](RunSession& s) { s.clickButton(MainButton::Load).wait(10).key(keys::kEscape); }},
      {"Speichern cancelled",
       [](RunSession& s) { s.clickButton(MainButton::Save).wait(10).key(keys::kEscape); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RunSession s;
    Shot second;
    Shot back;
    s.typeProgram({"LOADI 7", "STORE 100", "ADDI 1", "STORE 100", "HOLD"});
    s.clickButton(MainButton::Assemble);
    s.clickButton(MainButton::Step);
    s.clickButton(MainButton::Step).wait(5);
    capture(s, second);
    s.clickButton(MainButton::Step).wait(5);
    c.drawOver(s);
    s.platform.wait(5).key(keys::kF2).wait(5);
    capture(s, back);
    EXPECT_EQ(s.run(), 0);

    constexpr int32_t kPanelLeft = 430;
    int32_t differing = 0;
    for (int32_t y = 0; y < kScreenHeight; ++y) {
      for (int32_t x = 0; x < kScreenWidth; ++x) {
        const bool panel = x >= kPanelLeft || y < 180;
        const auto at = static_cast<std::size_t>(y * kScreenWidth + x);
        differing += panel && second.frame.pixels[at] != back.frame.pixels[at] ? 1 : 0;
      }
    }
    EXPECT_EQ(differing, 0);
    expectSameMachine(second.machine, back.machine);
  }
}

// Setup: two Schritte, then a faulty line and an Assemble that refuses it.
// Run: F2. Verify: the machine as after the first Schritt; the refused
// Assemble changed nothing, so it forgets no steps either.
TEST(StepBack, ARefusedAssembleKeepsTheSteps) {
  RunSession s;
  Shot first;
  Shot back;
  s.typeProgram({"LOADI 1", "ADDI 1", "HOLD"});
  s.clickButton(MainButton::Assemble);
  s.clickButton(MainButton::Step).wait(5);
  capture(s, first);
  s.clickButton(MainButton::Step);
  s.platform.type("QQQ 1").wait(5);
  s.clickButton(MainButton::Assemble).wait(kBoxOpen);
  s.platform.key(keys::kEnter).wait(5).key(keys::kF2).wait(5);
  capture(s, back);
  EXPECT_EQ(s.run(), 0);

  expectSameMachine(first.machine, back.machine);
}

TEST(StepBack, WithNothingToTakeBackABoxSaysSo) {
  struct Case {
    const char* name;
    MainButton clears;
  };
  const Case cases[] = {
      {"Assemble", MainButton::Assemble}, {"Reset", MainButton::Reset}, {"Neu", MainButton::New}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RunSession s;
    Image box;
    s.typeProgram({"LOADI 1", "ADDI 1", "HOLD"});
    s.clickButton(MainButton::Assemble);
    s.clickButton(MainButton::Step);
    s.clickButton(MainButton::Step);
    s.clickButton(c.clears);
    s.platform.key(keys::kF2).wait(kBoxOpen);
    s.capture(box).key(keys::kEnter);
    EXPECT_EQ(s.run(), 0);
    EXPECT_TRUE(showsMessage(box, "Kein Schritt zum Zurücknehmen", " OK "));
  }
}

TEST(Help, F1ShowsTheKeysAndEnterClosesTheBox) {
  RunSession s;
  Image before;
  Image box;
  Image after;
  s.typeProgram({"LOADI 1"});
  s.capture(before);
  s.platform.key(keys::kF1).wait(kBoxOpen);
  s.capture(box).key(keys::kEnter).wait(5);
  s.capture(after);
  EXPECT_EQ(s.run(), 0);

  EXPECT_TRUE(showsMessage(box, helpText(), " OK "));
  EXPECT_EQ(differingPixels(before, after), 0);
}

namespace {

// Line 3 (index 2) is the loop's first instruction.
const std::vector<std::string> kLoop{"LOADI 0", "loop:", "ADDI 1", "CMPI 3", "JMPNZ loop", "HOLD"};
constexpr Address kLoopStart = 2;

bool numberIsRed(const Image& shot, int32_t lineIndex) {
  const int32_t y = 200 + 10 * lineIndex;
  return anyPixel(shot, 2, y, 50, y + 9, kRed);
}

// Types kLoop and sets the breakpoint on its line 3.
void typeLoopWithBreakpoint(RunSession& s) {
  s.typeProgram(kLoop);
  for (int i = 0; i < 4; ++i) s.platform.key(keys::kUp);
  s.platform.key(keys::kF9);
}

void startRun(RunSession& s, bool fast) {
  if (fast) {
    s.platform.key(keys::kF8);
  } else {
    s.clickButton(MainButton::Run);
  }
  s.platform.wait(kBoxOpen);
}

}  // namespace

// Setup: a breakpoint on the loop's first line. Run: Starten or F8, twice.
// Verify: each run stops before that line, highlighted, without a box.
TEST(Breakpoints, RunsStopBeforeTheMarkedLineAndGoOnFromIt) {
  for (const bool fast : {false, true}) {
    SCOPED_TRACE(fast ? "F8" : "Starten");
    RunSession s;
    Shot first;
    Shot second;
    typeLoopWithBreakpoint(s);
    s.clickButton(MainButton::Assemble);
    startRun(s, fast);
    capture(s, first);
    startRun(s, fast);
    capture(s, second);
    EXPECT_EQ(s.run(), 0);

    EXPECT_EQ(first.machine.pc, kLoopStart);
    EXPECT_EQ(first.machine.accumulator, 0);
    EXPECT_EQ(second.machine.pc, kLoopStart);
    EXPECT_EQ(second.machine.accumulator, 1);
    for (const Shot* shot : {&first, &second}) {
      EXPECT_EQ(listingRowBackground(shot->frame, 2), kLightGreen);
      EXPECT_EQ(listingRowBackground(shot->frame, 4), kWhite);
      EXPECT_TRUE(numberIsRed(shot->frame, 2));
      EXPECT_FALSE(showsMessage(shot->frame, "Programmende", " OK "));
    }
  }
}

// Setup: a breakpoint, Assemble; then a line inserted above the marked
// line, or the mark on the label line instead. Run: Starten or F8. Verify:
// the run stops before the marked line's ADDI, not before the instruction
// that took over its line number, and a label stands for its instruction.
TEST(Breakpoints, StopAtTheMarkedInstructionAfterEditsAboveAndOnALabel) {
  struct Case {
    const char* name;
    int32_t ups;  // from the line after the program to the marked line
    bool insertAbove;
  };
  const Case cases[] = {{"line inserted above", 4, true}, {"label line", 5, false}};
  for (const Case& c : cases) {
    for (const bool fast : {false, true}) {
      SCOPED_TRACE(std::string(c.name) + (fast ? ", F8" : ", Starten"));
      RunSession s;
      Shot stop;
      s.typeProgram(kLoop);
      for (int32_t i = 0; i < c.ups; ++i) s.platform.key(keys::kUp);
      s.platform.key(keys::kF9);
      s.clickButton(MainButton::Assemble);
      if (c.insertAbove) {
        s.platform.key(keys::kUp).key(keys::kUp).key(keys::kHome).key(keys::kEnter).wait(5);
      }
      startRun(s, fast);
      capture(s, stop);
      EXPECT_EQ(s.run(), 0);

      EXPECT_EQ(stop.machine.pc, kLoopStart);
      EXPECT_EQ(stop.machine.accumulator, 0);
      EXPECT_FALSE(showsMessage(stop.frame, "Programmende", " OK "));
    }
  }
}

// Setup: a breakpoint on line 92 of 100, the view back at the top. Run:
// Starten or F8. Verify: the run stops there with that line scrolled into
// view and highlighted.
TEST(Breakpoints, ARunScrollsToTheBreakpointItStopsAt) {
  for (const bool fast : {false, true}) {
    SCOPED_TRACE(fast ? "F8" : "Starten");
    RunSession s;
    Image stopped;
    int32_t scrollY = -1;
    std::vector<std::string> lines(91, "NOOP");
    lines.push_back("ADDI 1");
    lines.resize(99, "NOOP");
    lines.push_back("HOLD");
    s.typeProgram(lines);
    for (int32_t i = 0; i < 9; ++i) s.platform.key(keys::kUp);
    s.platform.key(keys::kF9);
    for (int32_t i = 0; i < 4; ++i) s.platform.key(keys::kPageUp);
    s.clickButton(MainButton::Assemble);
    startRun(s, fast);
    s.platform.wait(200);  // Starten's 91 steps take a millisecond each
    s.capture(stopped).call([&s, &scrollY] { scrollY = s.main.listing.view.scrollY; });
    EXPECT_EQ(s.run(), 0);

    const int32_t row = 91 - scrollY / kListingRowHeight;
    ASSERT_GE(row, 0);
    ASSERT_LT(row, 60);
    EXPECT_EQ(listingRowBackground(stopped, row), kLightGreen);
    EXPECT_TRUE(numberIsRed(stopped, row));
  }
}

TEST(Breakpoints, TheMarkMovesWithItsLineStaysOnAssembleAndGoesWithNeu) {
  RunSession s;
  Image moved;
  Image assembled;
  typeLoopWithBreakpoint(s);
  // An empty line above line 1 moves the marked line down by one.
  s.platform.key(keys::kUp).key(keys::kUp).key(keys::kHome).key(keys::kEnter).wait(5);
  s.capture(moved);
  s.clickButton(MainButton::Assemble).wait(5);
  s.capture(assembled);
  s.clickButton(MainButton::New);
  EXPECT_EQ(s.run(), 0);

  EXPECT_FALSE(numberIsRed(moved, 2));
  EXPECT_TRUE(numberIsRed(moved, 3));
  EXPECT_TRUE(numberIsRed(assembled, 3));
  EXPECT_FALSE(numberIsRed(assembled, 0));
  EXPECT_FALSE(s.main.session.program.lines[0].breakpoint);
}

// Starten's pauses are the only difference: once the HOLD's box is
// answered, the window is the same picture. (Under the box the fast run's
// panel is newer: it shows the registers between its batches.)
TEST(FastRun, EndsAsStartenEnds) {
  struct Ending {
    Image box;
    Image after;
  };
  Ending endings[2];
  for (const bool fast : {false, true}) {
    RunSession s;
    Ending& ending = endings[fast ? 1 : 0];
    s.typeProgram({"LOADI 0", "loop:", "ADDI 1", "STORE 300", "CMPI 200", "JMPNZ loop", "HOLD"});
    s.clickButton(MainButton::Assemble);
    startRun(s, fast);
    s.platform.wait(fast ? 0 : 1500);
    s.capture(ending.box).key(keys::kEnter).wait(5);
    s.capture(ending.after);
    EXPECT_EQ(s.run(), 0);
  }
  EXPECT_TRUE(showsMessage(endings[1].box, "Programmende", " OK "));
  EXPECT_EQ(differingPixels(endings[0].after, endings[1].after), 0);
}

// Setup: 150 lines, a long loop at the top, the cursor and the view back at
// the top. Run: F8 to the HOLD on the last line, then End. Verify: the
// listing has scrolled to show that line highlighted, and the screen shows
// all of the scrolled listing; End, a key for the editor, scrolls back to
// the cursor's line and shows the cursor there.
TEST(FastRun, TheListingFollowsTheExecutedLine) {
  RunSession s;
  Image ended;
  Image keyed;
  int32_t scrollAfterKey = -1;
  // The loop at the top outlasts the first batch, which shows the top.
  std::vector<std::string> lines{"LOADI 1", "loop:", "ADDI 1",    "NOOP",
                                 "NOOP",    "NOOP",  "JMPNZ loop"};
  lines.resize(149, "NOOP");
  lines.push_back("HOLD");
  s.typeProgram(lines);
  for (int i = 0; i < 4; ++i) s.platform.key(keys::kPageUp);
  s.clickButton(MainButton::Assemble);
  s.platform.key(keys::kF8).wait(kBoxOpen).key(keys::kEnter).wait(5);
  int32_t scrollY = 0;
  Image listed;
  s.capture(ended).call([&s, &scrollY, &listed] {
    scrollY = s.main.listing.view.scrollY;
    listed = s.main.listing.view.image;
  });
  s.platform.key(keys::kEnd).wait(5);
  s.capture(keyed).call([&s, &scrollAfterKey] { scrollAfterKey = s.main.listing.view.scrollY; });
  EXPECT_EQ(s.run(), 0);

  const int32_t row = 149 - scrollY / kListingRowHeight;
  ASSERT_GE(row, 0);
  ASSERT_LT(row, 60);
  EXPECT_EQ(listingRowBackground(ended, row), kLightGreen);
  EXPECT_EQ(listingRowBackground(ended, row - 1), kWhite);
  // Every row on the screen is the scrolled listing's.
  int32_t stale = 0;
  for (int32_t y = 0; y < listed.height; ++y) {
    for (int32_t x = 0; x < listed.width; ++x) {
      stale += pixelAt(ended, x, 200 + y) != pixelAt(listed, x, y) ? 1 : 0;
    }
  }
  EXPECT_EQ(stale, 0);
  EXPECT_EQ(scrollAfterKey, 0);
  EXPECT_TRUE(showsText(keyed, 60, 201, "LOADI 1", kBlack));
  EXPECT_EQ(pixelAt(keyed, 8 * 8 + 53, 205), kBlack) << "text cursor after LOADI 1";
}

TEST(FastRun, StoppenEscapeAndClosingEndAnEndlessLoop) {
  enum class End { Stoppen, Escape, Close };
  for (const End end : {End::Stoppen, End::Escape, End::Close}) {
    SCOPED_TRACE(static_cast<int>(end));
    RunSession s;
    int16_t atStop = 0;
    uint64_t stepsRun = 0;
    s.typeProgram({"loop:", "ADDI 1", "JMP loop"});
    s.clickButton(MainButton::Assemble);
    s.platform.key(keys::kF8).wait(1);
    if (end == End::Stoppen) s.clickButton(MainButton::Run);
    if (end == End::Escape) s.platform.key(keys::kEscape).wait(5);
    if (end == End::Close) s.platform.closeWindow();
    s.platform.call([&s, &atStop, &stepsRun] {
      atStop = s.main.session.machine->accumulator;
      stepsRun = stepsToTakeBack(s.main.session.history);
    });
    // Stopped, the window goes on: two steps add one.
    s.clickButton(MainButton::Step);
    s.clickButton(MainButton::Step);
    EXPECT_EQ(s.run(), 0);

    // The accumulator may have come round to 0: the steps show the run.
    const int16_t now = s.main.session.machine->accumulator;
    if (end == End::Close) {
      EXPECT_GT(stepsToTakeBack(s.main.session.history), 0u);
    } else {
      EXPECT_GT(stepsRun, 0u);
      EXPECT_EQ(now, static_cast<int16_t>(atStop + 1));
      EXPECT_EQ(mainButton(s.main.buttons, MainButton::Run).label, "Starten");
    }
  }
}
