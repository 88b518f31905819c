// Assemble, Schritt, Starten/Stoppen and Reset driven through the real main
// loop on a scripted window.

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "isa/opcode_table.h"
#include "gfx/key.h"
#include "support/glyph_check.h"
#include "support/main_window_fixture.h"
#include "gfx/draw.h"
#include "gfx/image.h"
#include "ui/message_box.h"
#include "ui/register_panel.h"

using namespace akkusim;

namespace {

// --- what the window shows ---------------------------------------------

bool showsText(const Image& shot, int32_t x, int32_t y, std::string_view text, uint32_t colour,
               uint32_t background = kWhite) {
  std::optional<Image> expected = createImage(8 * static_cast<int32_t>(text.size()), 8, background);
  if (!expected) {
    return false;
  }
  drawText(*expected, 0, 0, text, colour);
  for (int32_t dy = 0; dy < 8; ++dy) {
    for (int32_t dx = 0; dx < expected->width; ++dx) {
      if (pixelAt(shot, x + dx, y + dy) != pixelAt(*expected, dx, dy)) {
        return false;
      }
    }
  }
  return true;
}

// The message box with exactly this text, open at its starting place.
bool showsMessage(const Image& shot, std::string_view text, std::string_view buttons) {
  const MessageLayout layout = layoutMessage(text, buttons);
  if (pixelAt(shot, layout.x, layout.y) != kBlack ||
      pixelAt(shot, layout.x - 2, layout.y - 2) != kWhite) {
    return false;
  }
  for (int32_t i = 0; i < layout.lineCount; ++i) {
    if (!showsText(shot, layout.x + 22, layout.y + 20 * (i + 1) - 4,
                   layout.lines[static_cast<std::size_t>(i)], kBlack)) {
      return false;
    }
  }
  const std::string& label = layout.labels[0];
  const int32_t labelX = layout.x + layout.offsets[0] +
                         4 * (layout.longestLabel - static_cast<int32_t>(label.size())) + 6;
  return showsText(shot, labelX, layout.y + layout.height - 38, label, kBlack);
}

std::string registerRow(std::string_view label, std::string_view value) {
  return std::string(label) + std::string(value);
}

// A memory word's six-character field while the view shows rows from 0.
bool wordIsRed(const Image& shot, int32_t address) {
  const int32_t x = 500 + 60 * (address % 10);
  const int32_t y = 15 + 10 * (address / 10);
  return anyPixel(shot, x, y, x + 47, y + 7, kRed);
}

uint32_t listingRowBackground(const Image& shot, int32_t lineIndex) {
  return pixelAt(shot, 400, 200 + 10 * lineIndex + 5);
}

bool showsButton(const Image& shot, MainButton which, std::string_view label, bool active) {
  const Button& button = mainButton(mainButtonLayout(), which);
  const auto x = static_cast<int32_t>(button.x);
  const auto y = static_cast<int32_t>(button.y);
  const auto length = static_cast<int32_t>(label.size());
  return pixelAt(shot, x, y) == (active ? kBlack : kGrey) &&
         showsText(shot, x + 40 - 4 * length + 1, y + 4, label, active ? kBlack : kGrey);
}

bool allButtonsActive(const Image& shot) {
  return showsButton(shot, MainButton::Laden, "Laden", true) &&
         showsButton(shot, MainButton::Speichern, "Speichern", true) &&
         showsButton(shot, MainButton::Assemble, "Assemble", true) &&
         showsButton(shot, MainButton::Starten, "Starten", true) &&
         showsButton(shot, MainButton::Schritt, "Schritt", true) &&
         showsButton(shot, MainButton::Reset, "Reset", true) &&
         showsButton(shot, MainButton::Neu, "Neu", true);
}

int16_t codeOf(std::string_view mnemonic) {
  return findMnemonic(mnemonic)->code;
}

// --- scripting -----------------------------------------------------------

struct RunSession : MainWindowSession {
  RunSession() {
    platform.wait(5);
  }

  HeadlessPlatform& typeProgram(const std::vector<std::string>& lines) {
    for (const std::string& line : lines) {
      platform.type(line).key(keys::kEnter);
    }
    return platform;
  }

