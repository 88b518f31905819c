// Starten and Stoppen driven through the real main loop on a scripted window.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "app/main_buttons.h"
#include "gfx/image.h"
#include "gfx/key.h"
#include "support/run_session.h"
#include "text/align.h"
#include "ui/register_panel.h"

using namespace akkusim;

namespace {

bool showsButton(const Image& shot, MainButton which, std::string_view label, bool active) {
  const Button& button = mainButton(mainButtonLayout(), which);
  const int32_t x = button.bounds.x;
  const int32_t y = button.bounds.y;
  const auto length = static_cast<int32_t>(label.size());
  return pixelAt(shot, x, y) == (active ? kBlack : kGrey) &&
         showsText(shot, x + 40 - 4 * length + 1, y + 4, label, active ? kBlack : kGrey);
}

bool allButtonsActive(const Image& shot) {
  return showsButton(shot, MainButton::Load, "Laden", true) &&
         showsButton(shot, MainButton::Save, "Speichern", true) &&
         showsButton(shot, MainButton::Assemble, "Assemble", true) &&
         showsButton(shot, MainButton::Run, "Starten", true) &&
         showsButton(shot, MainButton::Step, "Schritt", true) &&
         showsButton(shot, MainButton::Reset, "Reset", true) &&
         showsButton(shot, MainButton::New, "Neu", true);
}

TEST(RunCommand, RunsToTheProgramEndAndGivesTheButtonsBack) {
  RunSession s;
  Image running;
  Image after;
  s.typeProgram({"LOADI 3", "loop:", "SUBI 1", "JMPNZ loop", "HOLD"});
  s.clickButton(MainButton::Assemble);
  s.clickButton(MainButton::Run).wait(kBoxOpen);
  s.capture(running).key(keys::kEnter).wait(10);
  s.capture(after);
  EXPECT_EQ(s.run(), 0);

  // While the box is up the run is still on: six buttons grey, "Stoppen".
  EXPECT_TRUE(showsMessage(running, "Programmende", " OK "));
  EXPECT_TRUE(showsButton(running, MainButton::Load, "Laden", false));
  EXPECT_TRUE(showsButton(running, MainButton::Save, "Speichern", false));
  EXPECT_TRUE(showsButton(running, MainButton::Assemble, "Assemble", false));
  EXPECT_TRUE(showsButton(running, MainButton::Step, "Schritt", false));
  EXPECT_TRUE(showsButton(running, MainButton::Reset, "Reset", false));
  EXPECT_TRUE(showsButton(running, MainButton::New, "Neu", false));
  EXPECT_TRUE(showsButton(running, MainButton::Run, "Stoppen", true));
  EXPECT_EQ(listingRowBackground(running, 4), kLightGreen);

  EXPECT_TRUE(allButtonsActive(after));
  EXPECT_EQ(mainButton(s.main.buttons, MainButton::Run).label, "Starten");
  const MachineState& m = *s.main.session.machine;
  EXPECT_EQ(m.accumulator, 0);
  EXPECT_EQ(m.zero, 1);
  EXPECT_EQ(m.pc, 6);
  // The panel shows the final state.
  EXPECT_TRUE(
      showsText(after, 30, 50, registerRow("Befehl:       ", alignRight("HOLD", 6)), kBlack));
  EXPECT_TRUE(
      showsText(after, 30, 90, registerRow("Befehlsz\x84hler:", formatNumber(6, 6)), kBlack));
  EXPECT_TRUE(showsText(after, 280, 70, "* Z  (Zero)", kBlack));
}

TEST(RunCommand, FirstPassMarksWordZeroAsTouched) {
  RunSession s;
  Image running;
  // NOOP keeps the touched address, so the run's own start value 0 stays
  // marked while the instructions move on.
  s.typeProgram(std::vector<std::string>(20, "NOOP"));
  s.typeProgram({"HOLD"});
  s.clickButton(MainButton::Assemble);
  s.clickButton(MainButton::Run).wait(2);
  s.capture(running).wait(kBoxOpen).key(keys::kEnter);
  EXPECT_EQ(s.run(), 0);
  EXPECT_TRUE(wordIsRed(running, 0));
  EXPECT_FALSE(wordIsRed(running, 1));
  EXPECT_FALSE(wordIsRed(running, 2));
}

// A step that touches nothing of its own (NOOP, HOLD) goes on showing the
// word the last step touched: across a new Assemble, and past a run, which
// marks from word 0 on only while it lasts.
TEST(RunCommand, TheWordTheLastStepTouchedOutlivesAssembleAndARun) {
  RunSession s;
  Image afterAssemble;
  Image afterRun;
  s.typeProgram({"NOOP", "STORE 100", "HOLD"});
  s.clickButton(MainButton::Assemble);
  s.clickButton(MainButton::Step);
  s.clickButton(MainButton::Step);
  s.clickButton(MainButton::Assemble);
  s.clickButton(MainButton::Step).wait(5);
  s.capture(afterAssemble);
  s.clickButton(MainButton::Step);
  s.clickButton(MainButton::Run).wait(kBoxOpen).key(keys::kEnter).wait(10);
  s.capture(afterRun);
  EXPECT_EQ(s.run(), 0);

  EXPECT_TRUE(wordIsRed(afterAssemble, 0));
  EXPECT_TRUE(wordIsRed(afterAssemble, 100));
  EXPECT_TRUE(wordIsRed(afterRun, 4));
  EXPECT_TRUE(wordIsRed(afterRun, 100));
  EXPECT_FALSE(wordIsRed(afterRun, 0));
}

TEST(RunCommand, ListingOnTheScreenFollowsEveryStepOfARun) {
  RunSession s;
  std::vector<Image> screens(6);
  std::vector<Image> listings(6);
  s.typeProgram({"LOADI 100", "loop:", "SUBI 1", "JMPNZ loop", "HOLD"});
  s.clickButton(MainButton::Assemble);
  s.clickButton(MainButton::Run);
  for (std::size_t i = 0; i < screens.size(); ++i) {
    s.platform.wait(i == 0 ? 0.5 : 7.3).call([&s, &screens, &listings, i] {
      screens[i] = s.screen.window;
      listings[i] = s.main.listing.view.image;
    });
  }
  s.platform.wait(300).key(keys::kEnter);
  EXPECT_EQ(s.run(), 0);

  for (std::size_t i = 0; i < screens.size(); ++i) {
    SCOPED_TRACE(i);
    int32_t differences = 0;
    for (int32_t y = 0; y < 600; ++y) {
      for (int32_t x = 0; x < 430; ++x) {
        differences += pixelAt(screens[i], x, 200 + y) != pixelAt(listings[i], x, y) ? 1 : 0;
      }
    }
    EXPECT_EQ(differences, 0);
  }
}

TEST(RunCommand, StopEndsTheRunAndTheProgramContinues) {
  RunSession s;
  CommandResult stopped = CommandResult::Done;
  int32_t afterStop = 0;
  int16_t countAtStop = 0;
  Image afterStopShot;
  s.typeProgram({"loop:", "ADDI 1", "JMP loop"});
  s.clickButton(MainButton::Assemble);
  s.clickButton(MainButton::Run).wait(50);
  s.pressNotingResult(MainButton::Run, stopped);
  s.platform.call([&s, &countAtStop] { countAtStop = s.main.session.machine->accumulator; });
  s.capture(afterStopShot);
  s.clickButton(MainButton::Step);
  s.clickButton(MainButton::Step);
  s.platform.call([&s, &afterStop] { afterStop = s.main.session.machine->accumulator; });
  s.clickButton(MainButton::Run).wait(20);
  s.clickButton(MainButton::Run);
  EXPECT_EQ(s.run(), 0);

  EXPECT_EQ(stopped, CommandResult::Stopped);
  EXPECT_GT(countAtStop, 5);
  EXPECT_TRUE(allButtonsActive(afterStopShot));
  // Two steps: one ADDI and one JMP.
  EXPECT_EQ(afterStop, countAtStop + 1);
  EXPECT_GT(s.main.session.machine->accumulator, afterStop + 5);
}

// The run takes every key from the queue and keeps none for the editor.
TEST(RunCommand, KeysTypedDuringARunAreDropped) {
  RunSession s;
  s.typeProgram({"loop:", "JMP loop"});
  s.clickButton(MainButton::Assemble);
  s.clickButton(MainButton::Run).wait(20);
  s.platform.type("Zu").key(keys::kEnter).wait(20);
  s.clickButton(MainButton::Run);
  EXPECT_EQ(s.run(), 0);

  EXPECT_EQ(s.lineCount(), 3);
  EXPECT_EQ(s.lineText(2), "");
}

TEST(RunCommand, ClosingTheWindowDuringARunEndsTheProgram) {
  RunSession s;
  // Would end by itself after about a second, long after the close.
  s.typeProgram({"LOADI 500", "loop:", "SUBI 1", "JMPNZ loop", "HOLD"});
  s.clickButton(MainButton::Assemble);
  s.clickButton(MainButton::Run).wait(20).closeWindow();
  const double closedAt = s.platform.scriptEndMs();
  EXPECT_EQ(s.run(), 0);
  EXPECT_LT(s.platform.nowMs(), closedAt + 10);
  EXPECT_LT(s.main.session.machine->accumulator, 497);
  EXPECT_GT(s.main.session.machine->accumulator, 400);
}

// The close key is looked at after Stoppen, so a pass that sees both ends
// the program rather than only the run.
TEST(RunCommand, ClosingTheWindowInThePassThatStopsEndsTheProgram) {
  RunSession s;
  CommandResult result = CommandResult::Done;
  s.typeProgram({"loop:", "ADDI 1", "JMP loop"});
  s.clickButton(MainButton::Assemble);
  s.clickButton(MainButton::Run).wait(20);
  s.platform.moveTo(s.buttonX(MainButton::Run), s.buttonY(MainButton::Run)).press().closeWindow();
  s.platform.wait(4).call([&s, &result] { result = s.main.result; }).release();
  EXPECT_EQ(s.run(), 0);

  EXPECT_EQ(result, CommandResult::WindowClosed);
}

TEST(RunCommand, ClosingTheWindowWhileAMessageIsUpEndsTheProgram) {
  RunSession s;
  s.typeProgram({"HOLD"});
  s.clickButton(MainButton::Assemble);
  s.clickButton(MainButton::Run).wait(kBoxOpen).closeWindow();
  const double closedAt = s.platform.scriptEndMs();
  EXPECT_EQ(s.run(), 0);
  EXPECT_LT(s.platform.nowMs(), closedAt + 10);
}

TEST(RunCommand, RunTimeErrorsStopTheRunWithTheirMessage) {
  struct Case {
    std::vector<std::string> program;
    std::string message;
    int16_t accumulator;  // kept by the failing instruction
    int32_t pc;           // after the failing fetch
    int32_t lightRow;     // green while the message is up; -1: none (a data word)
  };
  const std::vector<Case> cases = {
      {{"x: WORD 999"}, "Fehler: Unbekannter Befehl", 0, 2, -1},
      {{"LOADI 1", "SHLI -1", "HOLD"}, "Falscher Operator für SHLI", 1, 4, 1},
      {{"LOADI 1", "SHL s", "HOLD", "s: WORD -32768"}, "Falscher Operator für SHLI", 1, 4, 1},
      {{"LOADI 5", "DIVI 0", "HOLD"}, "Fehler: Division durch Null", 5, 4, 1},
      {{"LOADI 5", "MOD z", "HOLD", "z: WORD 0"}, "Fehler: Division durch Null", 5, 4, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.program[1 % c.program.size()]);
    RunSession s;
    Image box;
    Image after;
    s.typeProgram(c.program);
    s.clickButton(MainButton::Assemble);
    s.clickButton(MainButton::Run).wait(kBoxOpen);
    s.capture(box).key(keys::kEnter).wait(10);
    s.capture(after);
    EXPECT_EQ(s.run(), 0);

    EXPECT_TRUE(showsMessage(box, c.message, " OK "));
    for (int32_t row = 0; row < 2; ++row) {
      EXPECT_EQ(listingRowBackground(box, row), row == c.lightRow ? kLightGreen : kWhite);
    }
    EXPECT_TRUE(allButtonsActive(after));
    EXPECT_EQ(s.main.session.machine->accumulator, c.accumulator);
    EXPECT_EQ(s.main.session.machine->pc, c.pc);
  }
}

}  // namespace
