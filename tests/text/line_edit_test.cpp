#include "text/line_edit.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

using namespace akkusim;

namespace {

// Typed characters, the edit's own keys, and a key it reads but ignores.
EditKey ch(char c) {
  return {EditKeyKind::Character, c};
}
const EditKey kLeft{EditKeyKind::Left, 0};
const EditKey kRight{EditKeyKind::Right, 0};
const EditKey kDelete{EditKeyKind::Delete, 0};
const EditKey kOther{EditKeyKind::Other, 0};
const EditKey kBackspace = ch('\x08');

struct EditCase {
  const char* name;
  std::string text;
  std::string characterRules;
  std::optional<EditKey> key;
  int32_t maxLength;
  int32_t column;
  std::string expectedText;
  int32_t expectedColumn;
};

struct EditResult {
  std::string text;
  std::optional<EditKey> key;
  int32_t column;
  int reads;
};

EditResult edit(const std::string& text, const std::string& characterRules,
                const std::optional<EditKey>& key, int32_t maxLength, int32_t column) {
  EditResult result{"", std::nullopt, column, 0};
  result.text = applyKeyToLine(text, characterRules, result.key, maxLength, result.column, [&] {
    ++result.reads;
    return key;
  });
  return result;
}

TEST(ApplyKeyToLine, ActsOnEachKeyAsTheCharacterRulesAllow) {
  const std::vector<EditCase> cases = {
      // Insertion and the allowed set.
      {"letter inserted at cursor", "AC", "a", ch('B'), 40, 2, "ABC", 3},
      {"digit needs 0", "", "a", ch('7'), 40, 1, "", 1},
      {"digit with 0", "", "0", ch('7'), 40, 1, "7", 2},
      {"percent adds punctuation", "", "%", ch('#'), 40, 1, "#", 2},
      {"percent adds high bytes", "", "%", ch('\xE4'), 40, 1, "\xE4", 2},
      {"percent adds 254", "", "%", ch('\xFE'), 40, 1, "\xFE", 2},
      {"percent never adds 255", "", "a0%", ch('\xFF'), 40, 1, "", 1},
      {"percent does not add letters", "", "%", ch('x'), 40, 1, "", 1},
      {"control characters refused", "", "a0%", ch('\x01'), 40, 1, "", 1},
      {"tab not in a0%", "ab", "a0%", ch('\t'), 40, 3, "ab", 3},
      {"enter not in a0%", "ab", "a0%", ch('\r'), 40, 3, "ab", 3},
      {"plus adds one character", "", "a+_", ch('_'), 40, 1, "_", 2},
      {"minus removes a character", "", "a0%-#", ch('#'), 40, 1, "", 1},
      {"minus keeps the others", "", "a0%-#", ch('!'), 40, 1, "!", 2},
      {"later plus re-adds", "", "%-#+#", ch('#'), 40, 1, "#", 2},
      {"lower case conversion", "", "aL", ch('Q'), 40, 1, "q", 2},
      {"upper case conversion", "", "au", ch('q'), 40, 1, "Q", 2},
      {"lower case conversion, first letter", "", "aL", ch('A'), 40, 1, "a", 2},
      {"lower case conversion, last letter", "", "aL", ch('Z'), 40, 1, "z", 2},
      {"lower case leaves the byte after Z", "", "%L", ch('['), 40, 1, "[", 2},
      {"lower case leaves the byte before A", "", "%L", ch('@'), 40, 1, "@", 2},
      {"upper case conversion, first letter", "", "au", ch('a'), 40, 1, "A", 2},
      {"upper case conversion, last letter", "", "au", ch('z'), 40, 1, "Z", 2},
      {"upper case leaves the byte after z", "", "%u", ch('{'), 40, 1, "{", 2},
      {"upper case leaves the byte before a", "", "%u", ch('`'), 40, 1, "`", 2},
      {"substitution of a key outside the set", "", "0C.,", ch('.'), 40, 1, ",", 2},
      {"substitution before the set", "", "aCab", ch('a'), 40, 1, "b", 2},
      {"substitution skips case conversion", "", "aUCab", ch('a'), 40, 1, "b", 2},
      {"two-character key ignored", "ab", "a0%", kOther, 40, 3, "ab", 3},
      {"window-close key ignored", "ab", "a0%", kOther, 40, 3, "ab", 3},
      // Length limit.
      {"full text refuses insertion", "abcd", "a", ch('x'), 4, 2, "abcd", 2},
      {"text longer than the limit is cut", "abcdef", "a", std::nullopt, 4, 1, "abcd", 1},
      // Column repair.
      {"column 0 goes to the end", "abc", "a", ch('x'), 40, 0, "abcx", 5},
      {"column past the end goes to the end", "abc", "a", ch('x'), 40, 9, "abcx", 5},
      // Cursor keys.
      {"left", "abc", "a", kLeft, 40, 2, "abc", 1},
      {"left at column 1 leaves 0 to the caller", "abc", "a", kLeft, 40, 1, "abc", 0},
      {"right", "abc", "a", kRight, 40, 2, "abc", 3},
      {"right stops after the text", "abc", "a", kRight, 40, 4, "abc", 4},
      // Backspace and Delete.
      {"backspace removes before the cursor", "abc", "a", kBackspace, 40, 3, "ac", 2},
      {"backspace at column 1", "abc", "a", kBackspace, 40, 1, "abc", 1},
      {"delete removes at the cursor", "abc", "a", kDelete, 40, 2, "ac", 2},
      {"delete at the end", "abc", "a", kDelete, 40, 4, "abc", 4},
      {"delete at the maximum column", "abcd", "a", kDelete, 4, 4, "abcd", 4},
      {"no key", "abc", "a", std::nullopt, 40, 2, "abc", 2},
  };
  for (const EditCase& c : cases) {
    const EditResult r = edit(c.text, c.characterRules, c.key, c.maxLength, c.column);
    EXPECT_EQ(r.text, c.expectedText) << c.name;
    EXPECT_EQ(r.column, c.expectedColumn) << c.name;
    EXPECT_EQ(r.key, c.key) << c.name;
    EXPECT_EQ(r.reads, 1) << c.name;
  }
}

TEST(ApplyKeyToLine, MalformedCharacterRulesEndWithoutReadingAKey) {
  for (const std::string characterRules : {"a+", "a-", "aC", "aCx", "c", "0%Cx"}) {
    for (const int32_t maxLength : {40, 2}) {  // not even cut to the maximum length
      const EditResult r = edit("abc", characterRules, ch('x'), maxLength, 2);
      EXPECT_EQ(r.text, "abc") << characterRules << " " << maxLength;
      EXPECT_EQ(r.key, std::nullopt) << characterRules;
      EXPECT_EQ(r.reads, 0) << characterRules;
    }
  }
}

TEST(ApplyKeyToLine, FileChooserCharacterRulesTakeLettersDigitsUnderscoreAndDash) {
  std::string accepted;
  for (int c = 1; c < 256; ++c) {
    const EditResult r = edit("", "a0+_+-", ch(static_cast<char>(c)), 40, 1);
    accepted += r.text;
  }
  EXPECT_EQ(accepted, "-0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ_abcdefghijklmnopqrstuvwxyz");
}

TEST(TrimmedLength, IgnoresOnlyTrailingBlanksAndTabs) {
  EXPECT_EQ(trimmedLength(""), 0);
  EXPECT_EQ(trimmedLength(" \t \t"), 0);
  EXPECT_EQ(trimmedLength("# x \t"), 3);
  EXPECT_EQ(trimmedLength(" a\n"), 3);
}

}  // namespace
