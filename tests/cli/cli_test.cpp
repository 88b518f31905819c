#include "cli/cli.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "support/command_runner.h"
#include "support/unprivileged.h"

using namespace akkusim;

namespace fs = std::filesystem;

namespace {

int lineCount(const std::string& text) {
  return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

class CliTest : public CommandTest {
 protected:
  // The program written to `name`, as a shell word for the command line.
  std::string file(const std::string& name, const std::string& program) {
    return shellQuoted(write(name, program).string());
  }
};

const char* const kSum =
    "# Summe 1 bis 10\r\n"
    "    LOADI 10\r\n"
    "    STORE i\r\n"
    "schleife:\r\n"
    "    LOAD summe\r\n"
    "    ADD i\r\n"
    "    STORE summe\r\n"
    "    LOAD i\r\n"
    "    SUBI 1\r\n"
    "    STORE i\r\n"
    "    JMPNZ schleife\r\n"
    "    LOAD summe\r\n"
    "    HOLD\r\n"
    "i: WORD 0\r\n"
    "summe: WORD 0\r\n";

TEST_F(CliTest, RunPrintsTheFinalStateLikeTheRegisterPanel) {
  const ProcessResult r = run("run " + file("summe.txt", kSum));

  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out,
            "Akkumulator:      55\n"
            "Befehl:         HOLD\n"
            "Parameter:         -\n"
            "Befehlsz\xC3\xA4hler:    20\n"
            "C (Carry):         0\n"
            "V (Overflow):      0\n"
            "Z (Zero):          0\n"
            "N (Negative):      0\n"
            "Schritte:         74\n"
            "Ende:         Programmende\n");
}

TEST_F(CliTest, RunJsonGivesEveryFieldAndTheDumpedWords) {
  const ProcessResult r = run("run --json --dump 22-23 " + file("summe.txt", kSum));

  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.out,
            "{\"accumulator\":55,\"instruction\":99,\"mnemonic\":\"HOLD\",\"parameter\":0,"
            "\"instructionAddress\":20,\"pc\":20,\"flags\":{\"C\":0,\"V\":0,\"Z\":0,\"N\":0},"
            "\"steps\":74,\"end\":\"hold\",\"message\":\"Programmende\","
            "\"memory\":{\"from\":22,\"words\":[0,55]}}\n");
}

TEST_F(CliTest, RunTextDumpShowsTenWordsPerRow) {
  const ProcessResult r = run("run --dump 0-11 " + file("summe.txt", kSum));

  EXPECT_NE(r.out.find("Speicher 0-11:\n"
                       "     0:    532     10    277     22    276     23    266     22    277"
                       "     23\n"
                       "    10:    276     22\n"),
            std::string::npos)
      << r.out;
}

TEST_F(CliTest, ParameterShowsTheSignedValueOnlyForInstructionsWithOperand) {
  const ProcessResult withOperand = run("run --max-steps 1 " + file("a.txt", "LOADI -3\nHOLD\n"));
  EXPECT_NE(withOperand.out.find("Parameter:        -3\n"), std::string::npos) << withOperand.out;
  EXPECT_NE(withOperand.out.find("Akkumulator:      -3\n"), std::string::npos);

  const ProcessResult unknown = run("run " + file("b.txt", "x: WORD 295\ny: WORD 7\n"));
  EXPECT_NE(unknown.out.find("Befehl:        ERROR\nParameter:         -\n"), std::string::npos)
      << unknown.out;
}

struct EndCase {
  const char* name;
  const char* program;
  const char* options;
  int exitCode;
  const char* expected;  // part of the JSON output
};

