#include "grader/test_command.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "support/command_runner.h"
#include "support/unprivileged.h"

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
            "  Fehler in Zeile 2: ADDX 101\n"
            "fehlt.txt: 0 von 2 Fällen bestanden\n"
            "  Datei nicht gefunden\n"
            "Übersprungen (kein Programm): abgaben/notizen.md\n"
            "Gesamt: 2 von 10 Fällen bestanden; vollständig bestanden: 1 von 5 Programmen\n");
}

TEST_F(TestCommandTest, JsonGivesEveryCaseWithItsEndAndDifferencesAndTheErrors) {
  write("a.txt", kAddRight);
  write("b.txt", kAddWrong);
  write("c.txt", kFaulty);

  const ProcessResult r = run("test --json add.toml a.txt b.txt c.txt");

  EXPECT_EQ(r.exitCode, 5);
  EXPECT_EQ(r.out,
            "{\"title\":\"Addition\",\"programs\":["
            "{\"file\":\"a.txt\",\"passed\":2,\"total\":2,\"points\":2,\"maxPoints\":2,\"cases\":["
            "{\"name\":\"klein\",\"passed\":true,\"points\":1,\"end\":\"hold\",\"steps\":4,"
            "\"differences\":[]},"
            "{\"name\":\"negativ\",\"passed\":true,\"points\":1,\"end\":\"hold\",\"steps\":4,"
            "\"differences\":[]}]},"
            "{\"file\":\"b.txt\",\"passed\":0,\"total\":2,\"points\":0,\"maxPoints\":2,\"cases\":["
            "{\"name\":\"klein\",\"passed\":false,\"points\":1,\"end\":\"hold\",\"steps\":4,"
            "\"differences\":[{\"what\":\"memory[102]\",\"expected\":5,\"actual\":6}]},"
            "{\"name\":\"negativ\",\"passed\":false,\"points\":1,\"end\":\"hold\",\"steps\":4,"
            "\"differences\":[{\"what\":\"memory[102]\",\"expected\":-5,\"actual\":4}]}]},"
            "{\"file\":\"c.txt\",\"passed\":0,\"total\":2,\"points\":0,\"maxPoints\":2,"
            "\"error\":\"Fehler in Zeile 2: ADDX 101\",\"cases\":["
            "{\"name\":\"klein\",\"passed\":false,\"points\":1,\"differences\":[]},"
            "{\"name\":\"negativ\",\"passed\":false,\"points\":1,\"differences\":[]}]}]}\n");
}

// Unpacking a Windows archive leaves Latin-1 file names ("Müller" with byte
// 0xFC); one of them must not make the whole JSON invalid.
TEST_F(TestCommandTest, AFileNameThatIsNoUtf8IsShownWithReplacementCharacters) {
  write("abgaben/M\xFCller.txt", kAddRight);
  const std::string shown = "abgaben/M\xEF\xBF\xBDller.txt";

  const ProcessResult text = run("test add.toml abgaben");
  const ProcessResult json = run("test add.toml abgaben --json");

  EXPECT_EQ(text.exitCode, 0);
  EXPECT_NE(text.out.find(shown + ": 2 von 2 Fällen bestanden\n"), std::string::npos) << text.out;
  EXPECT_NE(json.out.find("{\"file\":\"" + shown + "\","), std::string::npos) << json.out;
  EXPECT_EQ(json.out.find('\xFC'), std::string::npos);
}

