#include "grader/test_file.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

using namespace akkusim;

namespace {

const char* const kExample = R"(title = "Summe der Zahlen in 100 bis 109, Ergebnis nach 110"
max_steps = 100000                # optional, default 1000000, per case

[[case]]
name = "zehn Einsen"
memory = { 100 = [1, 1, 1, 1, 1, 1, 1, 1, 1, 1] }   # written after assembling
expect.memory = { 110 = 10 }
expect.accumulator = 10
expect.flags = { Z = 0 }
expect.end = "hold"

[[case]]
name = "negative Zahlen"
memory = { 100 = [-5, 3, 0, 0, 0, 0, 0, 0, 0, 0] }
expect.memory = { 110 = -2 }
)";

TEST(TestFileTest, TheExampleReadsIntoCasesWithWordsAndExpectations) {
  const TestFileReading reading = readTestFile(kExample);
  ASSERT_TRUE(reading.suite) << reading.error.reason;
  const TestSuite& suite = *reading.suite;
  EXPECT_EQ(suite.title, "Summe der Zahlen in 100 bis 109, Ergebnis nach 110");
  EXPECT_EQ(suite.maxSteps, 100000);
  ASSERT_EQ(suite.cases.size(), 2u);

  const TestCase& first = suite.cases[0];
  EXPECT_EQ(first.name, "zehn Einsen");
  ASSERT_EQ(first.memory.size(), 1u);
  EXPECT_EQ(first.memory[0].address, 100);
  EXPECT_EQ(first.memory[0].words, std::vector<uint16_t>(10, 1));
  ASSERT_EQ(first.expectedMemory.size(), 1u);
  EXPECT_EQ(first.expectedMemory[0].address, 110);
  EXPECT_EQ(first.expectedMemory[0].words, std::vector<uint16_t>{10});
  EXPECT_EQ(first.expectedAccumulator, 10);
  EXPECT_EQ(first.expectedFlags[2], 0);  // Z
  EXPECT_FALSE(first.expectedFlags[0] || first.expectedFlags[1] || first.expectedFlags[3]);
  EXPECT_EQ(first.expectedEnd, RunEnd::Hold);

  const TestCase& second = suite.cases[1];
  EXPECT_EQ(second.memory[0].words[0], 0xFFFB);  // -5 as a word
  EXPECT_EQ(second.expectedMemory[0].words, std::vector<uint16_t>{0xFFFE});
  EXPECT_FALSE(second.expectedAccumulator);
}

TEST(TestFileTest, OptionalPartsTakeTheirDefaultsAndEveryFormIsRead) {
  const TestFileReading reading = readTestFile(
      "[[case]]\n"
      "name = \"a\"\n"
      "accumulator = 65535\n"
      "[case.memory]\n"
      "0 = -32768\n"
      "65535 = [7]\n"
      "[case.expect]\n"
      "flags = { C = 1, V = false, N = true }\n"
      "end = \"divisionByZero\"\n");
  ASSERT_TRUE(reading.suite) << reading.error.reason;
  EXPECT_EQ(reading.suite->title, "");
  EXPECT_EQ(reading.suite->maxSteps, 1000000);
  const TestCase& c = reading.suite->cases[0];
  EXPECT_EQ(c.accumulator, 0xFFFF);
  ASSERT_EQ(c.memory.size(), 2u);
  EXPECT_EQ(c.memory[0].address, 0);
  EXPECT_EQ(c.memory[0].words, std::vector<uint16_t>{0x8000});
  EXPECT_EQ(c.memory[1].address, 65535);
  EXPECT_EQ(c.expectedFlags[0], 1);
  EXPECT_EQ(c.expectedFlags[1], 0);
  EXPECT_FALSE(c.expectedFlags[2]);
  EXPECT_EQ(c.expectedFlags[3], 1);
  EXPECT_EQ(c.expectedEnd, RunEnd::DivisionByZero);
}