TEST_F(CliTest, ExitCodeAndEndTellHowTheRunEnded) {
  // clang-format off
  const std::vector<EndCase> cases = {
      {"hold", "LOADI 1\nHOLD\n", "", 0, "\"steps\":2,\"end\":\"hold\",\"message\":\"Programmende\""},
      {"memory limit", "NOOP\n", "", 3,
       "\"instructionAddress\":65534,\"pc\":65536,\"flags\":{\"C\":0,\"V\":0,\"Z\":0,\"N\":0},"
       "\"steps\":32768,\"end\":\"memoryOverflow\",\"message\":\"Fehler: Speicher\xC3\xBC" "berlauf\""},
      {"bad shift", "LOADI 1\nSHLI -1\n", "", 3,
       "\"accumulator\":1,\"instruction\":565,\"mnemonic\":\"SHLI\",\"parameter\":-1,"
       "\"instructionAddress\":2,\"pc\":4,\"flags\":{\"C\":0,\"V\":0,\"Z\":0,\"N\":0},\"steps\":2,"
       "\"end\":\"badShift\",\"message\":\"Falscher Operator f\xC3\xBCr SHLI\""},
      {"unknown instruction", "x: WORD -1\ny: WORD 0\n", "", 3,
       "\"instruction\":-1,\"mnemonic\":\"ERROR\",\"parameter\":0,\"instructionAddress\":0,"
       "\"pc\":2,\"flags\":{\"C\":0,\"V\":0,\"Z\":0,\"N\":0},\"steps\":1,"
       "\"end\":\"unknownInstruction\",\"message\":\"Fehler: Unbekannter Befehl\""},
      {"division by zero", "LOADI 7\nDIVI 0\n", "", 3,
       "\"accumulator\":7,\"instruction\":525,\"mnemonic\":\"DIVI\",\"parameter\":0,"
       "\"instructionAddress\":2,\"pc\":4,\"flags\":{\"C\":0,\"V\":0,\"Z\":0,\"N\":0},\"steps\":2,"
       "\"end\":\"divisionByZero\",\"message\":\"Fehler: Division durch Null\""},
      {"step limit", "l: WORD 0\nJMP l\n", "--max-steps 10", 4,
       "\"steps\":10,\"end\":\"stepLimit\",\"message\":\"\"}"},
      {"no step at all", "HOLD\n", "--max-steps 0", 4,
       "\"instructionAddress\":-2,\"pc\":0,\"flags\":{\"C\":0,\"V\":0,\"Z\":0,\"N\":0},"
       "\"steps\":0,\"end\":\"stepLimit\""},
  };
  // clang-format on
  for (const EndCase& c : cases) {
    SCOPED_TRACE(c.name);
    const ProcessResult r =
        run(std::string("run --json ") + c.options + " " + file("p.txt", c.program));
    EXPECT_EQ(r.exitCode, c.exitCode);
    EXPECT_NE(r.out.find(c.expected), std::string::npos) << r.out;
    EXPECT_EQ(lineCount(r.out), 1);
  }
}

TEST_F(CliTest, DefaultStepLimitIsTenMillion) {
  const ProcessResult r = run("run --json " + file("endlos.txt", "schleife:\nJMP schleife\n"));

  EXPECT_EQ(r.exitCode, 4);
  EXPECT_NE(r.out.find("\"steps\":10000000,\"end\":\"stepLimit\""), std::string::npos) << r.out;
}

TEST_F(CliTest, TracePrintsOneLinePerStepBeforeTheFinalState) {
  const ProcessResult text = run("run --trace " + file("p.txt", "LOADI 3\nSHLI 15\nHOLD\n"));

  EXPECT_EQ(text.exitCode, 0);
  EXPECT_EQ(text.out.substr(0, text.out.find("\nAkkumulator:") + 1),
            "    0  LOADI       3  Akkumulator:      3  C=0 V=0 Z=0 N=0\n"
            "    2  SHLI       15  Akkumulator: -32768  C=1 V=0 Z=0 N=1\n"
            "    4  HOLD        -  Akkumulator: -32768  C=1 V=0 Z=0 N=1\n");

  const ProcessResult json = run("run --trace --json " + file("p.txt", "LOADI 3\nHOLD\n"));
  EXPECT_EQ(json.out.substr(0, json.out.find("],")),
            "{\"trace\":[{\"address\":0,\"mnemonic\":\"LOADI\",\"parameter\":3,\"accumulator\":3,"
            "\"flags\":{\"C\":0,\"V\":0,\"Z\":0,\"N\":0}},{\"address\":2,\"mnemonic\":\"HOLD\","
            "\"parameter\":0,\"accumulator\":3,\"flags\":{\"C\":0,\"V\":0,\"Z\":0,\"N\":0}}");
  EXPECT_NE(json.out.find("],\"accumulator\":3,"), std::string::npos);
}

TEST_F(CliTest, AssemblyErrorPrintsTheMessageWithRealLineBreaks) {
  const ProcessResult unknownName = run("run " + file("p.txt", "JMP ende\nEnde:\n"));
  EXPECT_EQ(unknownName.exitCode, 2);
  EXPECT_EQ(unknownName.out, "");
  EXPECT_EQ(unknownName.err, "Fehlerhafte Variable oder\nSprungziel in Zeile 1\n");

  const ProcessResult syntax = run("asm " + file("q.txt", "LOADI 1\nloop: ADD 5\n"));
  EXPECT_EQ(syntax.exitCode, 2);
  EXPECT_EQ(syntax.err, "Fehler in Zeile 2\n");
}