  HeadlessPlatform& capture(Image& into) {
    return platform.call([this, &into] { into = screen.window; });
  }

  // Press and hold a main button, note the command's result while it is
  // still held, then release.
  HeadlessPlatform& pressNotingResult(MainButton which, CommandResult& result) {
    platform.moveTo(buttonX(which), buttonY(which)).press().wait(4);
    platform.call([this, &result] { result = main.result; });
    return platform.wait(1).release().wait(5);
  }
};

constexpr double kBoxOpen = 30;  // ms after a click: any message box is up

// --- Assemble --------------------------------------------------------------

TEST(AssembleCommand, ErrorShowsMessageAndKeepsTheOldProgram) {
  struct Case {
    std::vector<std::string> faulty;
    std::string message;
  };
  // Lines typed below a program that was assembled and stepped once.
  const std::vector<Case> cases = {
      {{"foo"}, "Fehler in Zeile 3"},
      {{"JMP ende", "Ende:"}, "Fehlerhafte Variable oder\\nSprungziel in Zeile 3"},
      // A syntax error anywhere comes before an unknown name.
      {{"JMP nirgends", "hold 5"}, "Fehler in Zeile 4"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    RunSession s;
    Image box;
    Image afterBox;
    s.typeProgram({"LOADI 7", "HOLD"});
    s.clickButton(MainButton::Assemble);
    s.clickButton(MainButton::Schritt);
    s.typeProgram(c.faulty);
    s.clickButton(MainButton::Assemble).wait(kBoxOpen);
    s.capture(box).key(keys::kEnter).wait(10);
    s.capture(afterBox);

    EXPECT_EQ(s.run(), 0);

    EXPECT_TRUE(showsMessage(box, c.message, "Abbruch"));
    // The machine still holds the program and the state of the step.
    const MachineState& m = *s.main.session.machine;
    EXPECT_EQ(m.memory[0], codeOf("LOADI"));
    EXPECT_EQ(m.memory[1], 7);
    EXPECT_EQ(m.memory[2], codeOf("HOLD"));
    EXPECT_EQ(m.accumulator, 7);
    EXPECT_EQ(m.pc, 2);
    // The executed-line highlight is gone once the box is answered.
    EXPECT_EQ(s.main.session.highlightLine, 0);
    EXPECT_EQ(listingRowBackground(afterBox, 0), kWhite);
  }
}

TEST(AssembleCommand, ProgramTooLongNamesTheLineThatPassesTheLimit) {
  RunSession s;
  Image box;
  s.setProgram(std::vector<std::string>(32769, "NOOP"));
  s.clickButton(MainButton::Assemble).wait(kBoxOpen);
  s.capture(box).key(keys::kEscape);
  EXPECT_EQ(s.run(), 0);
  EXPECT_TRUE(showsMessage(box, "Out of memory:\\nProgramm zu lang 32769", "Abbruch"));
  EXPECT_EQ(s.main.session.machine->instructionAddress, 0);  // never reset
}

TEST(AssembleCommand, SuccessShowsMemoryButNotTheRegisterRows) {
  RunSession s;
  Image before;
  Image after;
  s.typeProgram({"LOADI 7", "ADDI 1", "HOLD"});
  s.clickButton(MainButton::Schritt);
  s.clickButton(MainButton::Schritt);  // NOOPs at 0 and 2
  s.capture(before);
  s.clickButton(MainButton::Assemble).wait(5);
  s.capture(after);
  EXPECT_EQ(s.run(), 0);

  const MachineState& m = *s.main.session.machine;
  EXPECT_EQ(m.memory[0], codeOf("LOADI"));
  EXPECT_EQ(m.memory[3], 1);
  EXPECT_EQ(m.pc, 0);
  EXPECT_EQ(m.instructionAddress, -2);
  EXPECT_EQ(s.main.session.lineMap.lineOfAddress[2], 2);
  // Memory view: the new words, nothing marked (no instruction executed).
  EXPECT_TRUE(showsText(after, 500 + 60, 15, formatNumber(7, 6), kBlack, kLightGrey));
  for (int32_t address = 0; address < 10; ++address) {
    EXPECT_FALSE(wordIsRed(after, address)) << address;
  }
  // The register rows still show the old "Befehlszähler:" value 2.
  EXPECT_TRUE(
      showsText(after, 30, 90, registerRow("Befehlsz\x84hler:", formatNumber(2, 6)), kBlack));
  for (int32_t y = 30; y <= 97; ++y) {
    for (int32_t x = 30; x <= 429; ++x) {
      ASSERT_EQ(pixelAt(after, x, y), pixelAt(before, x, y)) << x << "," << y;
    }
  }
}

// --- Schritt ---------------------------------------------------------------

TEST(SchrittCommand, MarksLineAndWordsAndStopsAtHold) {
  RunSession s;
  Image first;
  Image second;
  Image hold;
  Image holdAgain;
  s.typeProgram({"LOADI 7", "STORE 100", "HOLD"});
  s.clickButton(MainButton::Assemble);
  s.clickButton(MainButton::Schritt).wait(5);
  s.capture(first);
  s.clickButton(MainButton::Schritt).wait(5);
  s.capture(second);
  s.clickButton(MainButton::Schritt).wait(kBoxOpen);
  s.capture(hold).key(keys::kEnter);
  s.clickButton(MainButton::Schritt).wait(kBoxOpen);
  s.capture(holdAgain).key(keys::kEnter);
  EXPECT_EQ(s.run(), 0);

  // LOADI 7: line 1 light green; its code word and the parameter word red.
  EXPECT_EQ(listingRowBackground(first, 0), kLightGreen);
  EXPECT_EQ(listingRowBackground(first, 1), kWhite);
  EXPECT_TRUE(wordIsRed(first, 0));
  EXPECT_TRUE(wordIsRed(first, 1));
  EXPECT_FALSE(wordIsRed(first, 2));
  EXPECT_TRUE(showsText(first, 30, 30, registerRow("Akkumulator:  ", formatNumber(7, 6)), kBlack));
  EXPECT_TRUE(
      showsText(first, 30, 50, registerRow("Befehl:       ", alignRight("LOADI", 6)), kBlack));

  // STORE 100: the mark moves on; word 100 is the touched word.
  EXPECT_EQ(listingRowBackground(second, 0), kWhite);
  EXPECT_EQ(listingRowBackground(second, 1), kLightGreen);
  EXPECT_FALSE(wordIsRed(second, 0));
  EXPECT_FALSE(wordIsRed(second, 1));
  EXPECT_TRUE(wordIsRed(second, 2));
  EXPECT_TRUE(wordIsRed(second, 100));
  EXPECT_TRUE(showsText(second, 500, 115, "     7", kRed, kLightGrey));

  // HOLD: the memory view without the touched word, then the message.
  EXPECT_TRUE(showsMessage(hold, "Programmende", " OK "));
  EXPECT_EQ(listingRowBackground(hold, 2), kLightGreen);
  EXPECT_TRUE(wordIsRed(hold, 4));
  EXPECT_FALSE(wordIsRed(hold, 100));
  // It stays there: the next Schritt shows the message again.
  EXPECT_TRUE(showsMessage(holdAgain, "Programmende", " OK "));
  EXPECT_EQ(s.main.session.machine->pc, 4);
  EXPECT_EQ(s.main.session.machine->instructionAddress, 4);
  EXPECT_EQ(s.main.session.machine->memory[100], 7);
}

TEST(SchrittCommand, StaleLineNumbersAreLeftAlone) {
  RunSession s;
  Image shot;
  s.typeProgram({"NOOP", "NOOP", "NOOP", "HOLD"});
  s.clickButton(MainButton::Assemble);
  s.clickButton(MainButton::Schritt);
  s.clickButton(MainButton::Schritt);
  // "Neu" leaves one empty line; the line map still names lines 2 to 4,
  // and the mark may name a line that is gone.
  s.clickButton(MainButton::Neu);
  s.platform.call([&s] { s.main.session.highlightLine = 9; });
  s.clickButton(MainButton::Schritt).wait(5);
  s.capture(shot);
  EXPECT_EQ(s.run(), 0);

  EXPECT_EQ(s.lineCount(), 1);
  EXPECT_EQ(s.main.session.highlightLine, 0);
  EXPECT_EQ(s.main.session.machine->instructionAddress, 4);
  EXPECT_EQ(listingRowBackground(shot, 0), kWhite);
  EXPECT_EQ(listingRowBackground(shot, 2), kWhite);
}

// --- Starten / Stoppen -----------------------------------------------------

TEST(RunCommand, RunsToProgrammendeAndGivesTheButtonsBack) {
  RunSession s;
  Image running;
  Image after;
  s.typeProgram({"LOADI 3", "loop:", "SUBI 1", "JMPNZ loop", "HOLD"});
  s.clickButton(MainButton::Assemble);
  s.clickButton(MainButton::Starten).wait(kBoxOpen);
  s.capture(running).key(keys::kEnter).wait(10);
  s.capture(after);
  EXPECT_EQ(s.run(), 0);

  // While the box is up the run is still on: six buttons grey, "Stoppen".
  EXPECT_TRUE(showsMessage(running, "Programmende", " OK "));
  EXPECT_TRUE(showsButton(running, MainButton::Laden, "Laden", false));
  EXPECT_TRUE(showsButton(running, MainButton::Speichern, "Speichern", false));
  EXPECT_TRUE(showsButton(running, MainButton::Assemble, "Assemble", false));
  EXPECT_TRUE(showsButton(running, MainButton::Schritt, "Schritt", false));
  EXPECT_TRUE(showsButton(running, MainButton::Reset, "Reset", false));
  EXPECT_TRUE(showsButton(running, MainButton::Neu, "Neu", false));
  EXPECT_TRUE(showsButton(running, MainButton::Starten, "Stoppen", true));
  EXPECT_EQ(listingRowBackground(running, 4), kLightGreen);

  EXPECT_TRUE(allButtonsActive(after));
  EXPECT_EQ(mainButton(s.main.buttons, MainButton::Starten).label, "Starten");
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
  s.clickButton(MainButton::Starten).wait(2);
  s.capture(running).wait(kBoxOpen).key(keys::kEnter);
  EXPECT_EQ(s.run(), 0);
  EXPECT_TRUE(wordIsRed(running, 0));
  EXPECT_FALSE(wordIsRed(running, 1));
  EXPECT_FALSE(wordIsRed(running, 2));
}

TEST(RunCommand, ListingOnTheScreenFollowsEveryStepOfARun) {
  RunSession s;
  std::vector<Image> screens(6);
  std::vector<Image> listings(6);
  s.typeProgram({"LOADI 100", "loop:", "SUBI 1", "JMPNZ loop", "HOLD"});
  s.clickButton(MainButton::Assemble);
  s.clickButton(MainButton::Starten);
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

TEST(RunCommand, StoppenEndsTheRunAndTheProgramContinues) {
  RunSession s;
  CommandResult stopped = CommandResult::Done;
  int32_t afterStop = 0;
  int16_t countAtStop = 0;
  Image afterStopShot;
  s.typeProgram({"loop:", "ADDI 1", "JMP loop"});
  s.clickButton(MainButton::Assemble);
  s.clickButton(MainButton::Starten).wait(50);
  s.pressNotingResult(MainButton::Starten, stopped);
  s.platform.call([&s, &countAtStop] { countAtStop = s.main.session.machine->accumulator; });
  s.capture(afterStopShot);
  s.clickButton(MainButton::Schritt);
  s.clickButton(MainButton::Schritt);
  s.platform.call([&s, &afterStop] { afterStop = s.main.session.machine->accumulator; });
  s.clickButton(MainButton::Starten).wait(20);
  s.clickButton(MainButton::Starten);
  EXPECT_EQ(s.run(), 0);

  EXPECT_EQ(stopped, CommandResult::Stopped);
  EXPECT_GT(countAtStop, 5);
  EXPECT_TRUE(allButtonsActive(afterStopShot));
  // Two steps: one ADDI and one JMP.
  EXPECT_EQ(afterStop, countAtStop + 1);
  EXPECT_GT(s.main.session.machine->accumulator, afterStop + 5);
}

TEST(RunCommand, ClosingTheWindowDuringARunEndsTheProgram) {
  RunSession s;
  // Would end by itself after about a second, long after the close.
  s.typeProgram({"LOADI 500", "loop:", "SUBI 1", "JMPNZ loop", "HOLD"});
  s.clickButton(MainButton::Assemble);
  s.clickButton(MainButton::Starten).wait(20).closeWindow();
  const double closedAt = s.platform.scriptEndMs();
  EXPECT_EQ(s.run(), 0);
  EXPECT_LT(s.platform.nowMs(), closedAt + 10);
  EXPECT_LT(s.main.session.machine->accumulator, 497);
  EXPECT_GT(s.main.session.machine->accumulator, 400);
}

TEST(RunCommand, ClosingTheWindowWhileAMessageIsUpEndsTheProgram) {
  RunSession s;
  s.typeProgram({"HOLD"});
  s.clickButton(MainButton::Assemble);
  s.clickButton(MainButton::Starten).wait(kBoxOpen).closeWindow();
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
  };
  const std::vector<Case> cases = {
      {{"x: WORD 999"}, "Fehler: Unbekannter Befehl", 0, 2},
      {{"LOADI 1", "SHLI -1", "HOLD"}, "Falscher Operator für SHLI", 1, 4},
      {{"LOADI 1", "SHL s", "HOLD", "s: WORD -32768"}, "Falscher Operator für SHLI", 1, 4},
      {{"LOADI 5", "DIVI 0", "HOLD"}, "Fehler: Division durch Null", 5, 4},
      {{"LOADI 5", "MOD z", "HOLD", "z: WORD 0"}, "Fehler: Division durch Null", 5, 4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.program[1 % c.program.size()]);
    RunSession s;
    Image box;
    Image after;
    s.typeProgram(c.program);
    s.clickButton(MainButton::Assemble);
    s.clickButton(MainButton::Starten).wait(kBoxOpen);
    s.capture(box).key(keys::kEnter).wait(10);
    s.capture(after);
    EXPECT_EQ(s.run(), 0);

    EXPECT_TRUE(showsMessage(box, c.message, " OK "));
    EXPECT_TRUE(allButtonsActive(after));
    EXPECT_EQ(s.main.session.machine->accumulator, c.accumulator);
    EXPECT_EQ(s.main.session.machine->pc, c.pc);
  }
}

// --- Reset -----------------------------------------------------------------

TEST(ResetCommand, ClearsMachineAndHighlightThenRunsClearedMemoryToTheLimit) {
  RunSession s;
  Image afterReset;
  Image box;
  s.typeProgram({"LOADI 7", "HOLD"});
  s.clickButton(MainButton::Assemble);
  s.clickButton(MainButton::Schritt);
  s.clickButton(MainButton::Reset).wait(5);
  s.capture(afterReset);
  // 32,768 passes of NOOP at 1 ms each, then the memory limit.
  s.clickButton(MainButton::Starten).wait(34000);
  s.capture(box).key(keys::kEnter);
  EXPECT_EQ(s.run(), 0);

  EXPECT_EQ(listingRowBackground(afterReset, 0), kWhite);
  EXPECT_TRUE(
      showsText(afterReset, 30, 30, registerRow("Akkumulator:  ", formatNumber(0, 6)), kBlack));
  EXPECT_TRUE(showsText(afterReset, 30, 90, "Befehlsz\x84hler:     -", kBlack));
  EXPECT_FALSE(wordIsRed(afterReset, 0));
  EXPECT_FALSE(wordIsRed(afterReset, 1));

  EXPECT_TRUE(showsMessage(box, "Fehler: Speicherüberlauf", " OK "));
  const MachineState& m = *s.main.session.machine;
  EXPECT_EQ(m.pc, 65536);
  EXPECT_EQ(m.instructionAddress, 65534);
  EXPECT_EQ(s.main.session.highlightLine, 0);
}

}  // namespace
