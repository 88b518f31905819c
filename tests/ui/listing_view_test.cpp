#include "ui/listing_view.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/headless/headless_platform.h"
#include "support/glyph_check.h"

using namespace akkusim;

namespace {

constexpr int32_t kTop = 200;  // the listing's first row on the screen

struct ListingFixture : ::testing::Test {
  void SetUp() override {
    ASSERT_TRUE(openScreen(screen, kScreenWidth, kScreenHeight).ok());
    listing = makeListingView();
  }
  void TearDown() override { destroyListingView(listing); }

  void setLines(const std::vector<std::string>& texts) {
    program.lines.clear();
    for (const std::string& text : texts) {
      ProgramLine line;
      line.text = text;
      program.lines.push_back(line);
    }
    listing.view.contentHeight = 10 * lineCount(program);
  }

  HeadlessPlatform platform;
  Screen screen{platform};
  ListingView listing;
  ProgramText program;
  int32_t highlightLine = 0;
};

TEST_F(ListingFixture, StartsWithOneEmptyLineInAWhiteViewport) {
  EXPECT_EQ(lineCount(program), 1);
  EXPECT_EQ(highlightLine, 0);
  EXPECT_EQ(listing.view.bounds.x, 0);
  EXPECT_EQ(listing.view.bounds.y, 200);
  EXPECT_EQ(listing.view.bounds.width, 430);
  EXPECT_EQ(listing.view.bounds.height, 600);
  EXPECT_EQ(listing.view.contentWidth, 430);
  EXPECT_EQ(listing.view.contentHeight, 10);
  EXPECT_FALSE(listing.view.wholeContentImage);
  EXPECT_EQ(listing.view.image.width, 430);
  EXPECT_EQ(listing.view.image.height, 600);
}

TEST_F(ListingFixture, ColoursCodeCommentFaultyCodeAndLineNumbers) {
  setLines({"load 5 # start", "  LOAD 5 # x", "foo # bad", "HOLD"});
  redrawListing(screen, listing, program);

  const Image& w = screen.window;
  // Parsing upper-cased the mnemonic; the code part is black up to the "#".
  EXPECT_TRUE(textAt(w, 2, kTop, "     1", kGrey, kWhite));
  EXPECT_TRUE(textAt(w, 60, kTop + 1, "LOAD 5 ", kBlack, kWhite));
  EXPECT_TRUE(textAt(w, 116, kTop + 1, "# start", kDarkGrey, kWhite));
  // Two leading blanks move the comment to column 10.
  EXPECT_TRUE(textAt(w, 60, kTop + 11, "  LOAD 5 ", kBlack, kWhite));
  EXPECT_TRUE(textAt(w, 132, kTop + 11, "# x", kDarkGrey, kWhite));
  // A faulty line: code red, comment still dark grey.
  EXPECT_TRUE(textAt(w, 60, kTop + 21, "foo ", kRed, kWhite));
  EXPECT_TRUE(textAt(w, 92, kTop + 21, "# bad", kDarkGrey, kWhite));
  // Without "#" the whole line is code.
  EXPECT_TRUE(textAt(w, 60, kTop + 31, "HOLD", kBlack, kWhite));
  EXPECT_TRUE(textAt(w, 2, kTop + 30, "     4", kGrey, kWhite));
  // Separator column.
  for (int32_t y = kTop; y < kTop + 40; ++y) EXPECT_EQ(pixelAt(w, 55, y), kGrey) << y;
  EXPECT_EQ(pixelAt(w, 55, kTop + 40), kWhite);
  EXPECT_EQ(program.lines[0].text, "LOAD 5 # start");
}

TEST_F(ListingFixture, AnUmlautInACommentIsDrawnAsItsTwoBytes) {
  program.lines.front().text = "HOLD # sch\xC3\xB6n";

  redrawListing(screen, listing, program);

  // The two bytes of the UTF-8 letter are two glyphs of their own.
  EXPECT_TRUE(textAt(screen.window, 100, 201, "# sch\xC3\xB6n", kDarkGrey, kWhite));
}

TEST_F(ListingFixture, ScrolledRowsAreClippedAndFiveDigitNumbersFit) {
  setLines(std::vector<std::string>(12400, "HOLD"));
  listing.view.scrollY = 12344 * 10;
  redrawListing(screen, listing, program);
  EXPECT_TRUE(textAt(screen.window, 2, kTop, " 12345", kGrey, kWhite));

  listing.view.scrollY = 10;
  redrawListing(screen, listing, program);
  EXPECT_TRUE(textAt(screen.window, 2, kTop, "     2", kGrey, kWhite));
  EXPECT_TRUE(textAt(screen.window, 2, kTop + 590, "    61", kGrey, kWhite));
  // Line 0 was drawn above the image and did not wrap into it.
  EXPECT_EQ(program.lines[0].lineIndex, 0);

  // Past index 32767 the 16-bit index counts on instead of turning negative.
  ProgramLine far;
  far.text = "HOLD";
  far.lineIndex = static_cast<int16_t>(-32768);
  listing.view.scrollY = 32768 * 10;
  drawProgramLine(screen, far, listing, true, kWhite);
  EXPECT_TRUE(textAt(screen.window, 2, kTop, " 32769", kGrey, kWhite));
}

TEST_F(ListingFixture, SingleRowRedrawUsesTheGivenBackground) {
  setLines({"HOLD", "HOLD"});
  redrawListing(screen, listing, program);
  drawProgramLine(screen, program.lines[1], listing, true, kLightGreen);

  EXPECT_TRUE(textAt(screen.window, 60, kTop + 11, "HOLD", kBlack, kLightGreen));
  EXPECT_EQ(pixelAt(screen.window, 0, kTop + 10), kLightGreen);
  EXPECT_EQ(pixelAt(screen.window, 429, kTop + 19), kLightGreen);
  EXPECT_EQ(pixelAt(screen.window, 0, kTop + 20), kWhite);
  EXPECT_EQ(pixelAt(screen.window, 0, kTop + 9), kWhite);
}

TEST_F(ListingFixture, HighlightIsClearedAndStaleLineNumbersAreLeftAlone) {
  setLines({"HOLD", "HOLD"});
  redrawListing(screen, listing, program);
  EXPECT_TRUE(drawListingRow(screen, listing, program, 2, true, kLightGreen));
  highlightLine = 2;

  clearHighlight(screen, listing, program, highlightLine);
  EXPECT_EQ(highlightLine, 0);
  EXPECT_EQ(pixelAt(screen.window, 0, kTop + 10), kWhite);

  // A line map entry from an older, longer program.
  const Image before = screen.window;
  for (const int32_t stale : {0, -4, 3, 70000}) {
    EXPECT_FALSE(drawListingRow(screen, listing, program, stale, true, kLightGreen)) << stale;
    highlightLine = stale;
    clearHighlight(screen, listing, program, highlightLine);
    EXPECT_EQ(highlightLine, 0);
  }
  EXPECT_EQ(screen.window.pixels, before.pixels);
}

TEST_F(ListingFixture, ScrollBarAppearsForLongPrograms) {
  setLines(std::vector<std::string>(120, ""));
  listing.view.scrollY = 300;
  redrawListing(screen, listing, program);
  // Frame of the bar and its thumb from y + 300 * 600 / 1200 + 1.
  EXPECT_EQ(pixelAt(screen.window, 425, kTop + 100), kBlack);
  EXPECT_EQ(pixelAt(screen.window, 427, kTop + 151), kGrey);
  EXPECT_EQ(pixelAt(screen.window, 427, kTop + 149), kWhite);
}

}  // namespace
