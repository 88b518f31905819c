#include "program/line_parser.h"

#include <gtest/gtest.h>

#include <string>

#include "isa/opcode_table.h"
#include "text/ascii_case.h"

using namespace akkusim;

namespace {

ProgramLine parsed(const std::string& text, int16_t index = 0) {
  ProgramLine line;
  line.text = text;
  parseLine(line, index);
  return line;
}

struct ValidCase {
  std::string text;
  LineKind kind;
  int16_t opcode;
  int16_t value;
  std::string symbol;
  int16_t commentColumn;
  std::string rewritten;  // text after the parse
};

TEST(LineParser, AcceptsEveryKindOfValidLine) {
  using K = LineKind;
  const ValidCase cases[] = {
      {"", K::Empty, 0, 0, "", 0, ""},
      {"     ", K::Empty, 0, 0, "", 0, "     "},
      {"\t \t", K::Empty, 0, 0, "", 0, "\t \t"},
      {"   # Kommentar", K::Empty, 0, 0, "", 4, "   # Kommentar"},
      {"#", K::Empty, 0, 0, "", 1, "#"},
      {"hold", K::NoOperand, 0x63, 0, "", 0, "HOLD"},
      {"  noop  ", K::NoOperand, 0, 0, "", 0, "  NOOP  "},
      {"\tloadc\t# c", K::NoOperand, 0x16, 0, "", 8, "\tLOADC\t# c"},
      {"load   -12", K::NumberOperand, 0x114, -12, "", 0, "LOAD   -12"},
      {"LOAD \t 5", K::NumberOperand, 0x114, 5, "", 0, "LOAD \t 5"},
      {"mulhui 3", K::NumberOperand, 0x213, 3, "", 0, "MULHUI 3"},
      {"cmpi 1", K::NumberOperand, 0x20F, 1, "", 0, "CMPI 1"},
      {"Or 65535", K::NumberOperand, 0x133, -1, "", 0, "OR 65535"},
      {"LOAD 5 # Ende", K::NumberOperand, 0x114, 5, "", 8, "LOAD 5 # Ende"},
      {"LOAD 5#", K::NumberOperand, 0x114, 5, "", 7, "LOAD 5#"},
      {"load 5#x # y", K::NumberOperand, 0x114, 5, "", 7, "LOAD 5#x # y"},
      {"LOAD 99999999999", K::NumberOperand, 0x114, -1, "", 0, "LOAD 99999999999"},
      {"JMP -", K::NumberOperand, 0x124, 0, "", 0, "JMP -"},
      {"JMP Schleife", K::SymbolOperand, 0x124, 0, "Schleife", 0, "JMP Schleife"},
      {"jmp schleife", K::SymbolOperand, 0x124, 0, "schleife", 0, "JMP schleife"},
      {"JMP &H10", K::SymbolOperand, 0x124, 0, "&H10", 0, "JMP &H10"},
      {"jls l\xC3\xA4uft", K::SymbolOperand, 0x12B, 0, "l\xC3\xA4uft", 0, "JLS l\xC3\xA4uft"},
      {"loop:", K::LabelOnly, 0, 0, "loop", 0, "loop:"},
      {":", K::LabelOnly, 0, 0, "", 0, ":"},
      {"  1st: # digit first", K::LabelOnly, 0, 0, "1st", 8, "  1st: # digit first"},
      {"a\tb:", K::LabelOnly, 0, 0, "a\tb", 0, "a\tb:"},
      {"x: word 7", K::DataWord, 0, 7, "x", 0, "x: WORD 7"},
      {"Word: wOrD -1", K::DataWord, 0, -1, "Word", 0, "Word: WORD -1"},
      {"x:   Word 70000 #w", K::DataWord, 0, 4464, "x", 17, "x:   WORD 70000 #w"},
      {"x: WORD 65536", K::DataWord, 0, 0, "x", 0, "x: WORD 65536"},
      // A directive led by a tab is accepted but not normalised, and a
      // "word" inside the comment keeps its case.
      {"x: \tword 7", K::DataWord, 0, 7, "x", 0, "x: \tword 7"},
      {"x: \tword 7 # a word here", K::DataWord, 0, 7, "x", 12, "x: \tword 7 # a word here"},
  };
  for (const ValidCase& c : cases) {
    SCOPED_TRACE("line: '" + c.text + "'");
    const ProgramLine line = parsed(c.text, 17);
    EXPECT_TRUE(line.valid);
    EXPECT_EQ(line.lineIndex, 17);
    EXPECT_EQ(line.kind, c.kind);
    EXPECT_EQ(line.opcode, c.opcode);
    EXPECT_EQ(line.value, c.value);
    EXPECT_EQ(line.symbol, c.symbol);
    EXPECT_EQ(line.commentColumn, c.commentColumn);
    EXPECT_EQ(line.text, c.rewritten);
  }
}

TEST(LineParser, RejectsLinesThatBreakTheSyntax) {
  const std::string cases[] = {
      "hold 5",                // no operand allowed
      "NOT x",                 //
      "load",                  // operand missing
      "foo",                   // no mnemonic
      "holdx",                 //
      "LOADX 5",               //
      "LOAD\t5",               // a tab after a token belongs to it
      "JMP 1abc",              // looks like a number but is none
      "JMP -x",                //
      "loop: ADD 5",           // label in front of an instruction
      "Load:",                 // a mnemonic as label
      "x: hold",               //
      "x:WORD 7",              // colon inside the first token
      "x: WORD y",             // data word without number
      "x: WORD 1:",            //
      "name: WORD",            //
      "name: ADD",             //
      "ADD x:",                // colon in the operand
      "a b c d",               // four tokens
      "x: WORD 1 2",           //
      "LOAD 5 6",              // three tokens without WORD
      "a:b",                   // colon inside a single token
      "::",                    //
      std::string("OR\0", 3),  // a NUL byte is part of the token
  };
  for (const std::string& text : cases) {
    SCOPED_TRACE("line: '" + text + "'");
    const ProgramLine line = parsed(text, 3);
    EXPECT_FALSE(line.valid);
    EXPECT_EQ(line.lineIndex, 3);
    EXPECT_EQ(line.text, text) << "an invalid line is never rewritten";
  }
  // A tab before the comment is trailing white space of the code part, and a
  // '+' makes a name rather than a number.
  EXPECT_EQ(parsed("hold\t#").text, "HOLD\t#");
  EXPECT_EQ(parsed("JMP +5").kind, LineKind::SymbolOperand);
}

TEST(LineParser, InvalidLineKeepsEarlierResultsButUpdatesIndexAndComment) {
  ProgramLine line;
  line.text = "Load 42";
  parseLine(line, 3);
  ASSERT_EQ(line.kind, LineKind::NumberOperand);
  line.symbol = "old";

  line.text = "foo bar baz qux # c";
  parseLine(line, 9);
  EXPECT_FALSE(line.valid);
  EXPECT_EQ(line.lineIndex, 9);
  EXPECT_EQ(line.commentColumn, 17);
  EXPECT_EQ(line.kind, LineKind::NumberOperand);
  EXPECT_EQ(line.opcode, 0x114);
  EXPECT_EQ(line.value, 42);
  EXPECT_EQ(line.symbol, "old");
  EXPECT_EQ(line.text, "foo bar baz qux # c");
}

TEST(LineParser, ParsingTwiceGivesTheSameResult) {
  for (const char* text : {"  load 5 # x", "x: word 3", "hold", "jmp Ziel", "a b"}) {
    ProgramLine once = parsed(text);
    ProgramLine twice = once;
    parseLine(twice, 0);
    EXPECT_EQ(twice.text, once.text);
    EXPECT_EQ(twice.valid, once.valid);
    EXPECT_EQ(twice.kind, once.kind);
    EXPECT_EQ(twice.value, once.value);
  }
}

TEST(LineParser, EveryMnemonicIsFoundInAnyCaseAndNothingLonger) {
  for (const OpcodeRow& row : kOpcodeRows) {
    const std::string lower = lowerAscii(row.mnemonic);
    const ProgramLine line = parsed(hasOperand(row.operand) ? lower + " 1" : lower);
    EXPECT_TRUE(line.valid) << row.mnemonic;
    EXPECT_EQ(line.opcode, row.code) << row.mnemonic;
    EXPECT_EQ(line.text.substr(0, lower.size()), row.mnemonic);
    EXPECT_EQ(parsed(std::string(row.mnemonic) + "S:").kind, LineKind::LabelOnly) << row.mnemonic;
  }
}

TEST(LineParser, LongAndBinaryLinesAreSafe) {
  std::string text(70000, 'a');
  text[40000] = '#';
  ProgramLine line = parsed(text);
  EXPECT_FALSE(line.valid);
  EXPECT_EQ(line.text.size(), 70000u);
  EXPECT_EQ(line.commentColumn, 0) << "a column beyond 16 bits is not recorded";

  std::string bytes;
  for (int b = 0; b < 256; ++b) bytes.push_back(static_cast<char>(b));
  line = parsed(bytes);
  EXPECT_EQ(line.commentColumn, '#' + 1);
}

struct NumberCase {
  std::string token;
  bool isNumber;
  uint16_t value;
};

TEST(LineParser, NumberTestAndValue) {
  const NumberCase cases[] = {
      {"0", true, 0},
      {"7", true, 7},
      {"65535", true, 0xFFFF},
      {"-1", true, 0xFFFF},
      {"65536", true, 0},
      {"70000", true, 4464},
      {"-32768", true, 0x8000},
      {"4294967295", true, 0xFFFF},
      {"4294967296", true, 0xFFFF},
      {"-4294967295", true, 1},
      {"-4294967296", true, 0xFFFF},
      {"99999999999999999999999999", true, 0xFFFF},
      {"-99999999999", true, 0xFFFF},
      {"00000000000000000000000012", true, 12},
      {"-", true, 0},
      {"", false, 0},
      {"--1", false, 0},
      {"1-", false, 0},
      {"+1", false, 0},
      {"0x10", false, 0},
      {" 1", false, 0},
      {"12a", false, 0},
  };
  for (const NumberCase& c : cases) {
    EXPECT_EQ(isNumber(c.token), c.isNumber) << "token: '" << c.token << "'";
    if (c.isNumber) {
      EXPECT_EQ(numberValue(c.token), c.value) << "token: '" << c.token << "'";
    }
  }
}

}  // namespace