TEST(TestFileTest, GradingKeysAreReadAndTakeTheirDefaults) {
  const TestFileReading reading = readTestFile(
      "max_steps = 500\n"
      "forbid = [\"MUL\", \"muli\", \"Mul\"]\n"
      "[[case]]\n"
      "name = \"offen\"\n"
      "[[case]]\n"
      "name = \"geheim\"\n"
      "points = 3\n"
      "hidden = true\n"
      "hint = \"Denke an Null.\"\n"
      "max_steps = 20\n"
      "[[case]]\n"
      "name = \"geschenkt\"\n"
      "points = 0\n"
      "hidden = false\n");
  ASSERT_TRUE(reading.suite) << reading.error.reason;
  const TestSuite& suite = *reading.suite;
  EXPECT_EQ(suite.forbidden, (std::vector<std::string>{"MUL", "MULI"}));
  EXPECT_TRUE(suite.pointsGiven);
  EXPECT_EQ(maxPoints(suite), 4);

  const TestCase& open = suite.cases[0];
  EXPECT_EQ(open.points, 1);
  EXPECT_FALSE(open.hidden);
  EXPECT_EQ(open.hint, "");
  EXPECT_FALSE(open.maxSteps);
  EXPECT_EQ(stepsOf(suite, open), 500);

  const TestCase& secret = suite.cases[1];
  EXPECT_EQ(secret.points, 3);
  EXPECT_TRUE(secret.hidden);
  EXPECT_EQ(secret.hint, "Denke an Null.");
  EXPECT_EQ(stepsOf(suite, secret), 20);
  EXPECT_EQ(suite.cases[2].points, 0);

  // Without `points` anywhere every case is worth one and the report leaves points out.
  const TestFileReading plain = readTestFile(kExample);
  ASSERT_TRUE(plain.suite);
  EXPECT_FALSE(plain.suite->pointsGiven);
  EXPECT_TRUE(plain.suite->forbidden.empty());
  EXPECT_EQ(maxPoints(*plain.suite), 2);
}

struct RefusedFile {
  const char* what;
  std::string text;
  int32_t line;
  int32_t column;
  std::string reason;
};

void PrintTo(const RefusedFile& c, std::ostream* out) {
  *out << c.what;
}

class RefusedFileTest : public testing::TestWithParam<RefusedFile> {};

TEST_P(RefusedFileTest, IsRefusedWholeWithPlaceAndReason) {
  const RefusedFile& c = GetParam();
  const TestFileReading reading = readTestFile(c.text);
  EXPECT_FALSE(reading.suite);
  EXPECT_EQ(reading.error.line, c.line);
  EXPECT_EQ(reading.error.column, c.column);
  EXPECT_EQ(reading.error.reason, c.reason);
}

const std::string kCase = "[[case]]\nname = \"a\"\n";

