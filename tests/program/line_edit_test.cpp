#include "program/line_edit.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct EditCase {
  const char* name;
  std::string text;
  std::string spec;
  std::string key;
  int32_t maxLength;
  int32_t column;
  std::string expectedText;
  int32_t expectedColumn;
};

struct EditResult {
  std::string text;
  std::string key;
  int32_t column;
  int reads;
};

EditResult edit(const std::string& text, const std::string& spec, const std::string& key,
                int32_t maxLength, int32_t column) {
  EditResult result{"", "", column, 0};
  result.text = applyKeyToLine(text, spec, result.key, maxLength, result.column, [&] {
    ++result.reads;
    return key;
  });
  return result;
}

TEST(ApplyKeyToLine, ActsOnEachKeyAsTheSpecificationAllows) {
  const std::vector<EditCase> cases = {
      // Insertion and the allowed set.
      {"letter inserted at cursor", "AC", "a", "B", 40, 2, "ABC", 3},
      {"digit needs 0", "", "a", "7", 40, 1, "", 1},
      {"digit with 0", "", "0", "7", 40, 1, "7", 2},
      {"percent adds punctuation", "", "%", "#", 40, 1, "#", 2},
      {"percent adds high bytes", "", "%", "\xE4", 40, 1, "\xE4", 2},
      {"percent adds 254", "", "%", "\xFE", 40, 1, "\xFE", 2},
      {"percent never adds 255", "", "a0%", "\xFF", 40, 1, "", 1},
      {"percent does not add letters", "", "%", "x", 40, 1, "", 1},
      {"control characters refused", "", "a0%", "\x01", 40, 1, "", 1},
      {"tab not in a0%", "ab", "a0%", "\t", 40, 3, "ab", 3},
      {"enter not in a0%", "ab", "a0%", "\r", 40, 3, "ab", 3},
      {"plus adds one character", "", "a+_", "_", 40, 1, "_", 2},
      {"minus removes a character", "", "a0%-#", "#", 40, 1, "", 1},
      {"minus keeps the others", "", "a0%-#", "!", 40, 1, "!", 2},
      {"later plus re-adds", "", "%-#+#", "#", 40, 1, "#", 2},
      {"lower case conversion", "", "aL", "Q", 40, 1, "q", 2},
      {"upper case conversion", "", "au", "q", 40, 1, "Q", 2},
      {"substitution of a key outside the set", "", "0C.,", ".", 40, 1, ",", 2},
      {"substitution before the set", "", "aCab", "a", 40, 1, "b", 2},
      {"substitution skips case conversion", "", "aUCab", "a", 40, 1, "b", 2},
      {"two-character key ignored", "ab", "a0%", "\xFFH", 40, 3, "ab", 3},
      {"window-close key ignored", "ab", "a0%", "\xFFk", 40, 3, "ab", 3},
      // Length limit.
      {"full text refuses insertion", "abcd", "a", "x", 4, 2, "abcd", 2},
      {"text longer than the limit is cut", "abcdef", "a", "", 4, 1, "abcd", 1},
      // Column repair.
      {"column 0 goes to the end", "abc", "a", "x", 40, 0, "abcx", 5},
      {"column past the end goes to the end", "abc", "a", "x", 40, 9, "abcx", 5},
      // Cursor keys.
      {"left", "abc", "a", "\xFFK", 40, 2, "abc", 1},
      {"left at column 1 leaves 0 to the caller", "abc", "a", "\xFFK", 40, 1, "abc", 0},
      {"right", "abc", "a", "\xFFM", 40, 2, "abc", 3},
      {"right stops after the text", "abc", "a", "\xFFM", 40, 4, "abc", 4},
      // Backspace and Delete.
      {"backspace removes before the cursor", "abc", "a", "\x08", 40, 3, "ac", 2},
      {"backspace at column 1", "abc", "a", "\x08", 40, 1, "abc", 1},
      {"delete removes at the cursor", "abc", "a", "\xFFS", 40, 2, "ac", 2},
      {"delete at the end", "abc", "a", "\xFFS", 40, 4, "abc", 4},
      {"delete at the maximum column", "abcd", "a", "\xFFS", 4, 4, "abcd", 4},
      {"no key", "abc", "a", "", 40, 2, "abc", 2},
  };
  for (const EditCase& c : cases) {
    const EditResult r = edit(c.text, c.spec, c.key, c.maxLength, c.column);
    EXPECT_EQ(r.text, c.expectedText) << c.name;
    EXPECT_EQ(r.column, c.expectedColumn) << c.name;
    EXPECT_EQ(r.key, c.key) << c.name;
    EXPECT_EQ(r.reads, 1) << c.name;
  }
}

TEST(ApplyKeyToLine, MalformedSpecificationEndsWithoutReadingAKey) {
  for (const std::string spec : {"a+", "a-", "aC", "aCx", "c", "0%Cx"}) {
    const EditResult r = edit("abc", spec, "x", 40, 2);
    EXPECT_EQ(r.text, "abc") << spec;
    EXPECT_EQ(r.key, "") << spec;
    EXPECT_EQ(r.reads, 0) << spec;
  }
}

TEST(ApplyKeyToLine, FileChooserSpecificationTakesLettersDigitsUnderscoreAndDash) {
  std::string accepted;
  for (int c = 1; c < 256; ++c) {
    const EditResult r = edit("", "a0+_+-", std::string(1, static_cast<char>(c)), 40, 1);
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
