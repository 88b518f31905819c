#include "ui/file_chooser.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "files/disk_program_store.h"
#include "gfx/draw.h"
#include "gfx/image.h"
#include "gfx/key.h"
#include "gfx/screen.h"
#include "platform/headless/headless_platform.h"
#include "support/glyph_check.h"
#include "support/temp_folder.h"

using namespace akkusim;

namespace {

constexpr uint32_t kUnderneath = 0x123456;

// The list's rows are 15 pixels high from y 245; entry i is picked at
// 245 + 15 * i + 5 while the list is not scrolled.
int32_t rowY(int32_t row) {
  return 245 + 15 * row + 5;
}
constexpr int32_t kListInsideX = 400;
constexpr int32_t kCancelX = 780;
constexpr int32_t kCancelY = 560;
constexpr int32_t kSaveFrameX = 740;
constexpr int32_t kSaveFrameY = 520;

struct ChooserFixture {
  HeadlessPlatform platform;
  Screen screen{platform};
  TempFolder temp{"chooser"};
  std::filesystem::path root = temp.path();
  std::filesystem::path folder = root / "Programme";
  DiskProgramStore store{folder};
  Image before;

  ChooserFixture() {
    EXPECT_TRUE(openScreen(screen, kScreenWidth, kScreenHeight).ok());
    fillBox(screen.window, 0, 0, kScreenWidth - 1, kScreenHeight - 1, kUnderneath);
    before = screen.window;
    std::filesystem::create_directories(folder);
  }

  void addFile(const std::string& fileName) const {
    std::ofstream(folder / fileName, std::ios::binary) << "HOLD\r\n";
  }

  HeadlessPlatform& capture(Image& into) {
    return platform.call([this, &into] { into = screen.window; });
  }

