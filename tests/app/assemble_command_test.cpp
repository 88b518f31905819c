// Assemble driven through the real main loop on a scripted window.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "gfx/image.h"
#include "gfx/key.h"
#include "isa/opcode_table.h"
#include "support/run_session.h"
#include "ui/register_panel.h"

using namespace akkusim;

namespace {

int16_t codeOf(std::string_view mnemonic) {
  return findMnemonic(mnemonic)->code;
}

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
    s.clickButton(MainButton::Step);
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
  EXPECT_TRUE(showsMessage(box, "Speicher voll:\\nProgramm zu lang 32769", "Abbruch"));
  EXPECT_EQ(s.main.session.machine->instructionAddress, 0);  // never reset
}

TEST(AssembleCommand, SuccessShowsMemoryButNotTheRegisterRows) {
  RunSession s;
  Image before;
  Image after;
  s.typeProgram({"LOADI 7", "ADDI 1", "HOLD"});
  s.clickButton(MainButton::Step);
  s.clickButton(MainButton::Step);  // NOOPs at 0 and 2
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

}  // namespace