INSTANTIATE_TEST_SUITE_P(
    Rules, RefusedFileTest,
    testing::Values(
        RefusedFile{"UnknownTopKey", "titel = \"x\"\n" + kCase, 1, 1,
                    "unbekannter Schlüssel 'titel' (erlaubt: title, max_steps, forbid, case)"},
        RefusedFile{"UnknownCaseKey", kCase + "  point = 5\n", 3, 3,
                    "unbekannter Schlüssel 'point' (erlaubt: name, memory, accumulator, "
                    "expect, points, hidden, hint, max_steps)"},
        RefusedFile{"UnknownExpectKey", kCase + "expect.memroy = { 1 = 1 }\n", 3, 8,
                    "unbekannter Schlüssel 'memroy' (erlaubt: memory, accumulator, flags, end)"},
        RefusedFile{"UnknownFlag", kCase + "expect.flags = { X = 1 }\n", 3, 18,
                    "unbekannter Schlüssel 'X' (erlaubt: C, V, Z, N)"},
        RefusedFile{"FlagNotABit", kCase + "expect.flags = { Z = 2 }\n", 3, 22,
                    "Flag Z muss 0 oder 1 sein"},
        RefusedFile{"UnknownEnd", kCase + "expect.end = \"halt\"\n", 3, 14,
                    "'end' muss einer dieser Texte sein: hold, memoryOverflow, badShift, "
                    "unknownInstruction, divisionByZero, stepLimit"},
        RefusedFile{"AddressAbove", kCase + "memory = { 65536 = 1 }\n", 3, 12,
                    "Adresse '65536' ist keine Dezimalzahl von 0 bis 65535"},
        RefusedFile{"AddressNotDecimal", kCase + "memory = { \"-1\" = 1 }\n", 3, 12,
                    "Adresse '-1' ist keine Dezimalzahl von 0 bis 65535"},
        RefusedFile{"ValueAbove", kCase + "memory = { 100 = 65536 }\n", 3, 18,
                    "Wert 65536 liegt nicht zwischen -32768 und 65535"},
        RefusedFile{"ValueBelowInArray", kCase + "expect.memory = { 100 = [0, -32769] }\n", 3, 29,
                    "Wert -32769 liegt nicht zwischen -32768 und 65535"},
        RefusedFile{"ValueNotWhole", kCase + "memory = { 100 = 1.5 }\n", 3, 18,
                    "Wert muss eine ganze Zahl von -32768 bis 65535 sein"},
        RefusedFile{"AccumulatorAbove", kCase + "accumulator = 70000\n", 3, 15,
                    "'accumulator' 70000 liegt nicht zwischen -32768 und 65535"},
        RefusedFile{"ArrayPastTheEnd", kCase + "memory = { 65534 = [1, 2, 3] }\n", 3, 20,
                    "Liste ab Adresse 65534 mit 3 Werten reicht über Adresse 65535 hinaus"},
        RefusedFile{"EmptyArray", kCase + "expect.memory = { 100 = [] }\n", 3, 25,
                    "leere Liste bei Adresse 100"},
        RefusedFile{"OverlappingWords", kCase + "memory = { 99 = [1, 2, 3], 100 = 5 }\n", 3, 28,
                    "Adresse 100 ist mehrfach angegeben"},
        RefusedFile{"NoCases", "title = \"x\"\n", 1, 1,
                    "keine Fälle: mindestens ein [[case]] fehlt"},
        RefusedFile{"CaseNotAList", "case = 5\n", 1, 8,
                    "'case' muss eine Liste von Fällen sein, jeder mit [[case]] begonnen"},
        RefusedFile{"CaseWithoutName", "[[case]]\nmemory = { 1 = 1 }\n", 1, 1,
                    "Fall ohne Namen: 'name' fehlt"},
        RefusedFile{"EmptyName", "[[case]]\nname = \"\"\n", 2, 8,
                    "'name' muss ein nicht leerer Text sein"},
        RefusedFile{"NameOfTwoLines", "[[case]]\nname = \"a\\nb\"\n", 2, 8,
                    "'name' muss ein Text auf einer Zeile sein"},
        RefusedFile{"DuplicateNames", kCase + kCase, 4, 8,
                    "Fall 'a' gibt es schon: jeder Fall braucht einen eigenen Namen"},
        RefusedFile{"StepsZero", "max_steps = 0\n" + kCase, 1, 13,
                    "'max_steps' muss eine ganze Zahl von 1 bis 1000000000 sein"},
        RefusedFile{"StepsAboveTheBound", "max_steps = 1000000001\n" + kCase, 1, 13,
                    "'max_steps' muss eine ganze Zahl von 1 bis 1000000000 sein"},
        RefusedFile{"TomlSyntax", kCase + "memory = { 100 = [1, 2 }\n", 3, 24,
                    "TOML: ',' oder ']' erwartet"},
        RefusedFile{"TomlDuplicateKey", kCase + "name = \"b\"\n", 3, 8,
                    "TOML: Schlüssel 'name' doppelt festgelegt"},
        RefusedFile{"TomlUnquotedText", kCase + "expect.end = hold\n", 3, 14,
                    "TOML: unbekannte Art von Wert (Texte stehen in Anführungszeichen)"},
        RefusedFile{"NotUtf8", "title = \"\xFF\"\n" + kCase, 1, 9,
                    "TOML: keine gültige UTF-8-Kodierung"},
        // Tables are walked in key order; the teacher is sent to the first place in the file.
        RefusedFile{"EarliestOfSeveral", kCase + "zzz = 1\nmemory = { 5 = 70000 }\n", 3, 1,
                    "unbekannter Schlüssel 'zzz' (erlaubt: name, memory, accumulator, expect, "
                    "points, hidden, hint, max_steps)"},
        RefusedFile{"PointsNegative", kCase + "points = -1\n", 3, 10,
                    "'points' muss eine ganze Zahl von 0 bis 1000 sein"},
        RefusedFile{"PointsAbove", kCase + "points = 1001\n", 3, 10,
                    "'points' muss eine ganze Zahl von 0 bis 1000 sein"},
        RefusedFile{"PointsAsText", kCase + "points = \"2\"\n", 3, 10,
                    "'points' muss eine ganze Zahl von 0 bis 1000 sein"},
        RefusedFile{"HiddenAsNumber", kCase + "hidden = 1\n", 3, 10,
                    "'hidden' muss true oder false sein"},
        RefusedFile{"HintNotText", kCase + "hint = 5\n", 3, 8,
                    "'hint' muss ein Text auf einer Zeile sein"},
        RefusedFile{"HintOfTwoLines", kCase + "hint = \"erst\\ndann\"\n", 3, 8,
                    "'hint' muss ein Text auf einer Zeile sein"},
        RefusedFile{"CaseStepsZero", kCase + "max_steps = 0\n", 3, 13,
                    "'max_steps' muss eine ganze Zahl von 1 bis 1000000000 sein"},
        RefusedFile{"CaseStepsAboveTheBound", kCase + "max_steps = 1000000001\n", 3, 13,
                    "'max_steps' muss eine ganze Zahl von 1 bis 1000000000 sein"},
        RefusedFile{"ForbidNotAList", "forbid = \"MUL\"\n" + kCase, 1, 10,
                    "'forbid' muss eine Liste von Befehlen sein, z. B. [\"MUL\", \"MULI\"]"},
        RefusedFile{"ForbidNotText", "forbid = [\"MUL\", 12]\n" + kCase, 1, 18,
                    "'forbid' muss eine Liste von Befehlen sein, z. B. [\"MUL\", \"MULI\"]"},
        RefusedFile{"ForbidUnknownMnemonic", "forbid = [\"MUL\", \"MULT\"]\n" + kCase, 1, 18,
                    "unbekannter Befehl 'MULT' in 'forbid'"},
        RefusedFile{"ForbidDataWord", "forbid = [\"WORD\"]\n" + kCase, 1, 11,
                    "unbekannter Befehl 'WORD' in 'forbid'"},
        // A reason is one line even when it quotes a text with control characters.
        RefusedFile{"ForbidOfTwoLines", "forbid = [\"MUL\\nADD\\t\\u0007\"]\n" + kCase, 1, 11,
                    "unbekannter Befehl 'MUL\\nADD\\t\\u0007' in 'forbid'"},
        RefusedFile{"KeyOfTwoLines", kCase + "\"po\\r\\nints\" = 1\n", 3, 1,
                    "unbekannter Schlüssel 'po\\r\\nints' (erlaubt: name, memory, accumulator, "
                    "expect, points, hidden, hint, max_steps)"}),
    [](const testing::TestParamInfo<RefusedFile>& info) { return std::string(info.param.what); });