TEST_F(CliTest, AsmPrintsTheImageWithLineAndMnemonicOfEachInstruction) {
  const std::string program = "a: WORD 1\nLOAD a\n# Ende\nHOLD\n";

  const ProcessResult text = run("asm " + file("p.txt", program));
  EXPECT_EQ(text.exitCode, 0);
  EXPECT_EQ(text.out,
            "    0       1  0x0001  Zeile     1  WORD\n"
            "    1     276  0x0114  Zeile     2  LOAD\n"
            "    2       0  0x0000\n"
            "    3      99  0x0063  Zeile     4  HOLD\n"
            "    4       0  0x0000\n");

  const ProcessResult json = run("asm --json " + file("p.txt", program));
  EXPECT_EQ(json.exitCode, 0);
  EXPECT_EQ(json.out,
            "{\"size\":5,\"words\":["
            "{\"address\":0,\"word\":1,\"hex\":\"0x0001\",\"line\":1,\"mnemonic\":\"WORD\"},"
            "{\"address\":1,\"word\":276,\"hex\":\"0x0114\",\"line\":2,\"mnemonic\":\"LOAD\"},"
            "{\"address\":2,\"word\":0,\"hex\":\"0x0000\"},"
            "{\"address\":3,\"word\":99,\"hex\":\"0x0063\",\"line\":4,\"mnemonic\":\"HOLD\"},"
            "{\"address\":4,\"word\":0,\"hex\":\"0x0000\"}]}\n");
}

TEST_F(CliTest, DashReadsTheProgramFromStandardInput) {
  const ProcessResult r = run("run --json -", "LOADI 42\r\nHOLD");

  EXPECT_EQ(r.exitCode, 0);
  EXPECT_NE(r.out.find("\"accumulator\":42,"), std::string::npos) << r.out;
}

// Notepad and many editors start a UTF-8 file with a byte order mark.
TEST_F(CliTest, EveryCommandSkipsAByteOrderMark) {
  const std::string program = "\xEF\xBB\xBFLOADI 42\r\nHOLD\r\n";
  const std::string path = file("bom.txt", program);
  write("t.toml", "[[case]]\nname = \"a\"\nexpect.accumulator = 42\n");

  const ProcessResult ran = run("run --json " + path);
  const ProcessResult fromStdin = run("run --json -", program);
  const ProcessResult assembled = run("asm " + path);
  const ProcessResult tested = run("test t.toml " + path);

  EXPECT_EQ(ran.exitCode, 0);
  EXPECT_NE(ran.out.find("\"accumulator\":42,"), std::string::npos) << ran.out;
  EXPECT_EQ(fromStdin.out, ran.out);
  EXPECT_EQ(assembled.exitCode, 0) << assembled.err;
  EXPECT_EQ(tested.exitCode, 0) << tested.out;
}

TEST_F(CliTest, IncompleteLoadWarnsAndRunsAnyway) {
  const ProcessResult r =
      run("run --json " + file("p.txt", "LOADI 5 # " + std::string(40, 'x') + "\nHOLD\n"));

  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.err, "Achtung: Diese Datei konnte nicht\nvollst\xC3\xA4ndig importiert werden.\n");
  EXPECT_NE(r.out.find("\"accumulator\":5,"), std::string::npos);
}

struct BadInput {
  const char* name;
  std::string args;
  const char* message;
};