// The usual shape of a download from a school platform: one sub-folder per
// learner, files from other editors, a stray PDF, a name from a Windows
// archive.
TEST_F(TestCommandTest, AClassFolderNamesEachLearnerAndListsWhatIsNoProgram) {
  write("klasse/Anna_Muster/abgabe.txt", std::string("\xEF\xBB\xBF") + kAddRight);
  write("klasse/Bert/abgabe.txt", kAddWrong);
  write("klasse/Bert/bericht.pdf", "%PDF-1.4");
  write("klasse/J\xFCrgen/summe.txt",
        "# Summe f\xC3\xBCr Anf\xC3\xA4nger\n" + std::string(kAddRight));

  // The folder given twice and one of its files again: each program once.
  const ProcessResult text = run("test add.toml klasse klasse/ klasse/Bert/abgabe.txt");
  const ProcessResult json = run("test add.toml klasse --json");
  const ProcessResult csv = run("test add.toml klasse --csv");

  const std::string juergen = "J\xEF\xBF\xBDrgen";
  EXPECT_EQ(text.exitCode, 5);
  EXPECT_EQ(text.out,
            "Addition\n"
            "Anna_Muster (klasse/Anna_Muster/abgabe.txt): 2 von 2 Fällen bestanden\n"
            "Bert (klasse/Bert/abgabe.txt): 0 von 2 Fällen bestanden\n"
            "  Fall 'klein': Speicher[102] erwartet 5, erhalten 6\n"
            "  Fall 'negativ': Speicher[102] erwartet -5, erhalten 4\n" +
                juergen + " (klasse/" + juergen + "/summe.txt): 2 von 2 Fällen bestanden\n" +
                "Übersprungen (kein Programm): klasse/Bert/bericht.pdf\n"
                "Gesamt: 4 von 6 Fällen bestanden; vollständig bestanden: 2 von 3 Programmen\n");
  EXPECT_NE(
      json.out.find("{\"file\":\"klasse/Anna_Muster/abgabe.txt\",\"learner\":\"Anna_Muster\","),
      std::string::npos)
      << json.out;
  EXPECT_NE(json.out.find("]}],\"skipped\":[\"klasse/Bert/bericht.pdf\"]}\n"), std::string::npos)
      << json.out;
  EXPECT_NE(csv.out.find("\r\nBert;klasse/Bert/abgabe.txt;0;2;0;0;0;"
                         "Fall 'klein': Speicher[102] erwartet 5, erhalten 6\r\n"),
            std::string::npos)
      << csv.out;
  EXPECT_NE(csv.out.find("\r\n" + juergen + ";klasse/" + juergen + "/summe.txt;2;2;2;1;1;\r\n"),
            std::string::npos)
      << csv.out;
  EXPECT_EQ(csv.err, "Übersprungen (kein Programm): klasse/Bert/bericht.pdf\n");
}

// A learner's folder that cannot be read is no program that passes: it is
// named with the reason, the learners after it are checked all the same,
// and the exit code is that of a failed program.
TEST_F(TestCommandTest, AnUnreadableFolderFailsWithItsReasonAndTheOthersAreChecked) {
#ifdef _WIN32
  GTEST_SKIP() << "Windows has no permissions for owner, group and others";
#else
  // Setup
  write("klasse/anna/abgabe.txt", kAddRight);
  write("klasse/ben/abgabe.txt", kAddRight);
  write("klasse/carl/abgabe.txt", kAddRight);
  const std::filesystem::path ben = folder_ / "work/klasse/ben";
  std::filesystem::permissions(ben, std::filesystem::perms::none);
  ASSERT_TRUE(handToUnprivilegedUser(folder_));

  // Run: permissions hold for the child, also when the tests run as root.
  const ChildResult r = runUnprivileged([this](std::string& report) {
    const ProcessResult text = run("test add.toml klasse");
    const ProcessResult json = run("test add.toml klasse --json");
    const ProcessResult csv = run("test add.toml klasse --csv");
    report = text.out + json.out + csv.out;
    return text.exitCode * 10 + json.exitCode;
  });
  std::filesystem::permissions(ben, std::filesystem::perms::owner_all);

  // Verify
  EXPECT_EQ(r.exitCode, 55) << r.report;
  EXPECT_NE(r.report.find("Addition\n"
                          "anna (klasse/anna/abgabe.txt): 2 von 2 Fällen bestanden\n"
                          "ben (klasse/ben): 0 von 2 Fällen bestanden\n"
                          "  nicht lesbar (keine Berechtigung)\n"
                          "carl (klasse/carl/abgabe.txt): 2 von 2 Fällen bestanden\n"
                          "Gesamt: 4 von 6 Fällen bestanden; vollständig bestanden: 2 von 3 "
                          "Programmen\n"),
            std::string::npos)
      << r.report;
  EXPECT_NE(r.report.find("{\"file\":\"klasse/ben\",\"learner\":\"ben\",\"passed\":0,"),
            std::string::npos)
      << r.report;
  EXPECT_NE(r.report.find(",\"error\":\"nicht lesbar (keine Berechtigung)\","), std::string::npos)
      << r.report;
  EXPECT_NE(r.report.find("\r\nben;klasse/ben;0;2;"), std::string::npos) << r.report;
#endif
}

