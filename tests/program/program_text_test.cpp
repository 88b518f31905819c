#include "program/program_text.h"

#include <gtest/gtest.h>

using namespace akkusim;

namespace {

ProgramLine lineWith(const char* text) {
  ProgramLine line;
  line.text = text;
  return line;
}

TEST(ProgramText, NewLineAndNewProgramAreEmpty) {
  const ProgramLine line;
  EXPECT_EQ(line.text, "");
  EXPECT_EQ(line.symbol, "");
  EXPECT_EQ(line.opcode + line.value + line.commentColumn + line.lineIndex, 0);
  EXPECT_FALSE(line.valid);
  EXPECT_EQ(line.kind, LineKind::Empty);

  const ProgramText program;
  EXPECT_EQ(lineCount(program), 1);
  EXPECT_EQ(highestIndex(program), 0);
  EXPECT_EQ(program.lines[0].text, "");
}

TEST(ProgramText, CopyOwnsItsStrings) {
  ProgramLine original = lineWith("LOAD x");
  original.symbol = "x";
  ProgramLine copy = original;
  copy.text[0] = 'l';
  copy.symbol = "y";
  EXPECT_EQ(original.text, "LOAD x");
  EXPECT_EQ(original.symbol, "x");
}

TEST(ProgramText, InsertsRemovesAndReplacesLines) {
  ProgramText program;
  program.lines[0].text = "HOLD";

  ASSERT_TRUE(insertLineBefore(program, 0));
  ASSERT_EQ(lineCount(program), 2);
  EXPECT_EQ(program.lines[0].text, "");
  EXPECT_EQ(program.lines[1].text, "HOLD");

  ASSERT_TRUE(appendLine(program, lineWith("NOOP")));
  ASSERT_TRUE(insertLineBefore(program, 3));  // at the end
  EXPECT_EQ(highestIndex(program), 3);
  EXPECT_FALSE(insertLineBefore(program, 5));
  EXPECT_FALSE(insertLineBefore(program, -1));

  ASSERT_TRUE(removeLine(program, 1));
  EXPECT_EQ(program.lines[1].text, "NOOP") << "following lines move up";
  EXPECT_FALSE(removeLine(program, 3));
  EXPECT_FALSE(removeLine(program, -1));

  replaceWithEmptyLine(program);
  ASSERT_EQ(lineCount(program), 1);
  EXPECT_EQ(program.lines[0].text, "");
  EXPECT_FALSE(removeLine(program, 0)) << "the last line stays";
}

TEST(ProgramText, HoldsAtMost65535Lines) {
  ProgramText program;
  program.lines.resize(kMaxProgramLines - 1);
  EXPECT_TRUE(appendLine(program));
  EXPECT_EQ(highestIndex(program), 65534);
  EXPECT_FALSE(appendLine(program));
  EXPECT_FALSE(insertLineBefore(program, 0));
  EXPECT_EQ(lineCount(program), kMaxProgramLines);
}

}  // namespace
