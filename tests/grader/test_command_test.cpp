#include "grader/test_command.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "support/command_runner.h"

using namespace akkusim;

namespace {

// M[100] + M[101] -> M[102]
const char* const kAddTest =
    "title = \"Addition\"\n"
    "max_steps = 100\n"
    "[[case]]\n"
    "name = \"klein\"\n"
    "memory = { 100 = [2, 3] }\n"
    "expect.memory = { 102 = 5 }\n"
    "[[case]]\n"
    "name = \"negativ\"\n"
    "memory = { 100 = [-7, 2] }\n"
    "expect.memory = { 102 = -5 }\n";

const char* const kAddRight = "LOAD 100\r\nADD 101\r\nSTORE 102\r\nHOLD\r\n";
// Adds the second number twice: right only when the first is 0.
const char* const kAddWrong = "LOAD 101\nADD 101\nSTORE 102\nHOLD\n";
const char* const kEndless = "JMP 0\n";
const char* const kFaulty = "LOAD 100\nADDX 101\n";

class TestCommandTest : public CommandTest {
 protected:
  void SetUp() override {
    CommandTest::SetUp();
    write("add.toml", kAddTest);
  }
};

TEST_F(TestCommandTest, TextNamesEveryProgramAndWhatDifferedInEachFailedCase) {
  write("abgaben/bert.txt", kAddWrong);
  write("abgaben/anna.txt", kAddRight);
  write("abgaben/carl.txt", kEndless);
  write("abgaben/dora.txt", kFaulty);
  write("abgaben/notizen.md", "keine Abgabe");

  const ProcessResult r = run("test add.toml abgaben fehlt.txt");

  EXPECT_EQ(r.exitCode, 5);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out,
            "Addition\n"
            "abgaben/anna.txt: 2 von 2 Fällen bestanden\n"
            "abgaben/bert.txt: 0 von 2 Fällen bestanden\n"
            "  Fall 'klein': Speicher[102] erwartet 5, erhalten 6\n"
            "  Fall 'negativ': Speicher[102] erwartet -5, erhalten 4\n"
            "abgaben/carl.txt: 0 von 2 Fällen bestanden\n"
            "  Fall 'klein': Schrittgrenze 100 erreicht; Speicher[102] erwartet 5, erhalten 0\n"
            "  Fall 'negativ': Schrittgrenze 100 erreicht; Speicher[102] erwartet -5, erhalten 0\n"
            "abgaben/dora.txt: 0 von 2 Fällen bestanden\n"
            "  Fehler in Zeile 2\n"
            "fehlt.txt: 0 von 2 Fällen bestanden\n"
            "  Datei nicht gefunden\n"
            "Gesamt: 2 von 10 Fällen bestanden; vollständig bestanden: 1 von 5 Programmen\n");
}

TEST_F(TestCommandTest, JsonGivesEveryCaseWithItsEndAndDifferencesAndTheErrors) {
  write("a.txt", kAddRight);
  write("b.txt", kAddWrong);
  write("c.txt", kFaulty);

  const ProcessResult r = run("test --json add.toml a.txt b.txt c.txt");

  EXPECT_EQ(r.exitCode, 5);
  EXPECT_EQ(
      r.out,
      "{\"title\":\"Addition\",\"programs\":["
      "{\"file\":\"a.txt\",\"passed\":2,\"total\":2,\"cases\":["
      "{\"name\":\"klein\",\"passed\":true,\"end\":\"hold\",\"steps\":4,\"differences\":[]},"
      "{\"name\":\"negativ\",\"passed\":true,\"end\":\"hold\",\"steps\":4,\"differences\":[]}]},"
      "{\"file\":\"b.txt\",\"passed\":0,\"total\":2,\"cases\":["
      "{\"name\":\"klein\",\"passed\":false,\"end\":\"hold\",\"steps\":4,\"differences\":["
      "{\"what\":\"memory[102]\",\"expected\":5,\"actual\":6}]},"
      "{\"name\":\"negativ\",\"passed\":false,\"end\":\"hold\",\"steps\":4,\"differences\":["
      "{\"what\":\"memory[102]\",\"expected\":-5,\"actual\":4}]}]},"
      "{\"file\":\"c.txt\",\"passed\":0,\"total\":2,\"error\":\"Fehler in Zeile 2\",\"cases\":["
      "{\"name\":\"klein\",\"passed\":false,\"differences\":[]},"
      "{\"name\":\"negativ\",\"passed\":false,\"differences\":[]}]}]}\n");
}