// Where it went wrong, as `run` shows it: the failing instruction's address
// (its "Befehlszähler"), and the text of a line that does not assemble.
TEST_F(TestCommandTest, ARunErrorGivesTheAddressAndAnAssemblyErrorTheLine) {
  write("durch_null.txt", "LOAD 100\nDIV 103\nSTORE 102\nHOLD\n");
  write("falsch.txt", "LOAD 100\n  x: ADD \x84pfel # \x94l\n");  // code page 437

  const ProcessResult text = run("test add.toml durch_null.txt falsch.txt");
  const ProcessResult json = run("test add.toml durch_null.txt falsch.txt --json");

  EXPECT_NE(text.out.find("  Fall 'klein': Fehler: Division durch Null bei Adresse 2; "),
            std::string::npos)
      << text.out;
  EXPECT_NE(text.out.find("  Fehler in Zeile 2: x: ADD äpfel # öl\n"), std::string::npos)
      << text.out;
  EXPECT_NE(json.out.find("\"end\":\"divisionByZero\",\"steps\":2,\"instructionAddress\":2,"),
            std::string::npos)
      << json.out;
  EXPECT_NE(json.out.find("\"error\":\"Fehler in Zeile 2: x: ADD äpfel # öl\""), std::string::npos)
      << json.out;
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

using CsvRows = std::vector<std::vector<std::string>>;

// Reads the grade book as a spreadsheet program does, apart from the code
// under test: a UTF-8 byte order mark, then fields split at `separator`,
// quoted fields with doubled quotes inside, rows ending in CR LF.
CsvRows readCsv(const std::string& bytes, char separator) {
  const std::string mark = "\xEF\xBB\xBF";
  EXPECT_EQ(bytes.substr(0, mark.size()), mark);
  CsvRows rows;
  std::vector<std::string> row;
  std::string field;
  bool quoted = false;
  for (std::size_t i = mark.size(); i < bytes.size(); ++i) {
    const char c = bytes[i];
    if (quoted) {
      if (c != '"') {
        field += c;
      } else if (i + 1 < bytes.size() && bytes[i + 1] == '"') {
        field += '"';
        ++i;
      } else {
        quoted = false;
      }
    } else if (c == '"' && field.empty()) {
      quoted = true;
    } else if (c == separator) {
      row.push_back(field);
      field.clear();
    } else if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') {
      row.push_back(field);
      field.clear();
      rows.push_back(row);
      row.clear();
      ++i;
    } else {
      field += c;
    }
  }
  EXPECT_FALSE(quoted);
  EXPECT_TRUE(field.empty() && row.empty()) << "last row without CR LF";
  return rows;
}

const char* const kGradedTest =
    "title = \"Addition\"\n"
    "forbid = [\"MULI\"]\n"
    "[[case]]\nname = \"eins; zwei\"\npoints = 2\nmemory = { 100 = 1 }\n"
    "expect.memory = { 102 = 1 }\n"
    "[[case]]\nname = \"drei\"\npoints = 3\nhidden = true\n"
    "hint = \"Auch die zweite Zahl zählt.\"\nmemory = { 101 = 3 }\nexpect.memory = { 102 = 3 }\n";

class GradedTest : public CommandTest {
 protected:
  void SetUp() override {
    CommandTest::SetUp();
    write("t.toml", kGradedTest);
    write("=summe.txt", kAddRight);  // a learner's name that a spreadsheet would run
    write("jürgen.txt", "LOAD 100\nSTORE 102\nHOLD\n");
    write("abgaben/mal.txt", "LOAD 100\nMULI 1\nSTORE 102\nHOLD\n");
  }
  static constexpr const char* kPrograms = " t.toml =summe.txt jürgen.txt abgaben";
};

TEST_F(GradedTest, CsvReadsBackInAGermanSpreadsheetWithOneRowPerLearner) {
  const ProcessResult semicolon = run(std::string("test --csv") + kPrograms);
  const ProcessResult comma = run(std::string("test --csv --csv-separator ,") + kPrograms);
  const ProcessResult learner = run(std::string("test --csv --learner") + kPrograms);

  const CsvRows expected = {
      {"Name", "Datei", "Punkte", "Maximum", "bestandene Fälle", "eins; zwei", "drei", "Grund"},
      {"'=summe", "'=summe.txt", "5", "5", "2", "1", "1", ""},
      {"jürgen", "jürgen.txt", "2", "5", "1", "1", "0",
       "Fall 'drei': Speicher[102] erwartet 3, erhalten 0"},
      {"mal", "abgaben/mal.txt", "0", "5", "0", "0", "0",
       "Befehl MULI ist in dieser Aufgabe nicht erlaubt (Zeile 2)"},
  };
  EXPECT_EQ(semicolon.exitCode, 5);
  EXPECT_EQ(semicolon.err, "");
  EXPECT_EQ(readCsv(semicolon.out, ';'), expected) << semicolon.out;
  EXPECT_EQ(comma.exitCode, 5);
  EXPECT_EQ(readCsv(comma.out, ','), expected) << comma.out;
  CsvRows learnerView = expected;
  learnerView[2].back() = "Fall 'drei': nicht bestanden";
  EXPECT_EQ(readCsv(learner.out, ';'), learnerView) << learner.out;
}

