// The line editor driven through the real main loop on the headless window.

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "gfx/key.h"
#include "support/glyph_check.h"
#include "support/main_window_fixture.h"
#include "support/script_key.h"

using namespace akkusim;

namespace {

using Lines = std::vector<std::string>;

struct KeyCase {
  const char* name;
  Lines program;
  int32_t startLine;
  std::vector<ScriptKey> keys;
  Lines expected;
  int32_t expectedLine;
  int32_t expectedColumn;
};

Lines trimmedLines(const MainWindowSession& s) {
  Lines lines;
  for (int32_t i = 0; i < s.lineCount(); ++i) lines.push_back(s.lineText(i));
  return lines;
}

std::vector<ScriptKey> repeat(ScriptKey key, int count) {
  return std::vector<ScriptKey>(static_cast<std::size_t>(count), key);
}

std::vector<ScriptKey> joinKeys(std::vector<std::vector<ScriptKey>> parts) {
  std::vector<ScriptKey> all;
  for (auto& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

Lines join(std::vector<Lines> parts) {
  Lines all;
  for (auto& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

Lines numbered(int count) {
  Lines lines;
  for (int i = 0; i < count; ++i) lines.push_back("L" + std::to_string(i));
  return lines;
}

TEST(Editor, KeysActOnTheCurrentLineAndWholeLines) {
  const std::string a37(37, 'a');
  const std::string a40(40, 'a');
  const std::vector<KeyCase> cases = {
      {"tab at column 1 inserts 3 blanks", {""}, 0, {keys::kTab, "x"}, {"   x"}, 0, 5},
      {"tab at column 4 inserts 4 blanks",
       {"abc"},
       0,
       {keys::kEnd, keys::kTab, "x"},
       {"abc    x"},
       0,
       9},
      {"tab that would pass column 40 does nothing",
       {a37},
       0,
       {keys::kRight, keys::kRight, keys::kRight, keys::kTab},
       {a37},
       0,
       4},
      {"home and end", {""}, 0, {"a", "b", keys::kHome, "z", keys::kEnd, "q"}, {"zabq"}, 0, 5},
      {"left and right",
       {"abc"},
       0,
       {keys::kRight, keys::kRight, keys::kLeft, "x"},
       {"axbc"},
       0,
       3},
      {"enter at column 1 inserts above", {"LOAD 5"}, 0, {keys::kEnter}, {"", "LOAD 5"}, 0, 1},
      {"enter after text inserts below without splitting",
       {"LOAD 5"},
       0,
       {keys::kRight, keys::kRight, keys::kEnter},
       {"LOAD 5", ""},
       1,
       1},
      {"enter after leading blanks inserts above",
       {"   HOLD"},
       0,
       {keys::kRight, keys::kRight, keys::kEnter},
       {"", "   HOLD"},
       0,
       1},
      {"backspace removes a blank line",
       {"L0", "L1", "LOAD 5", " \t ", "L4"},
       3,
       {keys::kBackspace},
       {"L0", "L1", "LOAD 5", "L4"},
       2,
       7},
      {"delete removes a blank line",
       {"L0", "L1", "LOAD 5", " \t ", "L4"},
       3,
       {keys::kDelete},
       {"L0", "L1", "LOAD 5", "L4"},
       3,
       1},
      {"backspace on line 0 removes nothing", {"", "x"}, 0, {keys::kBackspace}, {"", "x"}, 0, 1},
      {"delete on the last line removes nothing", {"x", ""}, 1, {keys::kDelete}, {"x", ""}, 1, 1},
      {"the only line is never removed", {""}, 0, {keys::kDelete, keys::kBackspace}, {""}, 0, 1},
      {"backspace at column 1 does not join lines",
       {"ab", "cd"},
       1,
       {keys::kBackspace},
       {"ab", "cd"},
       1,
       1},
      {"delete at the end does not join lines",
       {"ab", "cd"},
       0,
       {keys::kEnd, keys::kDelete},
       {"ab", "cd"},
       0,
       3},
      {"a comment line is not blank", {"x", "# c"}, 1, {keys::kBackspace}, {"x", "# c"}, 1, 1},
      {"down and up move, stopping at the ends",
       {"a", "b", "c"},
       0,
       joinKeys({repeat(keys::kDown, 3), {"x"}, repeat(keys::kUp, 4), {"y"}}),
       {"ay", "b", "xc"},
       0,
       3},
      {"page down stops at the last line",
       numbered(30),
       10,
       {keys::kPageDown},
       numbered(30),
       29,
       1},
      {"page up stops at line 0", numbered(60), 50, {keys::kPageUp}, numbered(60), 0, 1},
      {"the 41st typed character is refused", {""}, 0, repeat("a", 41), {a40}, 0, 41},
      {"typing into a padded line pushes the last blank off",
       {"abc"},
       0,
       {keys::kRight, "x"},
       {"axbc"},
       0,
       3},
      {"tab that reaches column 40 exactly",
       {"abc" + std::string(33, 'a')},
       0,
       {keys::kRight, keys::kRight, keys::kRight, keys::kTab},
       {"abc    " + std::string(33, 'a')},
       0,
       8},
      {"tab at column 1 of 38 characters does nothing",
       {std::string(38, 'a')},
       0,
       {keys::kTab},
       {std::string(38, 'a')},
       0,
       1},
      {"end of a full line is column 41", {a40}, 0, {keys::kEnd}, {a40}, 0, 41},
      {"delete at column 41 of a full line", {a40}, 0, {keys::kEnd, keys::kDelete}, {a40}, 0, 41},
      {"backspace at column 41 of a full line",
       {a40},
       0,
       {keys::kEnd, keys::kBackspace},
       {std::string(39, 'a')},
       0,
       40},
      {"enter at column 41 of a full line inserts below",
       {a40, "x"},
       0,
       {keys::kEnd, keys::kEnter},
       {a40, "", "x"},
       1,
       1},
      {"backspace removal lands after a full line", {a40, ""}, 1, {keys::kBackspace}, {a40}, 0, 41},
      {"page up from line 61 goes to line 1",
       numbered(100),
       61,
       {keys::kPageUp},
       numbered(100),
       1,
       1},
      {"a full loaded line refuses characters until one is deleted",
       {a40},
       0,
       {"z", keys::kDelete, "z"},
       {"z" + std::string(39, 'a')},
       0,
       2},
  };
  for (const KeyCase& c : cases) {
    MainWindowSession s;
    s.setProgram(c.program, c.startLine);
    s.platform.wait(5);
    for (const ScriptKey& key : c.keys) s.platform.key(key.key);

    EXPECT_EQ(s.run(), 0) << c.name;

    EXPECT_EQ(trimmedLines(s), c.expected) << c.name;
    EXPECT_EQ(s.main.session.cursor.currentLine, c.expectedLine) << c.name;
    EXPECT_EQ(s.main.session.cursor.cursorColumn, c.expectedColumn) << c.name;
    EXPECT_EQ(s.main.listing.view.contentHeight, 10 * s.lineCount()) << c.name;
  }
}

TEST(Editor, TypedLineIsReparsedPaddedAndDrawn) {
  MainWindowSession s;
  s.platform.wait(5).type("load 5 # start").key(keys::kEnter).type("foo");

  s.run();

  ASSERT_EQ(s.lineCount(), 2);
  EXPECT_EQ(s.lineText(0), "LOAD 5 # start");
  // The line the cursor left keeps its padding; the current line too.
  EXPECT_EQ(s.main.session.program.lines[0].text.size(), 40u);
  EXPECT_EQ(s.main.session.program.lines[1].text.size(), 40u);
  const Image& w = s.screen.window;
  EXPECT_TRUE(textAt(w, 60, 201, "LOAD 5 ", kBlack, kWhite));
  EXPECT_TRUE(textAt(w, 116, 201, "# start", kDarkGrey, kWhite));
  EXPECT_TRUE(textAt(w, 60, 211, "foo", kRed, kWhite));
  EXPECT_TRUE(textAt(w, 2, 200, "     1", kGrey, kWhite));
  EXPECT_TRUE(textAt(w, 2, 210, "     2", kGrey, kWhite));
}

TEST(Editor, TextCursorIsAThreePixelBoxAtTheColumn) {
  MainWindowSession s;
  Image afterTyping;
  s.platform.wait(5).type("ab").wait(2).call([&] { afterTyping = s.screen.window; });

  s.run();

  // Column 3 of line 0: x 76..78, y 200..209.
  for (const Image* w : {&afterTyping, &s.screen.window}) {
    for (int32_t y = 200; y <= 209; ++y) {
      for (int32_t x = 76; x <= 78; ++x) EXPECT_EQ(pixelAt(*w, x, y), kBlack) << x << "," << y;
      EXPECT_EQ(pixelAt(*w, 79, y), kWhite) << y;
    }
    EXPECT_EQ(pixelAt(*w, 75, 200), kWhite);
    EXPECT_EQ(pixelAt(*w, 77, 199), kWhite);
    EXPECT_EQ(pixelAt(*w, 77, 210), kWhite);
  }
}

TEST(Editor, CursorLineIsKeptVisible) {
  struct ScrollCase {
    const char* name;
    Lines program;
    int32_t startLine;
    std::vector<ScriptKey> keys;
    int32_t expectedLine;
    int32_t expectedScroll;
  };
  const std::vector<ScrollCase> cases = {
      {"page down below the view", Lines(200, "HOLD"), 0, {keys::kPageDown}, 60, 10},
      {"page up above the view", Lines(200, "HOLD"), 150, {keys::kPageUp}, 90, 900},
      {"down at the bottom row", Lines(200, "HOLD"), 59, {keys::kDown}, 60, 10},
      {"enter on the bottom row scrolls by one row",
       Lines(60, "HOLD"),
       59,
       {keys::kEnd, keys::kEnter},
       60,
       10},
      {"removing a line near the end scrolls back",
       join({Lines(60, "HOLD"), {""}}),
       60,
       {keys::kBackspace},
       59,
       0},
  };
  for (const ScrollCase& c : cases) {
    MainWindowSession s;
    s.setProgram(c.program, c.startLine);
    s.platform.wait(5);
    for (const ScriptKey& key : c.keys) s.platform.key(key.key);

    s.run();

    EXPECT_EQ(s.main.session.cursor.currentLine, c.expectedLine) << c.name;
    EXPECT_EQ(s.main.listing.view.scrollY, c.expectedScroll) << c.name;
    const int32_t cursorY = c.expectedLine * 10 + 200 - c.expectedScroll;
    const int32_t cursorX = s.main.session.cursor.cursorColumn * 8 + 52;
    EXPECT_EQ(pixelAt(s.screen.window, cursorX, cursorY), kBlack) << c.name;
    EXPECT_EQ(pixelAt(s.screen.window, cursorX + 2, cursorY + 9), kBlack) << c.name;
  }
}

// Moving above the view draws the cursor once before the listing scrolls to
// it; that box must not land on the panel or the buttons above the listing.
TEST(Editor, CursorAboveTheViewLeavesNoMarkOutsideTheListing) {
  struct StrayCase {
    const char* name;
    std::vector<ScriptKey> keys;
    int32_t strayTop;  // where the box would fall: x 60..62, 10 rows down
  };
  const std::vector<StrayCase> cases = {
      {"page up from the bottom row", {keys::kPageUp}, 190},
      {"page up into the button rows", joinKeys({repeat(keys::kUp, 4), {keys::kPageUp}}), 150},
  };
  for (const StrayCase& c : cases) {
    MainWindowSession s;
    s.setProgram(Lines(200, "HOLD"), 150);  // view shows lines 91..150
    s.platform.wait(5);
    for (const ScriptKey& key : c.keys) s.platform.key(key.key);

    s.run();

    for (int32_t y = c.strayTop; y < c.strayTop + 10; ++y) {
      if (y == 155) continue;  // the Speichern button's top edge
      EXPECT_EQ(pixelAt(s.screen.window, 61, y), kWhite) << c.name << " y " << y;
    }
  }
}

TEST(Editor, NextKeyClearsTheExecutedLineHighlight) {
  MainWindowSession s;
  s.setProgram({"HOLD", "HOLD"}, 0);
  Image highlighted;
  s.platform.wait(5)
      .call([&] {
        s.main.session.highlightLine = 2;
        drawListingRow(s.screen, s.main.listing, s.main.session.program, 2, true, kLightGreen);
        highlighted = s.screen.window;
      })
      .wait(2)
      .type("x");

  s.run();

  EXPECT_EQ(pixelAt(highlighted, 0, 210), kLightGreen);
  EXPECT_EQ(s.main.session.highlightLine, 0);
  EXPECT_EQ(pixelAt(s.screen.window, 0, 210), kWhite);
}

TEST(Editor, FullProgramRefusesNewLinesAndStaysIntact) {
  MainWindowSession s;
  s.setProgram(Lines(65534, ""), 65533);
  s.platform.wait(5)
      .key(keys::kEnd)
      .type("HOLD")
      .key(keys::kEnter)  // 65,535 lines now
      .type("x")
      .key(keys::kEnter)  // refused
      .key(keys::kDown)
      .key(keys::kBackspace)
      .key(keys::kEnter);  // refused: still 65,535 lines

  EXPECT_EQ(s.run(), 0);

  ASSERT_EQ(s.lineCount(), 65535);
  EXPECT_EQ(s.lineText(65533), "HOLD");
  EXPECT_EQ(s.lineText(65534), "");
  EXPECT_EQ(s.main.session.cursor.currentLine, 65534);
  EXPECT_EQ(s.main.listing.view.contentHeight, 655350);
  EXPECT_EQ(s.main.listing.view.scrollY, 65534 * 10 - 590);
  // The last line's row is the bottom row of the view.
  EXPECT_TRUE(textAt(s.screen.window, 2, 790, " 65535", kGrey, kWhite));
}

TEST(Editor, HighBytesAreTypedAndKeptAsTheyAre) {
  MainWindowSession s;
  std::string typed;
  for (int c = 128; c <= 254; ++c) typed += static_cast<char>(c);
  for (std::size_t at = 0; at < typed.size(); at += 40) {
    s.platform.type(typed.substr(at, 40)).key(keys::kEnter);
  }

  s.run();

  std::string kept;
  for (int32_t i = 0; i < 4; ++i) kept += s.lineText(i);
  EXPECT_EQ(kept, typed);
  EXPECT_EQ(s.lineCount(), 5);
}

TEST(Editor, FloodOfRandomKeysKeepsTheProgramConsistent) {
  const std::vector<Key> specials = {
      keys::kBackspace, keys::kTab,    keys::kEnter,           keys::kLeft,           keys::kRight,
      keys::kUp,        keys::kDown,   keys::kHome,            keys::kEnd,            keys::kPageUp,
      keys::kPageDown,  keys::kDelete, keys::character(0xFF), keys::extended('Z')};
  std::mt19937 random(1234);
  MainWindowSession s;
  s.setProgram(numbered(80), 40);
  for (int i = 0; i < 4000; ++i) {
    if (random() % 3 == 0) {
      s.platform.key(specials[random() % specials.size()]);
    } else {
      s.platform.key(keys::character(static_cast<uint8_t>(1 + random() % 254)));
    }
  }

  EXPECT_EQ(s.run(), 0);

  const ProgramText& program = s.main.session.program;
  ASSERT_GE(lineCount(program), 1);
  for (const ProgramLine& line : program.lines) {
    EXPECT_LE(line.text.size(), 41u);
    for (const char c : line.text) {
      EXPECT_GE(static_cast<unsigned char>(c), 32);
      EXPECT_NE(static_cast<unsigned char>(c), 255);
    }
  }
  const EditorCursor& cursor = s.main.session.cursor;
  EXPECT_GE(cursor.currentLine, 0);
  EXPECT_LE(cursor.currentLine, highestIndex(program));
  EXPECT_GE(cursor.cursorColumn, 1);
  EXPECT_LE(cursor.cursorColumn, 41);
  EXPECT_EQ(s.main.listing.view.contentHeight, 10 * lineCount(program));
  const std::string& current = program.lines[static_cast<std::size_t>(cursor.currentLine)].text;
  EXPECT_TRUE(current.size() == 40 || (current.size() == 41 && current.back() == ' '));
}

}  // namespace