TEST_F(TestCommandTest, JsonNamesTheEndAccumulatorAndFlagDifferences) {
  write("t.toml",
        "max_steps = 10\n[[case]]\nname = \"a\"\nexpect.accumulator = 1\n"
        "expect.flags = { N = 0 }\n");
  write("p.txt", "LOADI -1\nJMP 2\n");

  const ProcessResult r = run("test t.toml p.txt --json");

  EXPECT_EQ(r.exitCode, 5);
  EXPECT_NE(r.out.find("\"end\":\"stepLimit\",\"steps\":10,\"differences\":["
                       "{\"what\":\"end\",\"expected\":\"hold\",\"actual\":\"stepLimit\"},"
                       "{\"what\":\"accumulator\",\"expected\":1,\"actual\":-1},"
                       "{\"what\":\"flags.N\",\"expected\":0,\"actual\":1}]"),
            std::string::npos)
      << r.out;
}

TEST_F(TestCommandTest, CsvHasOneRowPerProgramAndOneColumnPerCase) {
  write("t.toml",
        "[[case]]\nname = \"eins, zwei\"\nmemory = { 100 = 1 }\nexpect.memory = { 102 = 1 }\n"
        "[[case]]\nname = \"drei\"\nmemory = { 101 = 3 }\nexpect.memory = { 102 = 3 }\n");
  write("=summe.txt", kAddRight);  // a learner's name that a spreadsheet would run
  write("abgaben/nur_erste.txt", "LOAD 100\nSTORE 102\nHOLD\n");
  write("abgaben/leer.txt", "");

  const ProcessResult r = run("test t.toml =summe.txt abgaben --csv");

  EXPECT_EQ(r.exitCode, 5);
  EXPECT_EQ(r.out,
            "file,passed,total,\"eins, zwei\",drei\n"
            "'=summe.txt,2,2,1,1\n"
            "abgaben/leer.txt,0,2,0,0\n"
            "abgaben/nur_erste.txt,1,2,1,0\n");
}

TEST_F(TestCommandTest, ExitCodesTellPassedFailedUsageAndInvalidTestFile) {
  write("a.txt", kAddRight);
  write("b.txt", kAddWrong);
  write("leer/notizen.md", "");
  write("ungueltig.toml", "[[case]]\nname = \"a\"\nmemory = { 100 = 70000 }\n");
  std::string big = "# ";
  big.resize((1u << 20) + 1, 'x');
  write("gross.toml", big);
  struct ExitCase {
    const char* args;
    int exitCode;
    const char* err;  // the whole of standard error
  };
  const ExitCase cases[] = {
      {"test add.toml a.txt", 0, ""},
      {"test add.toml a.txt a.txt --json", 0, ""},
      {"test add.toml a.txt b.txt", 5, ""},
      {"test", 1, "akkusim test: Testdatei fehlt (siehe akkusim --help)\n"},
      {"test add.toml", 1,
       "akkusim test: Programmdatei oder Ordner fehlt (siehe akkusim --help)\n"},
      {"test add.toml a.txt --schnell", 1,
       "akkusim test: unbekannte Option '--schnell' (siehe akkusim --help)\n"},
      {"test add.toml a.txt --json --csv", 1,
       "akkusim test: --json und --csv schließen sich aus\n"},
      {"test add.toml - -", 1, "akkusim test: '-' (Standardeingabe) nur einmal angeben\n"},
      {"test fehlt.toml a.txt", 1, "akkusim test: fehlt.toml: Datei nicht gefunden\n"},
      {"test leer a.txt", 1, "akkusim test: leer: ein Verzeichnis, keine Testdatei\n"},
      {"test add.toml leer", 1, "akkusim test: keine Programmdateien (.txt) gefunden\n"},
      {"test ungueltig.toml a.txt", 2,
       "akkusim test: ungueltig.toml:3:18: Wert 70000 liegt nicht zwischen -32768 und 65535\n"},
      {"test gross.toml a.txt", 2,
       "akkusim test: gross.toml:1:1: Testdatei zu groß (mehr als 1 MiB)\n"},
  };
  for (const ExitCase& c : cases) {
    SCOPED_TRACE(c.args);
    const ProcessResult r = run(c.args);
    EXPECT_EQ(r.exitCode, c.exitCode);
    EXPECT_EQ(r.err, c.err);
    if (c.exitCode == 1 || c.exitCode == 2) {
      EXPECT_EQ(r.out, "");  // nothing ran
    }
  }
}

