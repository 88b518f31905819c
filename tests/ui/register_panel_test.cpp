#include "ui/register_panel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/headless/headless_platform.h"
#include "support/glyph_check.h"

using namespace akkusim;

namespace {

struct PanelFixture : ::testing::Test {
  void SetUp() override { ASSERT_TRUE(openScreen(screen, kScreenWidth, kScreenHeight).ok()); }
  HeadlessPlatform platform;
  Screen screen{platform};
  std::unique_ptr<MachineState> machine = std::make_unique<MachineState>();
};

// The cell of memory word column k, row i.
int32_t wordX(int32_t k) {
  return 500 + 60 * k;
}
int32_t rowY(int32_t i) {
  return 15 + 10 * i;
}

TEST(FormatNumber, PadsOrFillsWithHashes) {
  struct Case {
    int32_t value;
    int32_t width;
    std::string expected;
  };
  const std::vector<Case> cases = {
      {0, 6, "     0"},       {-1, 6, "    -1"},      {-32768, 6, "-32768"}, {65535, 6, " 65535"},
      {1234567, 6, "######"}, {-100000, 6, "######"}, {42, 2, "42"},         {5, 0, ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(formatNumber(c.value, c.width), c.expected) << c.value << " in " << c.width;
  }
}

TEST_F(PanelFixture, AfterResetShowsZerosNoopAndDashes) {
  fillBox(screen.window, 25, 25, 429, 100, kRed);  // whatever was there before
  resetMachine(*machine);
  drawRegisterPanel(screen, MemoryView{}, *machine, std::nullopt);

  const Image& w = screen.window;
  EXPECT_TRUE(textAt(w, 30, 30, "Akkumulator:       0", kBlack, kWhite));
  EXPECT_TRUE(textAt(w, 30, 50, "Befehl:         NOOP", kBlack, kWhite));
  EXPECT_TRUE(textAt(w, 30, 70, "Parameter:         -", kBlack, kWhite));
  EXPECT_TRUE(textAt(w, 30, 90, "Befehlsz\x84hler:     -", kBlack, kWhite));
  EXPECT_TRUE(textAt(w, 280, 30, "  C  (Carry)", kBlack, kWhite));
  EXPECT_TRUE(textAt(w, 280, 50, "  V  (Overflow)", kBlack, kWhite));
  EXPECT_TRUE(textAt(w, 280, 70, "  Z  (Zero)", kBlack, kWhite));
  EXPECT_TRUE(textAt(w, 280, 90, "  N  (Negative)", kBlack, kWhite));
  // Separators.
  EXPECT_EQ(pixelAt(w, 430, 0), kBlack);
  EXPECT_EQ(pixelAt(w, 430, 799), kBlack);
  EXPECT_EQ(pixelAt(w, 0, 180), kBlack);
  EXPECT_EQ(pixelAt(w, 431, 180), kLightGrey);  // the memory view covers the line's end
  EXPECT_EQ(pixelAt(w, 200, 181), kWhite);
  EXPECT_EQ(pixelAt(w, 430, 10), kDarkGrey);  // the header line starts on the divider
  // The register rows repaint exactly x 30..429, y 30..97.
  EXPECT_FALSE(anyPixel(w, 30, 30, 429, 97, kRed));
  EXPECT_EQ(pixelAt(w, 29, 30), kRed);
  EXPECT_EQ(pixelAt(w, 30, 98), kRed);
  // No word is red: no instruction executed and nothing touched.
  EXPECT_FALSE(anyPixel(w, 431, 11, 1099, 799, kRed));
}

TEST_F(PanelFixture, ShowsRegistersFlagsAndTheLastInstruction) {
  struct Case {
    int16_t instruction;
    int16_t parameter;
    const char* instructionLine;
    const char* parameterLine;
  };
  const std::vector<Case> cases = {
      {0x020A, 5, "Befehl:         ADDI", "Parameter:         5"},
      {0x0038, 5, "Befehl:          NOT", "Parameter:         -"},
      {0x0127, 5, "Befehl:        ERROR", "Parameter:         -"},
      {0x0114, -300, "Befehl:         LOAD", "Parameter:      -300"},
  };
  for (const Case& c : cases) {
    machine->accumulator = static_cast<int16_t>(0x8000);
    machine->instruction = c.instruction;
    machine->parameter = c.parameter;
    machine->instructionAddress = 12;
    machine->carry = 1;
    machine->negative = 1;
    drawRegisterPanel(screen, MemoryView{}, *machine, std::nullopt);

    const Image& w = screen.window;
    EXPECT_TRUE(textAt(w, 30, 30, "Akkumulator:  -32768", kBlack, kWhite));
    EXPECT_TRUE(textAt(w, 30, 50, c.instructionLine, kBlack, kWhite));
    EXPECT_TRUE(textAt(w, 30, 70, c.parameterLine, kBlack, kWhite));
    EXPECT_TRUE(textAt(w, 30, 90, "Befehlsz\x84hler:    12", kBlack, kWhite));
    EXPECT_TRUE(textAt(w, 280, 30, "* C  (Carry)", kBlack, kWhite));
    EXPECT_TRUE(textAt(w, 280, 50, "  V  (Overflow)", kBlack, kWhite));
    EXPECT_TRUE(textAt(w, 280, 90, "* N  (Negative)", kBlack, kWhite));
  }
}

TEST_F(PanelFixture, MemoryViewShowsHeadersAddressesAndSignedWords) {
  machine->memory[0] = -1;
  machine->memory[13] = 32767;
  machine->instructionAddress = -2;
  drawMemoryView(screen, MemoryView{}, *machine, std::nullopt);

  const Image& w = screen.window;
  for (int32_t k = 0; k < 10; ++k) {
    EXPECT_TRUE(textAt(w, 540 + 60 * k, 0, std::string(1, static_cast<char>('0' + k)), kDarkGrey,
                       kLightGrey));
  }
  EXPECT_EQ(pixelAt(w, 492, 400), kDarkGrey);
  EXPECT_EQ(pixelAt(w, 800, 10), kDarkGrey);
  EXPECT_TRUE(textAt(w, 440, rowY(0), "     0", kDarkGrey, kLightGrey));
  EXPECT_TRUE(textAt(w, 440, rowY(77), "   770", kDarkGrey, kLightGrey));
  EXPECT_TRUE(textAt(w, wordX(0), rowY(0), "    -1", kBlack, kLightGrey));
  EXPECT_TRUE(textAt(w, wordX(3), rowY(1), " 32767", kBlack, kLightGrey));
  EXPECT_TRUE(textAt(w, wordX(9), rowY(77), "     0", kBlack, kLightGrey));
}

TEST_F(PanelFixture, MarksTheCurrentInstructionAndTheTouchedWordRed) {
  struct Case {
    int32_t instructionAddress;
    std::optional<Address> touched;
    std::vector<int32_t> red;
  };
  const std::vector<Case> cases = {
      {4, 17, {4, 17}}, {4, 4, {4}}, {4, std::nullopt, {4}}, {-2, 70000, {}}, {-2, 779, {779}},
  };
  for (const Case& c : cases) {
    machine->instructionAddress = c.instructionAddress;
    drawMemoryView(screen, MemoryView{}, *machine, c.touched);
    for (int32_t address = 0; address < 780; ++address) {
      const bool red = std::find(c.red.begin(), c.red.end(), address) != c.red.end();
      EXPECT_TRUE(textAt(screen.window, wordX(address % 10), rowY(address / 10), "     0",
                         red ? kRed : kBlack, kLightGrey))
          << "address " << address << " touched "
          << (c.touched ? std::to_string(*c.touched) : "none");
    }
  }
}

TEST_F(PanelFixture, LastRowsStopAtTheLastAddress) {
  const MemoryView lastRows{kMaxMemoryViewTop};
  machine->memory[65535] = 7;
  machine->memory[65530] = -5;
  drawMemoryView(screen, lastRows, *machine, 65535);

  const Image& w = screen.window;
  EXPECT_TRUE(textAt(w, 440, rowY(0), " 64760", kDarkGrey, kLightGrey));
  EXPECT_TRUE(textAt(w, 440, rowY(77), " 65530", kDarkGrey, kLightGrey));
  EXPECT_TRUE(textAt(w, wordX(0), rowY(77), "    -5", kBlack, kLightGrey));
  EXPECT_TRUE(textAt(w, wordX(5), rowY(77), "     7", kRed, kLightGrey));
  // The four cells after 65535 stay empty.
  EXPECT_FALSE(anyPixel(w, wordX(6), rowY(77), 1099, 799, kBlack));
}

}  // namespace
