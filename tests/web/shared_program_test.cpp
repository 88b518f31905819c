#include "platform/web/shared_program.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "program/program_text.h"

using namespace akkusim;

namespace {

ProgramText programOf(const std::vector<std::string>& lines) {
  ProgramText program;
  program.lines.clear();
  for (const std::string& text : lines) {
    ProgramLine line;
    line.text = text;
    program.lines.push_back(line);
  }
  return program;
}

std::vector<std::string> textsOf(const ProgramText& program) {
  std::vector<std::string> texts;
  for (const ProgramLine& line : program.lines) texts.push_back(line.text);
  return texts;
}

}  // namespace

TEST(SharedProgram, CarriesTheLinesWithoutTrailingBlanksAndEmptyLinesAtTheEnd) {
  struct Case {
    std::vector<std::string> lines;
    std::string text;
  };
  // "\x84" is code page 437's "ä", two bytes in UTF-8.
  const std::vector<Case> cases{
      {{""}, ""},
      {{"HOLD"}, "HOLD\n"},
      {{"# Z\x84hler    ", "", "LOADI 3", "HOLD", "", "   "}, "# Z\xC3\xA4hler\n\nLOADI 3\nHOLD\n"},
      {{"", "  ", "NOOP"}, "\n\nNOOP\n"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(sharedProgramText(programOf(c.lines)), c.text) << c.text;
  }
}

TEST(SharedProgram, ALinksTextOpensAsTheLinesItWasMadeOf) {
  // Setup
  const ProgramText sent = programOf({"# Z\x84hler: 3 Runden", "LOADI 3", "loop:", "  SUBI 1",
                                      "JMPNZ loop", "", std::string(kMaxLineLength, 'x')});
  // Run
  const Result<ProgramText> opened = programFromSharedText(sharedProgramText(sent));
  // Verify
  ASSERT_TRUE(opened) << opened.reason();
  EXPECT_EQ(textsOf(*opened), textsOf(sent));
  EXPECT_TRUE(opened->lines[1].valid);
}

TEST(SharedProgram, RefusesDamagedAndTooLongTextWithAReason) {
  const std::string fullListing = [] {
    std::string text;
    for (int32_t line = 0; line < kMaxProgramLines; ++line) text += "NOOP\n";
    return text;
  }();
  struct Case {
    std::string what;
    std::string text;
    std::string reason;  // empty: opens
  };
  const std::vector<Case> cases{
      {"a full listing", fullListing, ""},
      {"a full listing without the last line end", fullListing.substr(0, fullListing.size() - 1),
       ""},
      {"a tab of an uploaded file", "HOLD\t# Ende\r\n", ""},
      {"one line more than the listing holds", fullListing + "NOOP", "höchstens 65535 Zeilen"},
      {"more bytes than any listing", std::string(kMaxSharedBytes + 1, 'x'), "höchstens 65535"},
      {"a line the listing would cut", std::string(kMaxLineLength + 1, 'x') + "\n", "beschädigt"},
      {"a NUL byte", std::string("HOLD\0\n", 6), "beschädigt"},
      {"other control characters", "LOADI 1\x1b[0m\n", "beschädigt"},
      {"bytes that are not UTF-8", "# Z\x84hler\n", "beschädigt"},
      {"a character outside the editor's", "# \xF0\x9F\x98\x80\n", "beschädigt"},
  };
  for (const Case& c : cases) {
    const Result<ProgramText> opened = programFromSharedText(c.text);
    if (c.reason.empty()) {
      EXPECT_TRUE(opened) << c.what << ": " << opened.reason();
    } else {
      ASSERT_FALSE(opened) << c.what;
      EXPECT_NE(opened.reason().find(c.reason), std::string::npos)
          << c.what << ": " << opened.reason();
    }
  }
}