TEST_F(TestCommandTest, StandardInputIsOneProgramLikeForRun) {
  const ProcessResult r = run("test add.toml -", kAddRight);

  EXPECT_EQ(r.exitCode, 0);
  EXPECT_NE(r.out.find("Standardeingabe: 2 von 2 Fällen bestanden\n"), std::string::npos);
}

TEST_F(TestCommandTest, AProgramReadWithLossesIsCheckedWithTheWarning) {
  write("lang.txt",
        std::string("LOAD 100 # ") + std::string(60, 'x') + "\nADD 101\nSTORE 102\nHOLD\n");

  const ProcessResult r = run("test add.toml lang.txt");

  EXPECT_EQ(r.exitCode, 0);
  EXPECT_NE(r.out.find("lang.txt: 2 von 2 Fällen bestanden\n"
                       "  Achtung: Diese Datei konnte nicht vollständig importiert werden.\n"),
            std::string::npos)
      << r.out;
}

// Many programs, checked on every core: the report keeps the order by name,
// and without a terminal no progress line appears.
TEST_F(TestCommandTest, ManyProgramsGiveTheSameReportInNameOrderEveryTime) {
  write("lang.toml",
        std::string(kAddTest).replace(std::string(kAddTest).find("100\n"), 3, "1000000"));
  std::string expected = "Addition\n";
  std::vector<std::string> names;
  for (int i = 0; i < 60; ++i) names.push_back("p" + std::to_string(i) + ".txt");
  std::sort(names.begin(), names.end());
  int passed = 0;
  for (const std::string& name : names) {
    // The endless programs keep their workers busy while others finish quickly.
    const bool right = name.size() % 2 == 0;
    write("viele/" + name, right ? kAddRight : kEndless);
    expected += "viele/" + name + ": " + (right ? "2" : "0") + " von 2 Fällen bestanden\n";
    if (!right) {
      expected +=
          "  Fall 'klein': Schrittgrenze 1000000 erreicht; Speicher[102] erwartet 5, erhalten 0\n"
          "  Fall 'negativ': Schrittgrenze 1000000 erreicht; Speicher[102] erwartet -5, erhalten "
          "0\n";
    }
    passed += right ? 1 : 0;
  }
  expected += "Gesamt: " + std::to_string(2 * passed) + " von 120 Fällen bestanden; " +
              "vollständig bestanden: " + std::to_string(passed) + " von 60 Programmen\n";

  for (int round = 0; round < 3; ++round) {
    const ProcessResult r = run("test lang.toml viele");
    EXPECT_EQ(r.exitCode, 5);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, expected);
  }
}

// On a terminal a folder of many programs gets a progress line on standard
// error that rewrites itself and is wiped at the end; the report is the same.
TEST_F(TestCommandTest, ProgressGoesToStandardErrorOnlyWhenAsked) {
  for (int i = 0; i < 25; ++i) write("viele/p" + std::to_string(100 + i) + ".txt", kAddRight);
  const std::string testFile = (folder_ / "work" / "add.toml").string();
  const std::string programs = (folder_ / "work" / "viele").string();
  const char* argv[] = {"akkusim", "test", testFile.c_str(), programs.c_str()};
  std::istringstream in;
  std::ostringstream quietOut, quietErr, shownOut, shownErr;

  EXPECT_EQ(runTestCommand(4, argv, in, quietOut, quietErr, false), kTestExitAllPassed);
  EXPECT_EQ(runTestCommand(4, argv, in, shownOut, shownErr, true), kTestExitAllPassed);

  EXPECT_EQ(quietErr.str(), "");
  EXPECT_EQ(shownOut.str(), quietOut.str());
  EXPECT_NE(shownErr.str().find("\rgeprüft: 1 von 25"), std::string::npos);
  EXPECT_NE(shownErr.str().find("\rgeprüft: 25 von 25"), std::string::npos);
  EXPECT_EQ(shownErr.str().substr(shownErr.str().size() - 42), "\r" + std::string(40, ' ') + "\r");
}

}  // namespace
