#include "ui/message_box.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "gfx/draw.h"
#include "gfx/image.h"
#include "gfx/key.h"
#include "gfx/screen.h"
#include "platform/headless/headless_platform.h"
#include "program/assemble.h"
#include "program/messages.h"
#include "support/glyph_check.h"

using namespace akkusim;

namespace {

constexpr uint32_t kUnderneath = 0x123456;

// "\\n" in these texts is the two-character separator the callers use.
const std::string kQuestion = "Die Datei exitiert bereits.\\nSoll sie überschrieben werden?";

// A window filled with one colour that the box must give back.
struct BoxFixture {
  HeadlessPlatform platform;
  Screen screen{platform};

  BoxFixture() {
    EXPECT_TRUE(openScreen(screen, kScreenWidth, kScreenHeight).ok());
    fillBox(screen.window, 0, 0, kScreenWidth - 1, kScreenHeight - 1, kUnderneath);
  }

  // Keeps a copy of the window at this point of the script.
  HeadlessPlatform& capture(Image& into) {
    return platform.call([this, &into] { into = screen.window; });
  }
};

bool samePixels(const Image& a, const Image& b) {
  return a.pixels == b.pixels;
}

struct LayoutCase {
  std::string text;
  std::string buttons;
  int32_t lineCount;
  int32_t longestLine;
  int32_t longestLabel;
  int32_t width;
  int32_t height;
  int32_t x;
  int32_t y;
  std::array<int32_t, 3> offsets;
};

TEST(MessageBoxText, JoinsAnAssembleErrorsLinesWithTheSeparator) {
  struct Case {
    AssembleResult result;
    std::string text;
  };
  const Case cases[] = {
      {{AssembleError::None, 0}, ""},
      {{AssembleError::SyntaxError, 7}, "Fehler in Zeile 7"},
      {{AssembleError::UnknownSymbol, 2}, "Fehlerhafte Variable oder\\nSprungziel in Zeile 2"},
      {{AssembleError::ProgramTooLong, 32770}, "Speicher voll:\\nProgramm zu lang 32770"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(joinLines(assembleErrorLines(c.result), kMessageLineBreak), c.text);
  }
}

TEST(MessageLayout, SizesPositionsAndButtonOffsetsFollowLinesAndLabels) {
  const std::vector<LayoutCase> cases = {
      {"Programmende", " OK ", 1, 12, 4, 150, 104, 471, 355, {52, -1, -1}},
      {kQuestion, "Ja\\nNein", 2, 30, 4, 294, 124, 399, 345, {97, 151, -1}},
      {"Speicher voll:\\nProgramm zu lang 12",
       "Abbruch",
       2,
       19,
       7,
       206,
       124,
       443,
       345,
       {68, -1, -1}},
      // The button row is wider than the text: three buttons 15 pixels apart.
      {"Frage", "Ja\\nNein\\nAbbruch", 1, 5, 7, 253, 104, 419, 355, {10, 91, 172}},
      // A third label makes three buttons even with the second one empty.
      {"Frage", "Ja\\n\\nAbbruch", 1, 5, 7, 253, 104, 419, 355, {10, 91, 172}},
      // An umlaut counts as one character once converted.
      {"über", "Ja\\nNein", 1, 4, 4, 124, 104, 484, 355, {12, 66, -1}},
  };
  for (const LayoutCase& c : cases) {
    SCOPED_TRACE(c.text + " / " + c.buttons);
    const MessageLayout layout = layoutMessage(c.text, c.buttons);
    EXPECT_TRUE(layout.fits);
    EXPECT_EQ(layout.lineCount, c.lineCount);
    EXPECT_EQ(layout.longestLine, c.longestLine);
    EXPECT_EQ(layout.longestLabel, c.longestLabel);
    EXPECT_EQ(layout.width, c.width);
    EXPECT_EQ(layout.height, c.height);
    EXPECT_EQ(layout.x, c.x);
    EXPECT_EQ(layout.y, c.y);
    EXPECT_EQ(layout.offsets, c.offsets);
  }
}

TEST(MessageLayout, SplitsAtMostFiveLinesAndThreeLabels) {
  const MessageLayout layout = layoutMessage("1\\n2\\n3\\n4\\n5\\n6\\n7", "a\\nb\\nc\\nd");
  EXPECT_EQ(layout.lineCount, 5);
  EXPECT_EQ(layout.lines[3], "4");
  EXPECT_EQ(layout.lines[4], "5\\n6\\n7");
  EXPECT_EQ(layout.labels[0], "a");
  EXPECT_EQ(layout.labels[1], "b");
  EXPECT_EQ(layout.labels[2], "c\\nd");
}

TEST(MessageLayout, ConvertsOnceAndCutsLabels) {
  // A line feed byte is no separator; umlauts become display bytes.
  const MessageLayout converted = layoutMessage("Zähler\nx", "Schließen");
  EXPECT_EQ(converted.lineCount, 1);
  EXPECT_EQ(converted.lines[0], "Z\x84hler\nx");
  EXPECT_EQ(converted.labels[0],
            "Schlie\xE1"
            "en");

  const std::string long40(40, 'a');
  const std::string long120(120, 'b');
  const MessageLayout twoLabels = layoutMessage("x", long40 + "\\n" + long40);
  EXPECT_EQ(twoLabels.labels[0].size(), 36u);
  EXPECT_EQ(twoLabels.labels[1].size(), 40u);  // the last label is not cut
  const MessageLayout threeLabels = layoutMessage("x", long40 + "\\n" + long40 + "\\n" + long40);
  EXPECT_EQ(threeLabels.labels[0].size(), 36u);
  EXPECT_EQ(threeLabels.labels[1].size(), 36u);  // the middle one is cut too
  EXPECT_EQ(threeLabels.labels[2].size(), 40u);
  EXPECT_EQ(layoutMessage("x", long120).labels[0].size(), 110u);
}

TEST(MessageLayout, TooWideLineDoesNotFit) {
  EXPECT_TRUE(layoutMessage(std::string(130, 'x'), " OK ").fits);
  EXPECT_FALSE(layoutMessage(std::string(131, 'x'), " OK ").fits);
  // Two buttons of 64 characters need 1084 pixels, of 65 exactly 1100.
  const std::string first(36, 'a');
  EXPECT_TRUE(layoutMessage("x", first + "\\n" + std::string(64, 'b')).fits);
  EXPECT_FALSE(layoutMessage("x", first + "\\n" + std::string(65, 'b')).fits);
}

TEST(ShowMessage, TooWideBoxIsNotShownAndDrawsNothing) {
  BoxFixture f;
  const Image before = f.screen.window;
  EXPECT_EQ(showMessage(f.screen, std::string(131, 'x'), " OK "), MessageAnswer::NotShown);
  EXPECT_TRUE(samePixels(f.screen.window, before));
  EXPECT_EQ(f.platform.pollCount(), 0);
}

TEST(ShowMessage, DrawsTheProgramEndBoxAndRestoresTheWindow) {
  BoxFixture f;
  const Image before = f.screen.window;
  Image shown;
  f.platform.wait(5);
  f.capture(shown).key(keys::kEnter);

  EXPECT_EQ(showMessage(f.screen, "Programmende", " OK "), MessageAnswer::FirstButton);

  // The box with its two-pixel white margin covers x 469..618, y 353..456.
  EXPECT_EQ(pixelAt(shown, 469, 353), kWhite);
  EXPECT_EQ(pixelAt(shown, 618, 456), kWhite);
  EXPECT_EQ(pixelAt(shown, 468, 400), kUnderneath);
  EXPECT_EQ(pixelAt(shown, 619, 400), kUnderneath);
  EXPECT_EQ(pixelAt(shown, 500, 352), kUnderneath);
  EXPECT_EQ(pixelAt(shown, 500, 457), kUnderneath);
  // Thin outer line, one-pixel gap, two-pixel inner line.
  EXPECT_EQ(pixelAt(shown, 471, 400), kBlack);
  EXPECT_EQ(pixelAt(shown, 472, 400), kWhite);
  EXPECT_EQ(pixelAt(shown, 473, 400), kBlack);
  EXPECT_EQ(pixelAt(shown, 474, 400), kBlack);
  EXPECT_EQ(pixelAt(shown, 616, 454), kBlack);
  EXPECT_EQ(pixelAt(shown, 617, 455), kWhite);
  // The same three lines at the right and the bottom edge, from the outside in.
  struct Pixel {
    int32_t x;
    int32_t y;
    uint32_t colour;
  };
  const Pixel edges[] = {{616, 400, kBlack}, {615, 400, kWhite}, {614, 400, kBlack},
                         {613, 400, kBlack}, {612, 400, kWhite}, {500, 454, kBlack},
                         {500, 453, kWhite}, {500, 452, kBlack}, {500, 451, kBlack},
                         {500, 450, kWhite}};
  for (const Pixel& p : edges) EXPECT_EQ(pixelAt(shown, p.x, p.y), p.colour) << p.x << "," << p.y;
  // The button's double frame from (523, 413) to (565, 436).
  EXPECT_EQ(pixelAt(shown, 523, 413), kBlack);
  EXPECT_EQ(pixelAt(shown, 565, 436), kBlack);
  EXPECT_EQ(pixelAt(shown, 524, 414), kBlack);
  EXPECT_EQ(pixelAt(shown, 525, 415), kWhite);
  EXPECT_EQ(pixelAt(shown, 522, 413), kWhite);
  // " OK " at (529, 421): the leading blank leaves its cell white.
  EXPECT_FALSE(anyPixel(shown, 525, 415, 536, 434, kBlack));
  EXPECT_TRUE(anyPixel(shown, 537, 421, 552, 428, kBlack));
  EXPECT_FALSE(anyPixel(shown, 537, 415, 560, 420, kBlack));
  EXPECT_TRUE(textAt(shown, 529, 421, " OK ", kBlack, kWhite));
  // The text at (493, 371), 12 cells wide.
  EXPECT_TRUE(textAt(shown, 493, 371, "Programmende", kBlack, kWhite));
  EXPECT_TRUE(anyPixel(shown, 493, 371, 500, 378, kBlack));
  EXPECT_TRUE(anyPixel(shown, 581, 371, 588, 378, kBlack));
  EXPECT_FALSE(anyPixel(shown, 476, 360, 492, 380, kBlack));
  EXPECT_FALSE(anyPixel(shown, 589, 360, 612, 380, kBlack));

  EXPECT_TRUE(samePixels(f.screen.window, before));
}

// The overwrite question: "Ja" at x 496..538, "Nein" at x 550..592, y 423..446.
constexpr int32_t kYesX = 516;
constexpr int32_t kNoX = 570;
constexpr int32_t kButtonsY = 435;

TEST(ShowMessage, AnswersKeysAndClicks) {
  struct Case {
    const char* name;
    std::string buttons;
    void (*script)(HeadlessPlatform&);
    MessageAnswer expected;
  };
  const std::vector<Case> cases = {
      {"Enter", "Ja\\nNein", [](HeadlessPlatform& p) { p.key(keys::kEnter); },
       MessageAnswer::FirstButton},
      {"Escape picks the last label", "Ja\\nNein",
       [](HeadlessPlatform& p) { p.key(keys::kEscape); }, MessageAnswer::SecondButton},
      {"Escape on OK", " OK ", [](HeadlessPlatform& p) { p.key(keys::kEscape); },
       MessageAnswer::FirstButton},
      {"Escape on Abbruch", "Abbruch", [](HeadlessPlatform& p) { p.key(keys::kEscape); },
       MessageAnswer::FirstButton},
      {"other keys dropped", "Ja\\nNein",
       [](HeadlessPlatform& p) { p.type("x ").key(keys::kEscape); }, MessageAnswer::SecondButton},
      {"click Ja", "Ja\\nNein", [](HeadlessPlatform& p) { p.click(kYesX, kButtonsY); },
       MessageAnswer::FirstButton},
      {"click Nein", "Ja\\nNein", [](HeadlessPlatform& p) { p.click(kNoX, kButtonsY); },
       MessageAnswer::SecondButton},
      {"click on the frame line is outside", "Ja\\nNein",
       [](HeadlessPlatform& p) { p.click(496, kButtonsY).key(keys::kEscape); },
       MessageAnswer::SecondButton},
      {"right and left together ignored", "Ja\\nNein",
       [](HeadlessPlatform& p) { p.click(kYesX, kButtonsY, 3).key(keys::kEscape); },
       MessageAnswer::SecondButton},
      {"press outside held until release", "Ja\\nNein",
       [](HeadlessPlatform& p) {
         p.moveTo(100, 100).press().key(keys::kEnter).moveTo(kNoX, kButtonsY).wait(5).release();
       },
       MessageAnswer::FirstButton},
      {"Escape on three buttons picks the third", "Ja\\nNein\\nAbbruch",
       [](HeadlessPlatform& p) { p.key(keys::kEscape); }, MessageAnswer::ThirdButton},
      {"click the third button", "Ja\\nNein\\nAbbruch",
       [](HeadlessPlatform& p) { p.click(620, kButtonsY); }, MessageAnswer::ThirdButton},
      {"press held while the pointer leaves and comes back", "Ja\\nNein",
       [](HeadlessPlatform& p) {
         p.moveTo(kNoX, kButtonsY).press().wait(5).leaveWindow().wait(5);
         p.moveTo(kNoX, kButtonsY).wait(5).release();
       },
       MessageAnswer::SecondButton},
      {"window closed", "Ja\\nNein", [](HeadlessPlatform& p) { p.closeWindow(); },
       MessageAnswer::WindowClosed},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    BoxFixture f;
    const Image before = f.screen.window;
    f.platform.wait(5);
    c.script(f.platform);
    EXPECT_EQ(showMessage(f.screen, kQuestion, c.buttons), c.expected);
    EXPECT_TRUE(samePixels(f.screen.window, before));
  }
}

TEST(ShowMessage, EnterAlreadyQueuedAnswersAtOnce) {
  BoxFixture f;
  f.platform.key(keys::kEnter);
  EXPECT_EQ(showMessage(f.screen, "Programmende", " OK "), MessageAnswer::FirstButton);
  EXPECT_LT(f.platform.nowMs(), 3.0);
}

TEST(ShowMessage, WaitsForTheReleaseOfTheOpeningClick) {
  BoxFixture f;
  // Still held from the click that opened the box: neither a press on "Ja"
  // nor a drag.
  f.platform.moveTo(kYesX, kButtonsY).press().wait(10).release().wait(5).key(keys::kEscape);
  EXPECT_EQ(showMessage(f.screen, kQuestion, "Ja\\nNein"), MessageAnswer::SecondButton);
}

TEST(ShowMessage, PressOnButtonInvertsAndReleasingElsewhereCancels) {
  BoxFixture f;
  Image pressed;
  Image released;
  f.platform.wait(5).moveTo(kNoX, kButtonsY).press().wait(5);
  f.capture(pressed).moveTo(700, 700).wait(5).release().wait(5);
  f.capture(released).key(keys::kEnter);

  EXPECT_EQ(showMessage(f.screen, kQuestion, "Ja\\nNein"), MessageAnswer::FirstButton);

  // Inside the inner frame of "Nein" (550..592): black fill, white label.
  EXPECT_EQ(pixelAt(pressed, 552, 425), kBlack);
  EXPECT_EQ(pixelAt(pressed, 590, 444), kBlack);
  EXPECT_TRUE(anyPixel(pressed, 556, 431, 587, 438, kWhite));
  EXPECT_TRUE(textAt(pressed, 556, 431, "Nein", kWhite, kBlack));
  EXPECT_EQ(pixelAt(pressed, 498, 425), kWhite);  // "Ja" untouched
  // Normal again: white inside, the double frame intact, label black.
  EXPECT_EQ(pixelAt(released, 552, 425), kWhite);
  EXPECT_EQ(pixelAt(released, 551, 424), kBlack);
  EXPECT_EQ(pixelAt(released, 550, 423), kBlack);
  EXPECT_TRUE(anyPixel(released, 556, 431, 587, 438, kBlack));
  EXPECT_TRUE(textAt(released, 556, 431, "Nein", kBlack, kWhite));
  EXPECT_EQ(pixelAt(released, 591, 435), kBlack);
  EXPECT_EQ(pixelAt(released, 592, 446), kBlack);
}

TEST(ShowMessage, APressedButtonStaysPressedWhileThePointerIsOutsideTheWindow) {
  BoxFixture f;
  Image outside;
  f.platform.wait(5).moveTo(kNoX, kButtonsY).press().wait(5).leaveWindow().wait(5);
  f.capture(outside).moveTo(kNoX, kButtonsY).wait(5).release();

  EXPECT_EQ(showMessage(f.screen, kQuestion, "Ja\\nNein"), MessageAnswer::SecondButton);

  EXPECT_EQ(pixelAt(outside, 552, 425), kBlack);
}

TEST(ShowMessage, DraggingMovesTheBoxAndClampsAtTheEdges) {
  struct Case {
    const char* name;
    int32_t toX;
    int32_t toY;
    int32_t boxLeft;  // X - 2 after the drag
    int32_t boxTop;   // Y - 2 after the drag
  };
  // The box is 294 x 124 at X 399, Y 345; the press is at (420, 360).
  const std::vector<Case> cases = {
      {"by the pointer's move", 450, 330, 427, 313},
      {"far left and up", 0, 0, 0, 0},
      {"far right and down", 1099, 799, 805, 675},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    BoxFixture f;
    const Image before = f.screen.window;
    Image dragged;
    f.platform.wait(5).moveTo(420, 360).press().wait(3).moveTo(c.toX, c.toY).wait(3).release();
    f.platform.wait(3);
    f.capture(dragged).key(keys::kEscape);

    EXPECT_EQ(showMessage(f.screen, kQuestion, "Ja\\nNein"), MessageAnswer::SecondButton);

    const int32_t left = c.boxLeft;
    const int32_t top = c.boxTop;
    EXPECT_EQ(pixelAt(dragged, left, top + 50), kWhite);
    EXPECT_EQ(pixelAt(dragged, left + 2, top + 50), kBlack);
    EXPECT_EQ(pixelAt(dragged, left + 293, top + 123), kWhite);
    EXPECT_EQ(pixelAt(dragged, left + 291, top + 121), kBlack);
    EXPECT_EQ(pixelAt(dragged, left - 1, top + 50), left == 0 ? 0u : kUnderneath);
    EXPECT_EQ(pixelAt(dragged, left + 294, top + 50), kUnderneath);
    EXPECT_EQ(pixelAt(dragged, left + 100, top + 124), kUnderneath);
    // Where the box stood before, the window shows through again.
    if (left > 399 + 294 || left + 294 < 397 || top > 343 + 124 || top + 124 < 343) {
      EXPECT_EQ(pixelAt(dragged, 500, 400), kUnderneath);
    }
    EXPECT_TRUE(samePixels(f.screen.window, before));
  }
}

TEST(ShowMessage, APressDragsTheBoxStrictlyInsideItsAnchorRectangle) {
  // The box is 294 x 124 at X 399, Y 345: a press drags it strictly inside
  // x 399..693 and y 345..469, which reaches two pixels past the box's
  // right and bottom edges; the press moves 200 pixels down.
  struct Case {
    int32_t x;
    int32_t y;
    bool drags;
  };
  const std::vector<Case> cases = {
      {399, 400, false}, {400, 400, true}, {692, 400, true}, {693, 400, false},
      {450, 345, false}, {450, 346, true}, {450, 468, true}, {450, 469, false},
  };
  for (const Case& c : cases) {
    BoxFixture f;
    Image after;
    f.platform.wait(5).moveTo(c.x, c.y).press().wait(3).moveTo(c.x, c.y + 200).wait(3).release();
    f.platform.wait(3);
    f.capture(after).key(keys::kEnter);

    EXPECT_EQ(showMessage(f.screen, kQuestion, "Ja\\nNein"), MessageAnswer::FirstButton);

    EXPECT_EQ(pixelAt(after, 500, 343), c.drags ? kUnderneath : kWhite) << c.x << "," << c.y;
  }
}

TEST(ShowMessage, ButtonsAnswerAtTheirNewPlaceAfterADrag) {
  BoxFixture f;
  f.platform.wait(5).moveTo(420, 360).press().wait(3).moveTo(320, 260).wait(3).release();
  f.platform.wait(3).click(kNoX - 100, kButtonsY - 100);
  EXPECT_EQ(showMessage(f.screen, kQuestion, "Ja\\nNein"), MessageAnswer::SecondButton);
}

TEST(ShowMessage, PointerLeavingTheWindowEndsADrag) {
  BoxFixture f;
  const Image before = f.screen.window;
  Image back;
  f.platform.wait(5).moveTo(420, 360).press().wait(3).moveTo(430, 360).wait(3);
  f.platform.leaveWindow().wait(3).moveTo(900, 700).wait(3);
  f.capture(back).release().wait(3);
  f.platform.key(keys::kEnter);
  EXPECT_EQ(showMessage(f.screen, kQuestion, "Ja\\nNein"), MessageAnswer::FirstButton);
  EXPECT_TRUE(samePixels(f.screen.window, before));
  // Back in the window with the button still down, the box stays where the
  // drag left it, 10 pixels right of where it opened.
  EXPECT_EQ(pixelAt(back, 407, 343), kWhite);
  EXPECT_EQ(pixelAt(back, 406, 343), kUnderneath);
  EXPECT_EQ(pixelAt(back, 1000, 750), kUnderneath);
}

TEST(ShowMessage, WaitingAndHoldingPauseBetweenPolls) {
  // Setup: a second of reading, then a second of holding the button on the box.
  BoxFixture f;
  f.platform.wait(1000).moveTo(420, 360).press().wait(1000).release().wait(5);
  f.platform.key(keys::kEnter);

  // Run
  EXPECT_EQ(showMessage(f.screen, kQuestion, "Ja\\nNein"), MessageAnswer::FirstButton);

  // Verify: a few polls per millisecond, not the hundred of a loop without
  // pauses (each poll moves the virtual clock by 10 us).
  EXPECT_LT(f.platform.pollCount(), 6000);
}

}  // namespace