  // The chosen name, "" for a cancel, kClosed for the window closing.
  std::string choose(bool loadMode, const std::string& proposed = "") {
    const ChosenFile chosen = chooseFile(screen, loadMode, proposed, store);
    switch (chosen.end) {
      case ChooserEnd::Chosen:
        return chosen.name;
      case ChooserEnd::Cancelled:
        return "";
      case ChooserEnd::WindowClosed:
        return kClosed;
    }
    return "?";
  }
  static constexpr const char* kClosed = "(window closed)";
};

// The cursor bar is a 3 x 10 black column with no black beside it.
void expectCursorBarAt(const Image& image, int32_t left) {
  EXPECT_TRUE(allPixels(image, left, 219, left + 2, 228, kBlack)) << "bar at " << left;
  EXPECT_FALSE(anyPixel(image, left + 3, 219, left + 3, 228, kBlack)) << "right of " << left;
}

TEST(FileChooser, SaveModeNameFieldFollowsTheTypedName) {
  ChooserFixture f;
  Image opened;
  Image typed;
  Image emptied;
  f.platform.wait(5);
  f.capture(opened).key(keys::character('1')).wait(5);
  f.capture(typed);
  for (int i = 0; i < 5; ++i) f.platform.key(keys::kBackspace);
  f.platform.wait(5);
  f.capture(emptied).key(keys::kEnter);

  EXPECT_EQ(f.choose(false, "test"), "");

  EXPECT_TRUE(anyPixel(opened, 410, 220, 441, 227, kBlack));
  EXPECT_TRUE(textAt(opened, 410, 220, "test", kBlack, kWhite));
  expectCursorBarAt(opened, 442);
  EXPECT_EQ(pixelAt(opened, kSaveFrameX, kSaveFrameY), kBlack);
  EXPECT_TRUE(anyPixel(typed, 442, 220, 449, 227, kBlack)) << "the digit 1";
  expectCursorBarAt(typed, 450);
  EXPECT_FALSE(anyPixel(emptied, 413, 219, 729, 228, kBlack));
  expectCursorBarAt(emptied, 410);
  EXPECT_EQ(pixelAt(emptied, kSaveFrameX, kSaveFrameY), kGrey) << "Speichern disabled";
}

TEST(FileChooser, CursorBarBehindAFullNameDisappearsWhenTheNameShrinks) {
  ChooserFixture f;
  Image full;
  Image shortened;
  f.platform.wait(5).type(std::string(40, 'n')).wait(5);
  f.capture(full).key(keys::kBackspace).wait(5);
  f.capture(shortened).key(keys::kEscape);

  f.choose(false);

  expectCursorBarAt(full, 730);
  expectCursorBarAt(shortened, 722);
  EXPECT_FALSE(anyPixel(shortened, 725, 219, 732, 228, kBlack));
}

TEST(FileChooser, SaveModeReturnsTheTypedNameWithoutForbiddenCharacters) {
  struct Case {
    std::string proposed;
    std::string typed;
    std::string expected;
  };
  const std::vector<Case> cases = {
      {"", "a.b", "ab"},
      {"", "x_1-Y z!", "x_1-Yz"},
      {"alt", "", "alt"},
      {std::string(38, 'n'), "abcd", std::string(38, 'n') + "ab"},
  };
  for (const Case& c : cases) {
    ChooserFixture f;
    f.platform.wait(5).type(c.typed).key(keys::kEnter);
    EXPECT_EQ(f.choose(false, c.proposed), c.expected) << c.typed;
  }
}

TEST(FileChooser, LeftStopsAtTheNamesFirstColumn) {
  ChooserFixture f;
  Image atStart;
  f.platform.wait(5);
  for (int i = 0; i < 3; ++i) f.platform.key(keys::kLeft);
  f.platform.wait(5);
  f.capture(atStart).type("x").key(keys::kEnter);

  EXPECT_EQ(f.choose(false, "ab"), "xab");
  // The bar on the first cell (whose letter touches it), none left of it.
  EXPECT_TRUE(allPixels(atStart, 410, 219, 412, 228, kBlack));
  EXPECT_FALSE(anyPixel(atStart, 400, 219, 409, 228, kBlack));
}

TEST(FileChooser, SaveButtonReturnsTheNameAndIsEnabledBeforeTheFirstKey) {
  ChooserFixture f;
  f.platform.wait(5).click(780, 530);
  EXPECT_EQ(f.choose(false, ""), "");

  ChooserFixture g;
  g.platform.wait(5).type("neu").click(780, 530);
  EXPECT_EQ(g.choose(false, "alt"), "altneu");
}

TEST(FileChooser, LoadModeIgnoresTypingAndEnter) {
  ChooserFixture f;
  f.addFile("demo.txt");
  Image opened;
  Image typed;
  f.platform.wait(5);
  f.capture(opened).type("abc").key(keys::kEnter).wait(5);
  f.capture(typed).click(kListInsideX, rowY(0));

  EXPECT_EQ(f.choose(true), "demo");
  EXPECT_EQ(typed.pixels, opened.pixels) << "no name field in load mode";
  EXPECT_EQ(pixelAt(typed, kSaveFrameX, kSaveFrameY), kWhite) << "no Speichern";
}

TEST(FileChooser, EscapeCancelAndCloseEndTheDialogAndRestoreTheWindow) {
  struct Case {
    bool loadMode;
    bool useEscape;
    bool useClose;
    std::string expected;
  };
  const std::vector<Case> cases = {
      {true, true, false, ""},
      {false, true, false, ""},
      {true, false, false, ""},
      {false, false, false, ""},
      {true, false, true, ChooserFixture::kClosed},
      {false, false, true, ChooserFixture::kClosed},
  };
  for (const Case& c : cases) {
    ChooserFixture f;
    f.addFile("demo.txt");
    Image open;
    f.platform.wait(5);
    f.capture(open);
    if (c.useEscape) {
      f.platform.key(keys::kEscape);
    } else if (c.useClose) {
      f.platform.closeWindow();
    } else {
      f.platform.click(kCancelX, kCancelY);
    }
    f.platform.wait(500).key(keys::character('x'));  // would be read only if the dialog stayed open

    EXPECT_EQ(f.choose(c.loadMode, "demo"), c.expected) << c.loadMode << c.useEscape << c.useClose;
    EXPECT_NE(open.pixels, f.before.pixels) << "the dialog was shown";
    EXPECT_EQ(f.screen.window.pixels, f.before.pixels) << "background restored";
    EXPECT_LT(f.platform.nowMs(), 400.0);
  }
}

TEST(FileChooser, KeyAndPressInOnePassAreTakenInTurn) {
  // The window closing and, in save mode, Enter come before a press on an
  // entry; a press on an entry comes before Escape.
  struct Case {
    bool loadMode;
    Key key;
    std::string expected;
  };
  const std::vector<Case> cases = {
      {true, keys::kWindowClose, ChooserFixture::kClosed},
      {false, keys::kWindowClose, ChooserFixture::kClosed},
      {false, keys::kEnter, "neu"},
      {true, keys::kEscape, "demo"},
  };
  for (const Case& c : cases) {
    ChooserFixture f;
    f.addFile("demo.txt");
    f.platform.wait(5).moveTo(kListInsideX, rowY(0)).press().key(c.key).release();

    EXPECT_EQ(f.choose(c.loadMode, "neu"), c.expected) << c.loadMode << int{c.key.code};
  }
}

TEST(FileChooser, ClickOnAnEntryPicksItWhileTheButtonIsStillDown) {
  ChooserFixture f;
  for (const char* name : {"eins.txt", "zwei.txt", "drei.txt"}) f.addFile(name);
  f.platform.wait(5).moveTo(kListInsideX, rowY(1)).press().wait(1000).release();

  EXPECT_EQ(f.choose(true), "eins");  // sorted: drei, eins, zwei
  EXPECT_LT(f.platform.nowMs(), 100.0);
  EXPECT_EQ(f.screen.window.pixels, f.before.pixels);
}

TEST(FileChooser, PressesOutsideTheEntriesOrWithOtherButtonsPickNothing) {
  ChooserFixture f;
  for (const char* name : {"a.txt", "b.txt", "c.txt"}) f.addFile(name);
  f.platform.wait(5)
      .click(kListInsideX, 290)     // just below the third entry
      .click(kListInsideX, 250, 3)  // left and right together
      .click(kListInsideX, 250, 2)  // right alone
      .click(259, 250)              // left of the list
      .click(711, 250)              // right of the list
      .click(kListInsideX, 244)     // above the list
      .wait(5)
      .click(260, 245);  // the list's corner still counts

  EXPECT_EQ(f.choose(true), "a");
  EXPECT_GT(f.platform.nowMs(), 60.0) << "the earlier presses were ignored";
}

TEST(FileChooser, WheelScrollsTheListByRowsOrPagesWithShift) {
  struct Case {
    std::vector<int32_t> notches;
    bool shift;
    int32_t clickY;
    std::string expected;  // "" = nothing picked, then Escape
    bool rightShift = false;
  };
  const std::vector<Case> cases = {
      {{-1}, false, rowY(0), "f01"},         // one row down
      {{-1, -1, 1}, false, rowY(0), "f01"},  // and back up one
      {{-1}, true, rowY(0), "f07"},          // 345 stopped at 105
      {{-1}, true, 589, "f29"},              // the last row
      {{-1}, true, 590, ""},                 // below the last entry
      {{1}, false, rowY(0), "f00"},          // nothing above the top
      {{-1}, false, rowY(0), "f07", true},   // the right Shift key pages too
  };
  for (const Case& c : cases) {
    ChooserFixture f;
    for (int i = 0; i < 30; ++i) f.addFile((i < 10 ? "f0" : "f") + std::to_string(i) + ".txt");
    f.platform.wait(5).moveTo(kListInsideX, 400).shift(c.shift).rightShift(c.rightShift).wait(2);
    for (const int32_t notch : c.notches) f.platform.wheel(notch).wait(2);
    f.platform.shift(false).rightShift(false).wait(2).click(kListInsideX, c.clickY);
    f.platform.key(keys::kEscape);

    EXPECT_EQ(f.choose(true), c.expected) << c.clickY;
  }
}

// Lists of every length against one page of 23 rows: the wheel moves a row,
// with Shift a page, and never past the first or the last entry.
TEST(FileChooser, ScrollingStaysWithinListsOfEveryLength) {
  struct Case {
    int files;  // named f0000, f0001, ...
    int down;   // notches towards the user, then
    int up;     // notches away from the user
    bool shift;
    int clickRow;
    std::string expected;  // "" = nothing picked, then Escape
  };
  const std::vector<Case> cases = {
      {0, 1, 0, false, 0, ""},
      {1, 1, 0, false, 0, "f0000"},
      {1, 1, 0, true, 1, ""},
      {23, 1, 0, false, 0, "f0000"},  // exactly one page: nothing to scroll
      {23, 1, 0, true, 22, "f0022"},
      {24, 1, 0, false, 0, "f0001"},  // one row more than a page
      {24, 3, 0, false, 22, "f0023"},
      {24, 1, 0, true, 0, "f0001"},
      {24, 1, 1, false, 0, "f0000"},
      {100, 5, 0, false, 0, "f0005"},
      {100, 1, 0, true, 0, "f0023"},  // a page is 23 rows
      {100, 3, 0, true, 0, "f0069"},
      {100, 4, 0, true, 0, "f0077"},  // the last page: 100 - 23
      {100, 4, 0, true, 22, "f0099"},
      {100, 9, 1, true, 0, "f0054"},  // back up a page from the end
      {100, 4, 4, true, 0, "f0000"},  // and to the top again
      {100, 80, 0, false, 0, "f0077"},
      {100, 80, 78, false, 0, "f0000"},
      // The list ends at 2000 entries.
      {2001, 90, 0, true, 22, "f1999"},
      {2001, 90, 0, true, 23, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.files) + " files, " + std::to_string(c.down) + " down, " +
                 std::to_string(c.up) + " up" + (c.shift ? " with Shift" : ""));
    ChooserFixture f;
    for (int i = 0; i < c.files; ++i) {
      const std::string number = std::to_string(i);
      f.addFile("f" + std::string(4 - number.size(), '0') + number + ".txt");
    }
    f.platform.wait(5).moveTo(kListInsideX, 400).shift(c.shift).wait(2);
    for (int i = 0; i < c.down; ++i) f.platform.wheel(-1).wait(2);
    for (int i = 0; i < c.up; ++i) f.platform.wheel(1).wait(2);
    f.platform.shift(false).wait(2).click(kListInsideX, rowY(c.clickRow));
    f.platform.key(keys::kEscape);

    EXPECT_EQ(f.choose(true), c.expected);
  }
}

