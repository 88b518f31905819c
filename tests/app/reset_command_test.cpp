// Reset driven through the real main loop on a scripted window.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "gfx/image.h"
#include "gfx/key.h"
#include "support/run_session.h"
#include "ui/register_panel.h"

using namespace akkusim;

namespace {

TEST(ResetCommand, ClearsMachineAndHighlightThenRunsClearedMemoryToTheLimit) {
  RunSession s;
  Image afterReset;
  Image box;
  s.typeProgram({"LOADI 7", "HOLD"});
  s.clickButton(MainButton::Assemble);
  s.clickButton(MainButton::Step);
  s.clickButton(MainButton::Reset).wait(5);
  s.capture(afterReset);
  // 32,768 passes of NOOP at 1 ms each, then the memory limit.
  s.clickButton(MainButton::Run).wait(34000);
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

TEST(ResetCommand, KeepsTheScrolledMemoryRowsAndTheLinesOfTheLastAssemble) {
  RunSession s;
  Image afterReset;
  std::vector<int32_t> highlighted;
  const auto noteHighlight = [&s, &highlighted] {
    highlighted.push_back(s.main.session.highlightLine);
  };
  s.typeProgram({"# Anfang", "LOADI 7", "# Mitte", "HOLD"});
  s.clickButton(MainButton::Assemble);
  s.platform.moveTo(700, 400).wait(5).wheel(-1).wait(5);
  s.clickButton(MainButton::Reset).wait(5);
  s.capture(afterReset);
  // The cleared memory runs as NOOPs, still marked with the lines that the
  // last Assemble placed at 0 and 2; no line was placed at 4.
  for (int i = 0; i < 3; ++i) {
    s.clickButton(MainButton::Step).wait(5).call(noteHighlight);
  }
  EXPECT_EQ(s.run(), 0);

  EXPECT_EQ(s.main.memoryView.top, 50);
  EXPECT_TRUE(showsText(afterReset, 440, 15, formatNumber(500, 6), kDarkGrey, kLightGrey));
  EXPECT_EQ(highlighted, (std::vector<int32_t>{2, 4, 0}));
  const MachineState& m = *s.main.session.machine;
  EXPECT_EQ(m.accumulator, 0);
  EXPECT_EQ(m.pc, 6);
}

}  // namespace