// A letter outside a text sends the TOML reader down a branch it believes
// unreachable; these files must come back refused, never crash (the sanitizer
// builds run this), and letters inside texts and comments stay German text.
TEST(TestFileTest, LettersOutsideTextsAreRefusedAndInsideTextsKept) {
  const std::string unknownValue =
      "TOML: unbekannte Art von Wert (Texte stehen in Anführungszeichen)";
  struct Case {
    std::string text;
    int32_t line;
    int32_t column;
    std::string reason;
  };
  const Case refused[] = {
      {"[[case]]\nname = Überlauf\n", 2, 8, unknownValue},
      {"title = \"ä\" ü\n", 1, 13, "TOML: nach dem Wert darf nur ein Kommentar folgen"},
      {"title = [1, ä]\n", 1, 13, unknownValue},
      {"ä = 1\n", 1, 1, "TOML: Schlüssel oder Tabelle erwartet"},
      {"title = \"\"\"x\\ä\"\"\"\n", 1, 14, "TOML: unbekannte Escape-Sequenz im Text"},
      {"title = 0z*zns='''x\xEF\xB8\xBF g\n", 1, 9, unknownValue},
  };
  for (const Case& c : refused) {
    SCOPED_TRACE(c.text);
    const TestFileReading reading = readTestFile(c.text);
    EXPECT_FALSE(reading.suite);
    EXPECT_EQ(reading.error.line, c.line);
    EXPECT_EQ(reading.error.column, c.column);
    EXPECT_EQ(reading.error.reason, c.reason);
  }

  const std::string accepted[] = {
      "title = \"Größe\" # Kommentar mit ä\n", "title = 'Größe'\n",
      "title = \"\"\"\nGröße\n\"\"\"\n",       "title = '''Größe'' '''\n",
      "title = \"\"\"x\\\n   ä\"\"\"\n",       "title = \"\"\"a \\\n   b ä\"\"\"\n",
      "\xEF\xBB\xBFtitle = \"ä\"\n",
  };
  for (const std::string& text : accepted) {
    SCOPED_TRACE(text);
    const TestFileReading reading = readTestFile(text + kCase);
    EXPECT_TRUE(reading.suite) << reading.error.reason;
  }
  const TestFileReading umlauts = readTestFile("[[case]]\nname = \"Überlauf\"\n");
  ASSERT_TRUE(umlauts.suite);
  EXPECT_EQ(umlauts.suite->cases[0].name, "Überlauf");
}