TEST(FileChooser, WheelOutsideTheListDoesNotScrollIt) {
  ChooserFixture f;
  for (int i = 0; i < 30; ++i) f.addFile("g" + std::to_string(100 + i) + ".txt");
  f.platform.wait(5).moveTo(800, 400).wheel(-3).wait(5).click(kListInsideX, rowY(0));
  EXPECT_EQ(f.choose(true), "g100");

  // Nor does turning it outside the window: one row down, then three more
  // notches outside, and the list is still one row down on return.
  ChooserFixture g;
  for (int i = 0; i < 30; ++i) g.addFile("g" + std::to_string(100 + i) + ".txt");
  g.platform.wait(5).moveTo(kListInsideX, 400).wait(2).wheel(-1).wait(2);
  g.platform.leaveWindow().wait(2).wheel(-3).wait(2).moveTo(kListInsideX, 400).wait(2);
  g.platform.click(kListInsideX, rowY(0));
  EXPECT_EQ(g.choose(true), "g101");
}

TEST(FileChooser, ThirtyEntriesShowAThumbAndAnEmptyListShowsNone) {
  ChooserFixture full;
  for (int i = 0; i < 30; ++i) full.addFile("h" + std::to_string(10 + i) + ".txt");
  Image fullShot;
  Image scrolledShot;
  full.platform.wait(5);
  full.capture(fullShot).moveTo(kListInsideX, 400).shift(true).wait(2).wheel(-1).wait(2);
  full.capture(scrolledShot).shift(false).key(keys::kEscape);
  full.choose(true);

  // Thumb: x 706..708 from y 246 over 345 * 345 / 450 - 2 pixels.
  EXPECT_EQ(pixelAt(fullShot, 707, 250), kGrey);
  EXPECT_EQ(pixelAt(fullShot, 707, 509), kGrey);
  EXPECT_EQ(pixelAt(fullShot, 707, 510), kWhite);
  // Scrolled to the end (105): the thumb is drawn again, from 327 down to
  // the frame.
  EXPECT_EQ(pixelAt(scrolledShot, 707, 326), kWhite);
  EXPECT_EQ(pixelAt(scrolledShot, 707, 327), kGrey);
  EXPECT_EQ(pixelAt(scrolledShot, 707, 588), kGrey);
  EXPECT_TRUE(anyPixel(fullShot, 265, 249, 300, 256, kBlack)) << "first entry drawn";
  EXPECT_TRUE(textAt(fullShot, 265, 249, "h10", kBlack, kWhite));
  EXPECT_TRUE(textAt(fullShot, 265, 264, "h11", kBlack, kWhite));

  ChooserFixture empty;
  std::filesystem::remove_all(empty.folder);
  Image emptyShot;
  empty.platform.wait(5);
  empty.capture(emptyShot).click(kListInsideX, rowY(0)).type("neu").key(keys::kEnter);
  EXPECT_EQ(empty.choose(false), "neu");
  EXPECT_TRUE(allPixels(emptyShot, 261, 246, 708, 588, kWhite)) << "white list, no thumb";
  EXPECT_TRUE(allPixels(emptyShot, 260, 245, 709, 245, kBlack)) << "frame";
  EXPECT_TRUE(allPixels(emptyShot, 709, 245, 709, 589, kBlack)) << "frame";
}