TEST_F(GradedTest, TextGivesPointsAndHintsAndKeepsHiddenCasesData) {
  const ProcessResult teacher = run(std::string("test") + kPrograms);
  const ProcessResult learner = run(std::string("test --learner") + kPrograms);

  EXPECT_EQ(teacher.exitCode, 5);
  EXPECT_EQ(teacher.out,
            "Addition\n"
            "=summe.txt: 2 von 2 Fällen bestanden, 5 von 5 Punkten\n"
            "jürgen.txt: 1 von 2 Fällen bestanden, 2 von 5 Punkten\n"
            "  Fall 'drei': nicht bestanden\n"
            "    Tipp: Auch die zweite Zahl zählt.\n"
            "abgaben/mal.txt: 0 von 2 Fällen bestanden, 0 von 5 Punkten\n"
            "  Befehl MULI ist in dieser Aufgabe nicht erlaubt (Zeile 2)\n"
            "Gesamt: 3 von 6 Fällen bestanden, 7 von 15 Punkten; "
            "vollständig bestanden: 1 von 3 Programmen\n");
  EXPECT_EQ(learner.exitCode, 5);
  EXPECT_EQ(learner.out, teacher.out);
}

TEST_F(GradedTest, JsonKeepsEverythingForTheTeacherAndHidesForTheLearner) {
  const ProcessResult teacher = run("test --json t.toml jürgen.txt");
  const ProcessResult learner = run("test --json --learner t.toml jürgen.txt");

  const std::string head =
      "{\"title\":\"Addition\",\"programs\":[{\"file\":\"jürgen.txt\",\"passed\":1,\"total\":2,"
      "\"points\":2,\"maxPoints\":5,\"cases\":["
      "{\"name\":\"eins; zwei\",\"passed\":true,\"points\":2,\"end\":\"hold\",\"steps\":3,"
      "\"differences\":[]},"
      "{\"name\":\"drei\",\"passed\":false,\"points\":3,\"hidden\":true,"
      "\"hint\":\"Auch die zweite Zahl zählt.\"";
  EXPECT_EQ(teacher.exitCode, 5);
  EXPECT_EQ(teacher.out, head +
                             ",\"end\":\"hold\",\"steps\":3,\"differences\":["
                             "{\"what\":\"memory[102]\",\"expected\":3,\"actual\":0}]}]}]}\n");
  EXPECT_EQ(learner.exitCode, 5);
  EXPECT_EQ(learner.out, head + "}]}]}\n");
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
      {"test add.toml a.txt --csv --csv-separator", 1,
       "akkusim test: --csv-separator erwartet einen Wert\n"},
      {"test add.toml a.txt --csv --csv-separator tab", 1,
       "akkusim test: --csv-separator erwartet ';' oder ',', nicht 'tab'\n"},
      {"test add.toml a.txt --csv-separator ,", 1,
       "akkusim test: --csv-separator nur zusammen mit --csv\n"},
      {"test add.toml - -", 1, "akkusim test: '-' (Standardeingabe) nur einmal angeben\n"},
      {"test fehlt.toml a.txt", 1, "akkusim test: fehlt.toml: Datei nicht gefunden\n"},
      {"test leer a.txt", 1, "akkusim test: leer: ein Verzeichnis, keine Testdatei\n"},
      {"test add.toml leer", 1, "akkusim test: keine Programmdateien (.txt) gefunden\n"},
      {"test ungueltig.toml a.txt", 2,
       "akkusim test: ungueltig.toml:3:18: Wert 70000 liegt nicht zwischen -32768 und 65535\n"},
      {"test gross.toml a.txt", 2,
       "akkusim test: gross.toml: Testdatei zu groß (mehr als 1 MiB)\n"},
      {"test - -", 1,
       "akkusim test: '-' (Standardeingabe) ist schon die Testdatei; Programme als Dateien oder "
       "Ordner angeben\n"},
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

TEST_F(TestCommandTest, StandardInputCanBeTheTestFile) {
  write("a.txt", kAddRight);

  const ProcessResult passed = run("test - a.txt", kAddTest);
  const ProcessResult invalid = run("test - a.txt", "[[case]]\nname = 1\n");

  EXPECT_EQ(passed.exitCode, 0);
  EXPECT_EQ(passed.out.substr(0, 9), "Addition\n");
  EXPECT_EQ(invalid.exitCode, 2);
  EXPECT_EQ(invalid.err.substr(0, 31), "akkusim test: Standardeingabe:2");
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

// On a terminal the report and the progress line would share one screen:
// the progress line shows only while the report goes elsewhere.
TEST_F(TestCommandTest, OnATerminalTheProgressLineNeverRunsIntoTheReport) {
  std::string report = "Addition\r\n";
  for (int i = 0; i < 25; ++i) {
    const std::string name = "viele/p" + std::to_string(100 + i) + ".txt";
    write(name, kAddRight);
    report += name + ": 2 von 2 Fällen bestanden\r\n";
  }
  report += "Gesamt: 50 von 50 Fällen bestanden; vollständig bestanden: 25 von 25 Programmen\r\n";

  const ProcessResult sameTerminal = runOnTerminal("test add.toml viele");
  const ProcessResult reportToFile = runOnTerminal("test add.toml viele >bericht.txt");

  EXPECT_EQ(sameTerminal.exitCode, 0);
  EXPECT_EQ(sameTerminal.out, report);
  EXPECT_EQ(reportToFile.exitCode, 0);
  EXPECT_NE(reportToFile.out.find("\rgeprüft: 25 von 25"), std::string::npos) << reportToFile.out;
  EXPECT_EQ(reportToFile.out.find("viele/"), std::string::npos);
}

// The page checks one program after the other; whatever the format or
// view, its report and messages are the command line's, byte for byte, and
// so is the exit code.
TEST_F(TestCommandTest, OneAfterTheOtherReportsExactlyWhatAllCoresReport) {
  write("abgaben/Anna/abgabe.txt", kAddRight);
  write("abgaben/Bert/abgabe.txt", kAddWrong);
  write("abgaben/Bert/notizen.md", "keine Abgabe");
  write("abgaben/Carl/abgabe.txt", kFaulty);
  write("einzeln.txt", kEndless);
  write("kaputt.toml", "title = 3\n");
  const std::string work = (folder_ / "work").string();
  const struct {
    std::vector<std::string> options;
    int exitCode;
  } cases[] = {
      {{"add.toml", "abgaben", "einzeln.txt"}, kTestExitSomeFailed},
      {{"add.toml", "abgaben", "--json", "--learner"}, kTestExitSomeFailed},
      {{"add.toml", "abgaben", "einzeln.txt", "--csv", "--csv-separator", ","},
       kTestExitSomeFailed},
      {{"add.toml", "abgaben/Anna"}, kTestExitAllPassed},
      {{"kaputt.toml", "abgaben"}, kTestExitInvalidTestFile},
      {{"add.toml", "leer"}, kTestExitSomeFailed},
      {{"add.toml"}, kTestExitUsage},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.options.front() + " " + c.options.back());
    std::vector<std::string> args{"akkusim", "test"};
    for (const std::string& option : c.options) {
      args.push_back(option.ends_with(".toml") || option.ends_with(".txt") ||
                             option.starts_with("abgaben") || option == "leer"
                         ? work + "/" + option
                         : option);
    }
    std::vector<const char*> argv;
    for (const std::string& arg : args) argv.push_back(arg.c_str());
    const int argc = static_cast<int>(argv.size());
    std::istringstream in;
    std::ostringstream coresOut, coresErr, orderOut, orderErr;

    const int cores = runTestCommand(argc, argv.data(), in, coresOut, coresErr, false);
    const int order =
        runTestCommandWith(argc, argv.data(), in, orderOut, orderErr, false, checkInOrder);

    EXPECT_EQ(cores, c.exitCode);
    EXPECT_EQ(order, c.exitCode);
    EXPECT_EQ(orderOut.str(), coresOut.str());
    EXPECT_EQ(orderErr.str(), coresErr.str());
  }
}

}  // namespace