TEST(TestFileTest, SizeAndCaseLimitsRefuseWithoutReadingOn) {
  std::string big = kCase + "# ";
  big.resize(kMostTestFileBytes + 1, 'x');
  const TestFileReading tooBig = readTestFile(big);
  EXPECT_FALSE(tooBig.suite);
  EXPECT_EQ(tooBig.error.reason, "Testdatei zu groß (mehr als 1 MiB)");
  EXPECT_EQ(tooBig.error.line, 0);  // no place in the file: it is the whole file
  EXPECT_EQ(tooBig.error.column, 0);

  std::string many;
  for (std::size_t i = 0; i < kMostCases; ++i) {
    many += "[[case]]\nname = \"" + std::to_string(i) + "\"\n";
  }
  const TestFileReading atTheLimit = readTestFile(many);
  ASSERT_TRUE(atTheLimit.suite) << atTheLimit.error.reason;
  EXPECT_EQ(atTheLimit.suite->cases.size(), kMostCases);

  const TestFileReading overTheLimit = readTestFile(many + "[[case]]\nname = \"x\"\n");
  EXPECT_FALSE(overTheLimit.suite);
  EXPECT_EQ(overTheLimit.error.line, static_cast<int32_t>(2 * kMostCases + 1));
  EXPECT_EQ(overTheLimit.error.reason, "mehr als 10000 Fälle");
}

struct WordBlockCase {
  const char* text;
  bool valid;
  int32_t address;
  std::vector<uint16_t> words;
};

TEST(WordBlockTest, FollowsTheSameRulesAsTheTestFiles) {
  const WordBlockCase cases[] = {
      {"100=1,2,3", true, 100, {1, 2, 3}},
      {"0=-32768", true, 0, {0x8000}},
      {"65535=65535", true, 65535, {0xFFFF}},
      {"65534=1,-1", true, 65534, {1, 0xFFFF}},
      {"65535=1,2", false, 0, {}},   // past the last word
      {"65536=1", false, 0, {}},     // address out of range
      {"-1=1", false, 0, {}},        // no negative address
      {"100=65536", false, 0, {}},   // value out of range
      {"100=-32769", false, 0, {}},  // value out of range
      {"100=", false, 0, {}},
      {"100=1,,2", false, 0, {}},
      {"100=1,", false, 0, {}},
      {"=1", false, 0, {}},
      {"100", false, 0, {}},
      {"100=+1", false, 0, {}},
      {"100=0x10", false, 0, {}},
      {"100 =1", false, 0, {}},
      {"99999999999999999999=1", false, 0, {}},
  };
  for (const WordBlockCase& c : cases) {
    SCOPED_TRACE(c.text);
    const std::optional<WordBlock> block = parseWordBlock(c.text);
    ASSERT_EQ(block.has_value(), c.valid);
    if (!block) continue;
    EXPECT_EQ(block->address, c.address);
    EXPECT_EQ(block->words, c.words);
  }
}

}  // namespace
