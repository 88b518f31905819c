#include "text/display_text.h"

#include <gtest/gtest.h>

#include <string>

using namespace akkusim;

namespace {

struct Case {
  std::string input;
  std::string expected;
};

TEST(DisplayText, ConvertsKnownLettersDropsStrayBytesAndMarksUnknownCharacters) {
  const Case cases[] = {
      {"", ""},
      {"Assemble Laden 0123 ~!#", "Assemble Laden 0123 ~!#"},
      {"Datei w\xC3\xA4hlen, die geladen werden soll:",
       "Datei w\x84hlen, die geladen werden soll:"},
      // Every letter of the table, in table order.
      {"\xC3\xA4\xC3\xB6\xC3\xBC\xC3\x84\xC3\x96\xC3\x9C\xC3\x9F\xC3\xA1\xC3\xA0\xC3\xA2\xC3\xA9"
       "\xC3\xA8\xC3\xAA\xC3\xAD\xC3\xAC\xC3\xAE\xC3\xB3\xC3\xB2\xC3\xB4\xC3\xBA\xC3\xB9\xC3\xBB",
       "\x84\x94\x81\x8E\x99\x9A\xE1\xA0\x85\x83\x82\x8A\x88\xA1\x8D\x8C\xA2\x95\x93\xA3\x97\x96"},
      {"\xC3\xB1", "\xA8"},            // a two-byte letter the font lacks
      {"1\xE2\x82\xAC", "1\xA8"},      // euro sign
      {"\xF0\x9F\x98\x80!", "\xA8!"},  // four-byte character
      {"\xC3"
       "A",
       "\xA8"
       "A"},                         // lead byte followed by ASCII keeps the ASCII
      {"x\xC3", "x\xA8"},            // lead byte at the very end
      {"\xE2\x82", "\xA8"},          // truncated three-byte sequence
      {"\xC3\xC3\xA4", "\xA8\x84"},  // a lead byte stops the previous sequence
      {"a\x80"
       "b\xBF",
       "ab"},  // lone continuation bytes disappear
      {"\xF8\xFA\xFF"
       "c",
       "c"},  // no lead byte at all
      // Converting display bytes again destroys them.
      {"\x84\x94\xE1", "\xA8"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(toDisplayText(c.input), c.expected) << "input: " << c.input;
  }
}

TEST(DisplayText, LeavesItsArgumentUnchanged) {
  const std::string text =
      "Gr\xC3\xBC\xC3\x9F"
      "e";
  const std::string shown = toDisplayText(text);
  EXPECT_EQ(text,
            "Gr\xC3\xBC\xC3\x9F"
            "e");
  EXPECT_EQ(shown,
            "Gr\x81\xE1"
            "e");
}

TEST(DisplayText, TableHoldsTheTwentyTwoLettersInOrder) {
  const ReplacementTable& table = replacementTable();
  EXPECT_EQ(table.front().utf8, "\xC3\xA4");
  EXPECT_EQ(table.front().displayByte, '\x84');
  EXPECT_EQ(table[6].utf8, "\xC3\x9F");  // sharp s
  EXPECT_EQ(table[6].displayByte, '\xE1');
  EXPECT_EQ(table.back().utf8, "\xC3\xBB");
  EXPECT_EQ(table.back().displayByte, '\x96');
}

}  // namespace
