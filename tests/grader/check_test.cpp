#include "grader/check.h"

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "files/program_file.h"
#include "grader/report.h"
#include "grader/report_csv.h"
#include "program/assemble.h"

using namespace akkusim;

namespace {

TestSuite suiteOf(const std::string& toml) {
  const TestFileReading reading = readTestFile(toml);
  EXPECT_TRUE(reading.suite) << reading.error.reason;
  return reading.suite.value_or(TestSuite{});
}

// Checks `source` (program lines separated by "\n") against the test file.
std::vector<CaseResult> check(const std::string& source, const std::string& toml) {
  std::istringstream in(source);
  LoadedProgram loaded = readProgram(in);
  auto machines = std::make_unique<CheckMachines>();
  LineMap lineMap;
  const AssembleResult assembled = assembleProgram(loaded.program, machines->assembled, lineMap);
  EXPECT_EQ(assembled.error, AssembleError::None);
  return checkAssembled(suiteOf(toml), machines->assembled, machines->run);
}

Difference memoryDifference(int32_t address, int32_t expected, int32_t actual) {
  Difference d;
  d.kind = DifferenceKind::Memory;
  d.address = address;
  d.expected = expected;
  d.actual = actual;
  return d;
}

void expectSame(const Difference& a, const Difference& b) {
  EXPECT_EQ(a.kind, b.kind);
  EXPECT_EQ(a.address, b.address);
  EXPECT_EQ(a.flag, b.flag);
  EXPECT_EQ(a.expected, b.expected);
  EXPECT_EQ(a.actual, b.actual);
  EXPECT_EQ(a.expectedEnd, b.expectedEnd);
  EXPECT_EQ(a.actualEnd, b.actualEnd);
}

TEST(CheckTest, WordsCompareAsSixteenBitsAndDifferencesShowThemSigned) {
  const std::vector<CaseResult> results = check(
      "LOADI -1\nSTORE 200\nHOLD\n",
      "[[case]]\nname = \"unsigned\"\nexpect.memory = { 200 = 65535 }\nexpect.accumulator = 65535\n"
      "[[case]]\nname = \"signed\"\nexpect.memory = { 199 = [0, -1, 0] }\n"
      "[[case]]\nname = \"wrong\"\nexpect.memory = { 200 = 1, 201 = 32768 }\n");
  ASSERT_EQ(results.size(), 3u);
  EXPECT_TRUE(results[0].passed);
  EXPECT_TRUE(results[1].passed);
  EXPECT_FALSE(results[2].passed);
  ASSERT_EQ(results[2].differences.size(), 2u);
  expectSame(results[2].differences[0], memoryDifference(200, 1, -1));
  expectSame(results[2].differences[1], memoryDifference(201, -32768, 0));
  EXPECT_EQ(results[2].end, RunEnd::Hold);
  EXPECT_EQ(results[2].steps, 3);
}

TEST(CheckTest, EachCaseStartsFromTheAssembledProgramWithItsOwnWordsAndAccumulator) {
  // A + M[100] -> M[101]; the second case must not see the first one's words.
  const std::vector<CaseResult> results = check(
      "ADD 100\nSTORE 101\nHOLD\n",
      "[[case]]\nname = \"mit Werten\"\naccumulator = 5\nmemory = { 100 = 7 }\n"
      "expect.memory = { 101 = 12 }\n"
      "[[case]]\nname = \"ohne\"\nexpect.memory = { 100 = [0, 0] }\nexpect.accumulator = 0\n"
      "[[case]]\nname = \"Programm ueberschrieben\"\nmemory = { 0 = 99 }\nexpect.end = \"hold\"\n"
      "expect.memory = { 0 = 99 }\n");
  ASSERT_EQ(results.size(), 3u);
  for (const CaseResult& r : results) {
    EXPECT_TRUE(r.passed) << (r.differences.empty() ? "" : differenceText(r.differences[0], 0));
  }
  EXPECT_EQ(results[2].steps, 1);  // the written HOLD ran at once
}

TEST(CheckTest, TheEndIsExpectedHoldUnlessTheFileSaysOtherwise) {
  struct EndCase {
    const char* program;
    const char* expectEnd;  // nullptr: not given
    RunEnd actual;
    bool passed;
  };
  const EndCase cases[] = {
      {"HOLD\n", nullptr, RunEnd::Hold, true},
      {"LOADI 1\nDIVI 0\n", nullptr, RunEnd::DivisionByZero, false},
      {"LOADI 1\nDIVI 0\n", "divisionByZero", RunEnd::DivisionByZero, true},
      {"HOLD\n", "divisionByZero", RunEnd::Hold, false},
      {"JMP 0\n", nullptr, RunEnd::StepLimit, false},
      {"JMP 0\n", "stepLimit", RunEnd::StepLimit, true},
      {"LOADI 1\nSHLI -1\n", "badShift", RunEnd::BadShift, true},
      {"x: WORD -1\n", "unknownInstruction", RunEnd::UnknownInstruction, true},
      {"JMP 65534\n", "memoryOverflow", RunEnd::MemoryOverflow, true},
  };
  for (const EndCase& c : cases) {
    SCOPED_TRACE(c.program);
    std::string toml = "max_steps = 50\n[[case]]\nname = \"a\"\n";
    if (c.expectEnd != nullptr) toml += "expect.end = \"" + std::string(c.expectEnd) + "\"\n";
    const std::vector<CaseResult> results = check(c.program, toml);
    ASSERT_EQ(results.size(), 1u);
    EXPECT_EQ(results[0].end, c.actual);
    EXPECT_EQ(results[0].passed, c.passed);
    if (!c.passed) {
      ASSERT_EQ(results[0].differences.size(), 1u);
      EXPECT_EQ(results[0].differences[0].kind, DifferenceKind::End);
      EXPECT_EQ(results[0].differences[0].actualEnd, c.actual);
    }
  }
}

TEST(CheckTest, FlagsAreComparedOnlyWhereGivenAndTheEndComesFirst) {
  // 0 - 1: C = 1 (borrow), Z = 0, N = 1; then an endless loop.
  const std::vector<CaseResult> results =
      check("LOADI 0\nSUBI 1\nHOLD\n",
            "max_steps = 2\n[[case]]\nname = \"a\"\nexpect.accumulator = 7\n"
            "expect.flags = { C = 1, Z = 1, N = 1 }\n");
  ASSERT_EQ(results.size(), 1u);
  const std::vector<Difference>& d = results[0].differences;
  ASSERT_EQ(d.size(), 3u);
  EXPECT_EQ(d[0].kind, DifferenceKind::End);
  EXPECT_EQ(d[0].actualEnd, RunEnd::StepLimit);
  EXPECT_EQ(d[1].kind, DifferenceKind::Accumulator);
  EXPECT_EQ(d[1].actual, -1);
  EXPECT_EQ(d[2].kind, DifferenceKind::Flag);
  EXPECT_EQ(d[2].flag, 'Z');
  EXPECT_EQ(d[2].expected, 1);
  EXPECT_EQ(d[2].actual, 0);
}

TEST(CheckTest, ACaseStepLimitReplacesTheFilesForThatCaseAlone) {
  // 1 + 2 * 5 + 1 steps: a countdown from 5.
  const std::vector<CaseResult> results =
      check("LOADI 5\nschleife:\nSUBI 1\nJMPNZ schleife\nHOLD\n",
            "max_steps = 11\n"
            "[[case]]\nname = \"Datei\"\n"
            "[[case]]\nname = \"eng\"\nmax_steps = 10\n"
            "[[case]]\nname = \"weit\"\nmax_steps = 12\n");
  ASSERT_EQ(results.size(), 3u);
  EXPECT_EQ(results[0].end, RunEnd::StepLimit);
  EXPECT_EQ(results[0].steps, 11);
  EXPECT_EQ(results[1].end, RunEnd::StepLimit);
  EXPECT_EQ(results[1].steps, 10);
  EXPECT_EQ(results[2].end, RunEnd::Hold);
  EXPECT_EQ(results[2].steps, 12);
}

// Checks the program text as if read from standard input.
ProgramResult checkText(const std::string& source, const std::string& toml) {
  std::istringstream in(source);
  auto machines = std::make_unique<CheckMachines>();
  return checkProgram(suiteOf(toml), "-", in, *machines);
}

TEST(CheckTest, AForbiddenInstructionFailsEveryCaseNamingItsFirstLine) {
  const std::string cases =
      "[[case]]\nname = \"a\"\nexpect.accumulator = 6\n"
      "[[case]]\nname = \"b\"\npoints = 2\n";
  struct Forbidden {
    const char* program;
    const char* forbid;
    const char* error;  // nullptr: checked as usual
  };
  const Forbidden table[] = {
      {"LOADI 2\nMULI 3\nHOLD\n", "[\"MULI\"]",
       "Befehl MULI ist in dieser Aufgabe nicht erlaubt (Zeile 2)"},
      {"# mal\n\nLOADI 2\nmuli 3\nHOLD\n", "[\"MUL\", \"muli\"]",
       "Befehl MULI ist in dieser Aufgabe nicht erlaubt (Zeile 4)"},
      {"LOADI 3\nADD x\nMUL x\nMULI 1\nHOLD\nx: WORD 1\n", "[\"MULI\", \"MUL\"]",
       "Befehl MUL ist in dieser Aufgabe nicht erlaubt (Zeile 3)"},
      // Only instructions count: not another one spelt alike, a comment or
      // a data word holding MUL's code.
      {"LOADI 2\nMULI 3\nHOLD\n", "[\"MUL\"]", nullptr},
      {"LOADI 6 # MUL\nHOLD\nx: WORD 268\n", "[\"MUL\"]", nullptr},
      {"LOADI 2\nMULI 3\nHOLD\n", "[]", nullptr},
  };
  for (const Forbidden& f : table) {
    SCOPED_TRACE(f.program);
    const ProgramResult result =
        checkText(f.program, "forbid = " + std::string(f.forbid) + "\n" + cases);
    ASSERT_EQ(result.cases.size(), 2u);
    if (f.error == nullptr) {
      EXPECT_FALSE(result.error) << *result.error;
      EXPECT_EQ(result.passed, 2);
      EXPECT_EQ(result.points, 3);
      continue;
    }
    EXPECT_EQ(result.error, f.error);
    EXPECT_EQ(result.passed, 0);
    EXPECT_EQ(result.points, 0);
    EXPECT_FALSE(result.cases[0].passed || result.cases[1].passed);
  }
}

// The source check sees only instruction lines; the run refuses MUL's code
// word however it came to be executed, and only the cases that reach it fail.
TEST(CheckTest, ARunThatComesToAForbiddenCodeWordFailsNamingTheAddress) {
  // Setup: case "plus" stays clear of the address 6, case "minus" gets there.
  const std::string cases =
      "[[case]]\nname = \"plus\"\nmemory = { 100 = 1 }\n"
      "[[case]]\nname = \"minus\"\nmemory = { 100 = -1 }\n";
  struct Smuggled {
    const char* program;
    const char* forbid;
    const char* reason;  // of case "minus"; nullptr: it passes
  };
  const Smuggled table[] = {
      // MUL's code as a data word, jumped to.
      {"LOAD 100\nJMPN m\nHOLD\nm: WORD 268\nn: WORD 100\nHOLD\n", "[\"MUL\"]",
       "Befehl MUL ist in dieser Aufgabe nicht erlaubt (Adresse 6)"},
      // MULI's code stored over a NOOP at run time.
      {"LOAD 100\nJMPNN e\nLOADI 524\nSTORE m\nm:\nNOOP\nNOOP\ne:\nHOLD\n", "[\"MUL\", \"MULI\"]",
       "Befehl MULI ist in dieser Aufgabe nicht erlaubt (Adresse 8)"},
      // Without forbid, or forbidding another, the same word runs.
      {"LOAD 100\nJMPN m\nHOLD\nm: WORD 268\nn: WORD 100\nHOLD\n", "[\"MULI\"]", nullptr},
      {"LOAD 100\nJMPN m\nHOLD\nm: WORD 268\nn: WORD 100\nHOLD\n", "[]", nullptr},
  };
  for (const Smuggled& f : table) {
    SCOPED_TRACE(f.program);
    const TestSuite suite = suiteOf("forbid = " + std::string(f.forbid) + "\n" + cases);

    // Run
    const ProgramResult result =
        checkText(f.program, "forbid = " + std::string(f.forbid) + "\n" + cases);
    ReportWriter writer;
    writer.format = ReportFormat::Json;
    std::ostringstream json;
    printReport(json, writer, suite, {result});

    // Verify
    ASSERT_EQ(result.cases.size(), 2u);
    EXPECT_FALSE(result.error) << *result.error;
    EXPECT_TRUE(result.cases[0].passed);
    if (f.reason == nullptr) {
      EXPECT_TRUE(result.cases[1].passed);
      continue;
    }
    EXPECT_FALSE(result.cases[1].passed);
    EXPECT_EQ(failedCaseText(suite, 1, result.cases[1], ReportView::Teacher),
              "Fall 'minus': " + std::string(f.reason));
    const std::string address = std::to_string(result.cases[1].instructionAddress);
    EXPECT_NE(json.str().find("\"end\":\"forbidden\""), std::string::npos) << json.str();
    EXPECT_NE(json.str().find("\"instructionAddress\":" + address +
                              ",\"differences\":[{\"what\":\"forbidden\",\"address\":" + address +
                              ",\"instruction\":\"MUL"),
              std::string::npos)
        << json.str();
  }
}

TEST(CheckTest, PointsAddUpOverThePassedCasesOnly) {
  const ProgramResult result =
      checkText("LOADI 6\nHOLD\n",
                "[[case]]\nname = \"sechs\"\npoints = 4\nexpect.accumulator = 6\n"
                "[[case]]\nname = \"sieben\"\npoints = 3\nexpect.accumulator = 7\n"
                "[[case]]\nname = \"halt\"\n");
  EXPECT_EQ(result.passed, 2);
  EXPECT_EQ(result.points, 5);
}

TEST(CheckTest, AHiddenCaseShowsItsDataToTheTeacherOnly) {
  const TestSuite suite = suiteOf(
      "[[case]]\nname = \"offen\"\nexpect.accumulator = 1\n"
      "[[case]]\nname = \"geheim\"\nhidden = true\nexpect.accumulator = 1\n");
  CaseResult failed;
  failed.differences.push_back(memoryDifference(7, 1, 0));
  EXPECT_EQ(failedCaseText(suite, 0, failed, ReportView::Learner),
            "Fall 'offen': Speicher[7] erwartet 1, erhalten 0");
  EXPECT_EQ(failedCaseText(suite, 1, failed, ReportView::Teacher),
            "Fall 'geheim': Speicher[7] erwartet 1, erhalten 0");
  EXPECT_EQ(failedCaseText(suite, 1, failed, ReportView::Learner),
            "Fall 'geheim': nicht bestanden");
}

TEST(CheckTest, DifferencesReadAsGermanPhrases) {
  Difference accumulator;
  accumulator.kind = DifferenceKind::Accumulator;
  accumulator.expected = 10;
  accumulator.actual = -3;
  Difference flag;
  flag.kind = DifferenceKind::Flag;
  flag.flag = 'N';
  flag.expected = 0;
  flag.actual = 1;
  const auto end = [](RunEnd expected, RunEnd actual) {
    Difference d;
    d.kind = DifferenceKind::End;
    d.address = 12;  // the instruction the run ended at
    d.expectedEnd = expected;
    d.actualEnd = actual;
    return d;
  };
  const std::pair<Difference, std::string> cases[] = {
      {memoryDifference(110, -2, 8), "Speicher[110] erwartet -2, erhalten 8"},
      {accumulator, "Akkumulator erwartet 10, erhalten -3"},
      {flag, "Flag N erwartet 0, erhalten 1"},
      {end(RunEnd::Hold, RunEnd::StepLimit), "Schrittgrenze 100000 erreicht"},
      {end(RunEnd::Hold, RunEnd::DivisionByZero), "Fehler: Division durch Null bei Adresse 12"},
      {end(RunEnd::Hold, RunEnd::MemoryOverflow), "Fehler: Speicherüberlauf bei Adresse 12"},
      {end(RunEnd::DivisionByZero, RunEnd::Hold),
       "Programmende, erwartet: Fehler: Division durch Null"},
      {end(RunEnd::StepLimit, RunEnd::BadShift),
       "Falscher Operator für SHLI bei Adresse 12, erwartet: Schrittgrenze 100000 erreicht"},
  };
  for (const auto& [difference, text] : cases) {
    EXPECT_EQ(differenceText(difference, 100000), text);
  }
}

TEST(CsvFieldTest, QuotesSeparatorsAndKeepsSpreadsheetsFromRunningFormulas) {
  // The separator German spreadsheets use; the comma table below checks the rest.
  const std::pair<std::string, std::string> semicolon[] = {
      {"a;b", "\"a;b\""},
      {"a,b", "a,b"},
      {"Speicher[1] erwartet 2, erhalten 3; 1 weitere Abweichung",
       "\"Speicher[1] erwartet 2, erhalten 3; 1 weitere Abweichung\""},
      {"=1;2", "\"'=1;2\""},
      {";", "\";\""},
  };
  for (const auto& [text, field] : semicolon) EXPECT_EQ(csvField(text, ';'), field) << text;

  const std::pair<std::string, std::string> cases[] = {
      {"anna.txt", "anna.txt"},
      {"zehn Einsen", "zehn Einsen"},
      {"a,b", "\"a,b\""},
      {"sagt \"hallo\"", "\"sagt \"\"hallo\"\"\""},
      {"zwei\nZeilen", "\"zwei\nZeilen\""},
      {"=HYPERLINK(\"x\")", "\"'=HYPERLINK(\"\"x\"\")\""},
      {"+1", "'+1"},
      {"-1", "'-1"},
      {"@SUM(A1)", "'@SUM(A1)"},
      {"", ""},
      // Formula characters count only at the start.
      {"anna-lena.txt", "anna-lena.txt"},
      {"a=b+c@d", "a=b+c@d"},
      {"'=1", "'=1"},
      {"=", "'="},
      {"-", "'-"},
      // Tab and carriage return at the start also open a formula in some
      // spreadsheets; a carriage return anywhere is a line break.
      {"\tx", "'\tx"},
      {"a\tb", "a\tb"},
      {"a\rb", "\"a\rb\""},
      {"\rx", "\"'\rx\""},
      {"a\r\nb", "\"a\r\nb\""},
      // Quoting: every quote doubled, also at the ends and alone.
      {"\"", "\"\"\"\""},
      {"\"a\"", "\"\"\"a\"\"\""},
      {",", "\",\""},
      {",a,", "\",a,\""},
      // Both rules at once: the mark goes inside the quotes.
      {"=1,2", "\"'=1,2\""},
      {"-\"x\"", "\"'-\"\"x\"\"\""},
      {"+a\nb", "\"'+a\nb\""},
      {"@", "'@"},
      {"\xC3\xA4=1", "\xC3\xA4=1"},
  };
  for (const auto& [text, field] : cases) EXPECT_EQ(csvField(text, ','), field) << text;
}

}  // namespace
