// Schritt driven through the real main loop on a scripted window.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "gfx/image.h"
#include "gfx/key.h"
#include "support/run_session.h"
#include "text/align.h"
#include "ui/register_panel.h"

using namespace akkusim;

namespace {

TEST(StepCommand, MarksLineAndWordsAndStopsAtHold) {
  RunSession s;
  Image first;
  Image second;
  Image hold;
  Image holdAgain;
  s.typeProgram({"LOADI 7", "STORE 100", "HOLD"});
  s.clickButton(MainButton::Assemble);
  s.clickButton(MainButton::Step).wait(5);
  s.capture(first);
  s.clickButton(MainButton::Step).wait(5);
  s.capture(second);
  s.clickButton(MainButton::Step).wait(kBoxOpen);
  s.capture(hold).key(keys::kEnter);
  s.clickButton(MainButton::Step).wait(kBoxOpen);
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

TEST(StepCommand, AtTheMemoryLimitTheLineAndTheMarksStay) {
  RunSession s;
  Image box;
  int32_t highlighted = 0;
  s.typeProgram({"JMP 65535"});
  s.clickButton(MainButton::Assemble);
  s.clickButton(MainButton::Step);
  s.clickButton(MainButton::Step).wait(kBoxOpen);
  s.capture(box).call([&s, &highlighted] { highlighted = s.main.session.highlightLine; });
  s.platform.key(keys::kEnter);
  EXPECT_EQ(s.run(), 0);

  EXPECT_TRUE(showsMessage(box, "Fehler: Speicherüberlauf", " OK "));
  EXPECT_EQ(listingRowBackground(box, 0), kLightGreen);
  EXPECT_EQ(highlighted, 1);
  const MachineState& m = *s.main.session.machine;
  EXPECT_EQ(m.pc, 65535);
  EXPECT_EQ(m.instructionAddress, 0);
  EXPECT_EQ(m.touched, 65535);
}

TEST(StepCommand, StaleLineNumbersAreLeftAlone) {
  RunSession s;
  Image shot;
  s.typeProgram({"NOOP", "NOOP", "NOOP", "HOLD"});
  s.clickButton(MainButton::Assemble);
  s.clickButton(MainButton::Step);
  s.clickButton(MainButton::Step);
  // "Neu" leaves one empty line; the line map still names lines 2 to 4,
  // and the mark may name a line that is gone.
  s.clickButton(MainButton::New);
  s.platform.call([&s] { s.main.session.highlightLine = 9; });
  s.clickButton(MainButton::Step).wait(5);
  s.capture(shot);
  EXPECT_EQ(s.run(), 0);

  EXPECT_EQ(s.lineCount(), 1);
  EXPECT_EQ(s.main.session.highlightLine, 0);
  EXPECT_EQ(s.main.session.machine->instructionAddress, 4);
  EXPECT_EQ(listingRowBackground(shot, 0), kWhite);
  EXPECT_EQ(listingRowBackground(shot, 2), kWhite);
}

}  // namespace