TEST_F(CliTest, BadInputGivesOneClearLineAndExitCodeOne) {
  const std::string ok = file("ok.txt", "HOLD\n");
  // clang-format off
  const std::vector<BadInput> cases = {
      {"missing file", "run " + shellQuoted((folder_ / "fehlt.txt").string()), "Datei nicht gefunden"},
      {"directory", "run " + shellQuoted(folder_.string()), "ein Verzeichnis, keine Programmdatei"},
      {"empty file", "run " + file("leer.txt", ""), "leere Datei"},
      {"empty stdin", "run -", "Standardeingabe: leere Datei"},
      {"binary file", "asm " + file("bin.txt", std::string("HOLD\n\0\x01\x02", 8)), "keine Textdatei"},
      {"huge file", "run " + file("gross.txt", std::string(17u << 20, 'a')), "zu gro\xC3\x9F"},
      {"negative step limit", "run " + ok + " --max-steps -5", "--max-steps erwartet eine ganze Zahl ab 0, nicht '-5'"},
      {"step limit not a number", "run " + ok + " --max-steps 1e6", "--max-steps erwartet"},
      {"step limit missing", "run " + ok + " --max-steps", "--max-steps erwartet einen Wert"},
      {"dump reversed", "run " + ok + " --dump 9-2", "--dump erwartet VON-BIS mit 0 <= VON <= BIS <= 65535, nicht '9-2'"},
      {"dump beyond memory", "run " + ok + " --dump 0-70000", "nicht '0-70000'"},
      {"dump without dash", "run " + ok + " --dump 7", "--dump erwartet"},
      {"no file", "run --json", "Programmdatei fehlt"},
      {"two files", "run " + ok + " " + ok, "nur eine Programmdatei"},
      {"unknown option", "run " + ok + " --schnell", "unbekannte Option '--schnell'"},
      {"run option for asm", "asm " + ok + " --trace", "unbekannte Option '--trace'"},
  };
  // clang-format on
  for (const BadInput& c : cases) {
    SCOPED_TRACE(c.name);
    const ProcessResult r = run(c.args);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(lineCount(r.err), 1) << r.err;
    EXPECT_EQ(r.err.rfind("akkusim", 0), 0u) << r.err;
    EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
  }
}

// Root reads every file: the command runs in a child that is nobody then.
// It is the command of the executable, called in that child, since the
// executable itself may lie where nobody cannot reach it.
TEST_F(CliTest, UnreadableFileIsReported) {
  const fs::path path = write("geheim.txt", "HOLD\n");
  ASSERT_TRUE(handToUnprivilegedUser(path));
  fs::permissions(path, fs::perms::none);
  const std::string name = path.string();

  const ChildResult r = runUnprivileged([&name](std::string& report) {
    const char* const argv[] = {"akkusim", "run", name.c_str()};
    std::istringstream in;
    std::ostringstream out;
    std::ostringstream err;
    const int code = runCli(3, argv, in, out, err);
    report = out.str() + err.str();
    return code;
  });

  EXPECT_EQ(r.exitCode, 1) << r.report;
  EXPECT_NE(r.report.find("nicht lesbar (keine Berechtigung)"), std::string::npos) << r.report;
}

// A report that never reached its file must not pass for one that did: a
// script would hand on an empty grade book.
TEST_F(CliTest, OutputThatCannotBeWrittenGivesALineAndExitCodeOne) {
  const std::string program = file("summe.txt", kSum);
  write("summe.toml", "[[case]]\nname = \"summe\"\nexpect.accumulator = 55\n");

  for (const std::string& args : {"run " + program, "run --json --trace " + program,
                                  "asm " + program, "test summe.toml " + program,
                                  "test summe.toml " + program + " --csv", std::string("--help")}) {
    const ProcessResult r = runOntoFullDisk(args);
    EXPECT_EQ(r.exitCode, 1) << args;
    EXPECT_EQ(r.err, "akkusim: die Ausgabe konnte nicht geschrieben werden\n") << args;
  }
}

TEST_F(CliTest, HelpAndVersion) {
  const ProcessResult help = run("--help");
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_NE(help.out.find("akkusim run DATEI"), std::string::npos);
  EXPECT_NE(help.out.find("--max-steps N"), std::string::npos);

  const ProcessResult version = run("--version");
  EXPECT_EQ(version.exitCode, 0);
  EXPECT_EQ(version.out, "akkusim " AKKUSIM_VERSION "\n");
  EXPECT_EQ(version.err, "");
}

TEST(IsCliInvocation, OnlyTheHeadlessCommandsLeaveTheWindowClosed) {
  struct Case {
    std::vector<const char*> argv;
    bool headless;
  };
  const std::vector<Case> cases = {
      {{"akkusim"}, false},
      {{"akkusim", "--scale", "2"}, false},
      {{"akkusim", "run", "x.txt"}, true},
      {{"akkusim", "asm"}, true},
      {{"akkusim", "--help"}, true},
      {{"akkusim", "-h"}, true},
      {{"akkusim", "--version"}, true},
      {{"akkusim", "Run"}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.argv.size() > 1 ? c.argv[1] : "(none)");
    EXPECT_EQ(isCliInvocation(static_cast<int>(c.argv.size()), c.argv.data()), c.headless);
  }
}

}  // namespace