TEST(FileChooser, WaitingPausesBetweenPolls) {
  // Setup: a second of looking at the list.
  ChooserFixture f;
  f.addFile("demo.txt");
  f.platform.wait(1000).key(keys::kEscape);

  // Run
  EXPECT_EQ(f.choose(true), "");

  // Verify: a few polls per millisecond, not the hundred of a loop without
  // pauses (each poll moves the virtual clock by 10 us).
  EXPECT_LT(f.platform.pollCount(), 5000);
}

TEST(FileChooser, DrawsFramesAndCaptionOfEachMode) {
  ChooserFixture f;
  f.addFile(std::string(45, 'x') + ".txt");
  Image loadShot;
  f.platform.wait(5);
  f.capture(loadShot).key(keys::kEscape);
  f.choose(true);

  ChooserFixture g;
  Image saveShot;
  g.platform.wait(5);
  g.capture(saveShot).key(keys::kEscape);
  g.choose(false, "");

  for (const Image* shot : {&loadShot, &saveShot}) {
    EXPECT_EQ(pixelAt(*shot, 250, 200), kWhite) << "outer margin";
    EXPECT_EQ(pixelAt(*shot, 251, 201), kBlack) << "thin line";
    EXPECT_EQ(pixelAt(*shot, 252, 250), kWhite) << "gap";
    EXPECT_TRUE(allPixels(*shot, 253, 250, 254, 250, kBlack)) << "two-pixel line";
    EXPECT_EQ(pixelAt(*shot, 849, 599), kWhite);
    EXPECT_EQ(pixelAt(*shot, 848, 598), kBlack);
    EXPECT_EQ(pixelAt(*shot, 740, 550), kBlack) << "Abbruch frame";
    // The three lines at the right and the bottom edge, from the outside in.
    for (const int32_t at : {598, 596, 595}) {
      EXPECT_EQ(pixelAt(*shot, 500, at), kBlack) << "bottom " << at;
      EXPECT_EQ(pixelAt(*shot, 250 + at, 300), kBlack) << "right " << at;
    }
    for (const int32_t at : {597, 594}) {
      EXPECT_EQ(pixelAt(*shot, 500, at), kWhite) << "bottom " << at;
      EXPECT_EQ(pixelAt(*shot, 250 + at, 300), kWhite) << "right " << at;
    }
    EXPECT_EQ(pixelAt(*shot, 825, 570), kBlack) << "Abbruch frame, 85 x 20";
    EXPECT_EQ(pixelAt(*shot, 826, 570), kWhite);
    EXPECT_EQ(pixelAt(*shot, 825, 571), kWhite);
    EXPECT_TRUE(textAt(*shot, 755, 557, "Abbruch", kBlack, kWhite));
  }
  EXPECT_TRUE(
      textAt(loadShot, 270, 220, "Datei w\x84hlen, die geladen werden soll:", kBlack, kWhite));
  EXPECT_TRUE(textAt(saveShot, 270, 220, "Speichern unter:", kBlack, kWhite));
  // Entries are cut to 40 characters; "Speichern" is drawn only for saving.
  EXPECT_TRUE(textAt(loadShot, 265, 249, std::string(40, 'x'), kBlack, kWhite));
  EXPECT_FALSE(anyPixel(loadShot, 585, 249, 700, 256, kBlack));
  EXPECT_FALSE(anyPixel(loadShot, 740, 520, 825, 540, kBlack));
  EXPECT_EQ(pixelAt(saveShot, 825, 540), kBlack) << "Speichern frame, 85 x 20";
  EXPECT_EQ(pixelAt(saveShot, 826, 540), kWhite);
  EXPECT_EQ(pixelAt(saveShot, 825, 541), kWhite);
  EXPECT_TRUE(textAt(saveShot, 747, 527, "Speichern", kBlack, kWhite));
  // "Datei wählen, ..." is 38 cells wide; "Speichern unter:" 16.
  EXPECT_TRUE(anyPixel(loadShot, 270 + 8 * 30, 220, 270 + 8 * 38 - 1, 227, kBlack));
  EXPECT_FALSE(anyPixel(saveShot, 270 + 8 * 16, 220, 270 + 8 * 17, 227, kBlack));
  EXPECT_TRUE(anyPixel(saveShot, 270, 220, 270 + 8 * 16 - 1, 227, kBlack));
}

}  // namespace
