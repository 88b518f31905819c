#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/command_runner.h"

using namespace akkusim;

namespace fs = std::filesystem;

namespace {

struct Assignment {
  const char* name;
  // The line the deliberately wrong solution must get, and its score.
  const char* wrongScore;
  const char* wrongLine;
};

void PrintTo(const Assignment& a, std::ostream* out) {
  *out << a.name;
}

class AssignmentFolderTest : public CommandTest {
 protected:
  static std::string source(const std::string& path) {
    return shellQuoted(std::string(AKKUSIM_SOURCE_DIR) + "/" + path);
  }
};

class AssignmentTest : public AssignmentFolderTest,
                       public testing::WithParamInterface<Assignment> {};

TEST_P(AssignmentTest, ReferencePassesAndTheWrongSolutionFailsWithItsMessage) {
  const Assignment& a = GetParam();
  const std::string folder = std::string("Aufgaben/") + a.name;
  ASSERT_TRUE(fs::exists(fs::path(AKKUSIM_SOURCE_DIR) / folder / "aufgabe.md"));
  // Shipped beside the executable, like the example programs.
  ASSERT_TRUE(fs::exists(fs::path(AKKUSIM_EXE).parent_path() / folder / "test.toml"));

  const ProcessResult reference =
      run("test " + source(folder + "/test.toml") + " " + source(folder + "/loesung.txt"));
  EXPECT_EQ(reference.exitCode, 0) << reference.out;
  EXPECT_EQ(reference.err, "");
  // No failed case and no load warning: every line is a score, the title or the total.
  EXPECT_EQ(reference.out.find("\n  "), std::string::npos) << reference.out;

  const ProcessResult wrong = run("test " + source(folder + "/test.toml") + " " +
                                  source(std::string("tests/grader/falsch/") + a.name + ".txt"));
  EXPECT_EQ(wrong.exitCode, 5);
  EXPECT_NE(wrong.out.find(std::string(a.name) + ".txt: " + a.wrongScore + "\n"), std::string::npos)
      << wrong.out;
  EXPECT_NE(wrong.out.find(std::string("\n  ") + a.wrongLine + "\n"), std::string::npos)
      << wrong.out;
}

// The assignment that forbids multiplying: the one-line answer with MUL gets nothing.
TEST_F(AssignmentFolderTest, MultiplyingWithMulIsRefusedInEveryCase) {
  write("mit_mul.txt", "LOAD 100\nMUL 101\nSTORE 102\nHOLD\n");

  const ProcessResult r =
      run("test " + source("Aufgaben/multiplizieren/test.toml") + " mit_mul.txt");

  EXPECT_EQ(r.exitCode, 5);
  EXPECT_NE(r.out.find("mit_mul.txt: 0 von 4 Fällen bestanden, 0 von 6 Punkten\n"
                       "  Befehl MUL ist in dieser Aufgabe nicht erlaubt (Zeile 2)\n"),
            std::string::npos)
      << r.out;
}

INSTANTIATE_TEST_SUITE_P(
    Shipped, AssignmentTest,
    testing::Values(
        Assignment{"summe", "2 von 4 Fällen bestanden",
                   "Fall 'zehn Einsen': Speicher[110] erwartet 10, erhalten 9"},
        Assignment{"maximum", "3 von 5 Fällen bestanden",
                   "Fall 'gemischt': Speicher[110] erwartet 12, erhalten -1"},
        Assignment{"fakultaet", "3 von 4 Fällen bestanden",
                   "Fall 'n = 0': Schrittgrenze 10000 erreicht; Speicher[101] erwartet 1, "
                   "erhalten 0"},
        Assignment{"teilen", "2 von 3 Fällen bestanden",
                   "Fall 'durch null': Fehler: Division durch Null bei Adresse 2; Speicher[102] "
                   "erwartet 0, "
                   "erhalten 9; Speicher[103] erwartet 0, erhalten 9; 2 weitere Abweichungen"},
        Assignment{"multiplizieren", "3 von 4 Fällen bestanden, 5 von 6 Punkten",
                   "Fall '7 mal 0': Schrittgrenze 2000 erreicht; Speicher[102] erwartet 0, "
                   "erhalten 1995\n"
                   "    Tipp: Bei b = 0 darf die Schleife gar nicht laufen: prüfe b, bevor du "
                   "addierst."}),
    [](const testing::TestParamInfo<Assignment>& info) { return std::string(info.param.name); });

}  // namespace
