// The options of `akkusim run`, `asm` and `test` at the ends of their ranges
// and in combination: --max-steps 0, 1 and its largest value, --dump over
// the first, the last and all words, --set at the last address, --trace with
// the step limit and the memory limit, --json with everything, and options
// given twice.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "support/command_runner.h"

using namespace akkusim;

namespace {

struct JsonCase {
  std::string args;
  int exitCode;
  std::string out;  // the whole of standard output
};

class RunOptionsTest : public CommandTest {
 protected:
  void SetUp() override {
    CommandTest::SetUp();
    // Words 0 to 5: 532 5, 522 1, 99 0; HOLD is the third step.
    write("p.txt", "LOADI 5\nADDI 1\nHOLD\n");
    // Jumps to the last instruction place: a NOOP, then the memory limit.
    write("rand.txt", "JMP 65534\n");
  }

  // The case's exit code and whole output, and nothing on standard error.
  void expectOutput(const JsonCase& c) {
    SCOPED_TRACE(c.args);
    const ProcessResult r = run(c.args);
    EXPECT_EQ(r.exitCode, c.exitCode);
    EXPECT_EQ(r.out, c.out);
    EXPECT_EQ(r.err, "");
  }
};

// The machine after 0, 1, 2 and 3 steps of p.txt, as `run --json` ends.
const std::string kNoStep =
    "\"accumulator\":0,\"instruction\":0,\"mnemonic\":\"NOOP\",\"parameter\":0,"
    "\"instructionAddress\":-2,\"pc\":0,\"flags\":{\"C\":0,\"V\":0,\"Z\":0,\"N\":0},"
    "\"steps\":0,\"end\":\"stepLimit\",\"message\":\"\"";
const std::string kOneStep =
    "\"accumulator\":5,\"instruction\":532,\"mnemonic\":\"LOADI\",\"parameter\":5,"
    "\"instructionAddress\":0,\"pc\":2,\"flags\":{\"C\":0,\"V\":0,\"Z\":0,\"N\":0},"
    "\"steps\":1,\"end\":\"stepLimit\",\"message\":\"\"";
const std::string kTwoSteps =
    "\"accumulator\":6,\"instruction\":522,\"mnemonic\":\"ADDI\",\"parameter\":1,"
    "\"instructionAddress\":2,\"pc\":4,\"flags\":{\"C\":0,\"V\":0,\"Z\":0,\"N\":0},"
    "\"steps\":2,\"end\":\"stepLimit\",\"message\":\"\"";
const std::string kHold =
    "\"accumulator\":6,\"instruction\":99,\"mnemonic\":\"HOLD\",\"parameter\":0,"
    "\"instructionAddress\":4,\"pc\":4,\"flags\":{\"C\":0,\"V\":0,\"Z\":0,\"N\":0},"
    "\"steps\":3,\"end\":\"hold\",\"message\":\"Programmende\"";
const std::string kFirstTraced =
    "{\"address\":0,\"mnemonic\":\"LOADI\",\"parameter\":5,\"accumulator\":5,"
    "\"flags\":{\"C\":0,\"V\":0,\"Z\":0,\"N\":0}}";
const std::string kMemoryLimit =
    "\"accumulator\":0,\"instruction\":0,\"mnemonic\":\"NOOP\",\"parameter\":0,"
    "\"instructionAddress\":65534,\"pc\":65536,\"flags\":{\"C\":0,\"V\":0,\"Z\":0,\"N\":0},"
    "\"steps\":2,\"end\":\"memoryOverflow\",\"message\":\"Fehler: Speicher\xC3\xBC"
    "berlauf\"";

TEST_F(RunOptionsTest, OptionsAtTheEndsOfTheirRangesAndTogether) {
  const std::string trace2 = kFirstTraced +
                             ",{\"address\":2,\"mnemonic\":\"ADDI\",\"parameter\":1,"
                             "\"accumulator\":6,\"flags\":{\"C\":0,\"V\":0,\"Z\":0,\"N\":0}}";
  const std::string trace3 = trace2 +
                             ",{\"address\":4,\"mnemonic\":\"HOLD\",\"parameter\":0,"
                             "\"accumulator\":6,\"flags\":{\"C\":0,\"V\":0,\"Z\":0,\"N\":0}}";
  const std::string edgeTrace =
      "{\"address\":0,\"mnemonic\":\"JMP\",\"parameter\":-2,\"accumulator\":0,"
      "\"flags\":{\"C\":0,\"V\":0,\"Z\":0,\"N\":0}},{\"address\":65534,\"mnemonic\":\"NOOP\","
      "\"parameter\":0,\"accumulator\":0,\"flags\":{\"C\":0,\"V\":0,\"Z\":0,\"N\":0}}";
  // clang-format off
  const std::vector<JsonCase> cases = {
      // The step limit: none, one, one short of HOLD, exactly HOLD, the largest.
      {"run p.txt --json --max-steps 0", 4, "{" + kNoStep + "}\n"},
      {"run p.txt --json --max-steps 1", 4, "{" + kOneStep + "}\n"},
      {"run p.txt --json --max-steps 2", 4, "{" + kTwoSteps + "}\n"},
      {"run p.txt --json --max-steps 3", 0, "{" + kHold + "}\n"},
      {"run p.txt --json --max-steps 9223372036854775807", 0, "{" + kHold + "}\n"},
      {"run p.txt --json --max-steps 007", 0, "{" + kHold + "}\n"},
      // The trace stops where the run without it stops.
      {"run p.txt --json --trace --max-steps 0", 4, "{\"trace\":[]," + kNoStep + "}\n"},
      {"run p.txt --json --trace --max-steps 1", 4, "{\"trace\":[" + kFirstTraced + "]," + kOneStep + "}\n"},
      {"run p.txt --json --trace --max-steps 2", 4, "{\"trace\":[" + trace2 + "]," + kTwoSteps + "}\n"},
      {"run p.txt --json --trace --max-steps 3", 0, "{\"trace\":[" + trace3 + "]," + kHold + "}\n"},
      // The memory limit fetches nothing: no trace line, no step.
      {"run rand.txt --json", 3, "{" + kMemoryLimit + "}\n"},
      {"run rand.txt --json --trace", 3, "{\"trace\":[" + edgeTrace + "]," + kMemoryLimit + "}\n"},
      {"run rand.txt --json --trace --max-steps 2", 4,
       "{\"trace\":[" + edgeTrace + "],\"accumulator\":0,\"instruction\":0,\"mnemonic\":\"NOOP\","
       "\"parameter\":0,\"instructionAddress\":65534,\"pc\":65536,"
       "\"flags\":{\"C\":0,\"V\":0,\"Z\":0,\"N\":0},\"steps\":2,\"end\":\"stepLimit\",\"message\":\"\"}\n"},
      // The dump's first and last word, and all of them with everything else.
      {"run p.txt --json --dump 0-0", 0, "{" + kHold + ",\"memory\":{\"from\":0,\"words\":[532]}}\n"},
      {"run p.txt --json --dump 65535-65535 --set 65535=-1", 0,
       "{" + kHold + ",\"memory\":{\"from\":65535,\"words\":[-1]}}\n"},
      {"run p.txt --json --dump 65534-65535 --set 65534=7,-32768", 0,
       "{" + kHold + ",\"memory\":{\"from\":65534,\"words\":[7,-32768]}}\n"},
      {"run p.txt --trace --json --max-steps 1 --dump 65535-65535", 4,
       "{\"trace\":[" + kFirstTraced + "]," + kOneStep + ",\"memory\":{\"from\":65535,\"words\":[0]}}\n"},
      // Options before the file, and a step limit given twice: the later counts.
      {"run --json --max-steps 1 p.txt", 4, "{" + kOneStep + "}\n"},
      {"run p.txt --json --max-steps 1 --max-steps 0", 4, "{" + kNoStep + "}\n"},
      {"run p.txt --json --max-steps 0 --max-steps 3", 0, "{" + kHold + "}\n"},
      {"run p.txt --json --json --trace --trace --max-steps 1", 4,
       "{\"trace\":[" + kFirstTraced + "]," + kOneStep + "}\n"},
      {"run p.txt --set 1=7 --set 2=99 --json --max-steps 1", 4,
       "{\"accumulator\":7,\"instruction\":532,\"mnemonic\":\"LOADI\",\"parameter\":7,"
       "\"instructionAddress\":0,\"pc\":2,\"flags\":{\"C\":0,\"V\":0,\"Z\":0,\"N\":0},"
       "\"steps\":1,\"end\":\"stepLimit\",\"message\":\"\"}\n"},
  };
  // clang-format on
  for (const JsonCase& c : cases) expectOutput(c);
}

TEST_F(RunOptionsTest, TextOutputWithoutStepsAndWithTheTrace) {
  const std::string noStep =
      "Akkumulator:       0\n"
      "Befehl:         NOOP\n"
      "Parameter:         -\n"
      "Befehlsz\xC3\xA4hler:     -\n"
      "C (Carry):         0\n"
      "V (Overflow):      0\n"
      "Z (Zero):          0\n"
      "N (Negative):      0\n"
      "Schritte:          0\n"
      "Ende:         Schrittgrenze erreicht\n";
  const std::string oneStep =
      "Akkumulator:       5\n"
      "Befehl:        LOADI\n"
      "Parameter:         5\n"
      "Befehlsz\xC3\xA4hler:     0\n"
      "C (Carry):         0\n"
      "V (Overflow):      0\n"
      "Z (Zero):          0\n"
      "N (Negative):      0\n"
      "Schritte:          1\n"
      "Ende:         Schrittgrenze erreicht\n";
  const std::string memoryLimitEnd =
      "Schritte:          2\n"
      "Ende:         Fehler: Speicher\xC3\xBC"
      "berlauf\n";
  struct TextCase {
    std::string args;
    int exitCode;
    std::string out;
  };
  const std::vector<TextCase> cases = {
      {"run p.txt --max-steps 0", 4, noStep},
      {"run p.txt --max-steps 0 --trace", 4, noStep},
      {"run p.txt --trace --max-steps 1", 4,
       "    0  LOADI       5  Akkumulator:      5  C=0 V=0 Z=0 N=0\n" + oneStep},
      {"run p.txt --max-steps 0 --dump 0-2", 4,
       noStep + "Speicher 0-2:\n     0:    532      5    522\n"},
  };
  for (const TextCase& c : cases) {
    SCOPED_TRACE(c.args);
    const ProcessResult r = run(c.args);
    EXPECT_EQ(r.exitCode, c.exitCode);
    EXPECT_EQ(r.out, c.out);
  }

  const ProcessResult limit = run("run rand.txt --trace");
  EXPECT_EQ(limit.exitCode, 3);
  EXPECT_EQ(limit.out.substr(0, limit.out.find("Akkumulator:       0\n")),
            "    0  JMP        -2  Akkumulator:      0  C=0 V=0 Z=0 N=0\n"
            "65534  NOOP        -  Akkumulator:      0  C=0 V=0 Z=0 N=0\n");
  EXPECT_NE(limit.out.find(memoryLimitEnd), std::string::npos) << limit.out;
}

TEST_F(RunOptionsTest, DumpOfTheWholeMemory) {
  const ProcessResult json = run("run p.txt --json --dump 0-65535");
  EXPECT_EQ(json.exitCode, 0);
  const std::size_t words = json.out.find(",\"memory\":{\"from\":0,\"words\":[532,5,522,1,99,0,0,");
  ASSERT_NE(words, std::string::npos) << json.out.substr(0, 300);
  const auto list = json.out.begin() + static_cast<std::ptrdiff_t>(json.out.find('[', words));
  EXPECT_EQ(std::count(list, json.out.end(), ','), 65535) << "65536 words";
  EXPECT_TRUE(json.out.ends_with(",0,0]}}\n"));

  const ProcessResult text = run("run p.txt --dump 0-65535");
  EXPECT_EQ(text.exitCode, 0);
  EXPECT_EQ(std::count(text.out.begin(), text.out.end(), '\n'), 10 + 1 + 6554) << "ten a row";
  EXPECT_TRUE(text.out.ends_with("\n 65530:      0      0      0      0      0      0\n"));
}

struct Refused {
  std::string args;
  std::string err;  // the whole of standard error
};

TEST_F(RunOptionsTest, ValuesOutsideTheRangesAreRefused) {
  const std::string dump =
      "akkusim run: --dump erwartet VON-BIS mit 0 <= VON <= BIS <= 65535, nicht '";
  const std::string steps = "akkusim run: --max-steps erwartet eine ganze Zahl ab 0, nicht '";
  const std::string unknown = "' (siehe akkusim --help)\n";
  // clang-format off
  const std::vector<Refused> cases = {
      {"run p.txt --dump 65536-65536", dump + "65536-65536'\n"},
      {"run p.txt --dump 0-65536", dump + "0-65536'\n"},
      {"run p.txt --dump 3-2", dump + "3-2'\n"},
      {"run p.txt --dump 5-", dump + "5-'\n"},
      {"run p.txt --dump -5", dump + "-5'\n"},
      {"run p.txt --dump 1-2-3", dump + "1-2-3'\n"},
      {"run p.txt --dump ' 1-2'", dump + " 1-2'\n"},
      // As in a test file: one dump, and no word given twice.
      {"run p.txt --dump 0-0 --dump 4-5", "akkusim run: --dump nur einmal angeben\n"},
      {"run p.txt --set 1=7 --set 1=8", "akkusim run: --set: Adresse 1 ist mehrfach angegeben\n"},
      {"run p.txt --set 100=1,2,3 --set 90=0 --set 102=5",
       "akkusim run: --set: Adresse 102 ist mehrfach angegeben\n"},
      {"run p.txt --set 5=1 --set 0=1,2,3,4,5,6", "akkusim run: --set: Adresse 5 ist mehrfach angegeben\n"},
      {"run p.txt --max-steps 9223372036854775808", steps + "9223372036854775808'\n"},
      {"run p.txt --max-steps 18446744073709551616", steps + "18446744073709551616'\n"},
      {"run p.txt --max-steps +5", steps + "+5'\n"},
      {"run p.txt --max-steps ''", steps + "'\n"},
      {"run p.txt --max-steps 1 --dump", "akkusim run: --dump erwartet einen Wert\n"},
      {"run p.txt --set 65534=1,2,3", "akkusim run: --set erwartet ADRESSE=WERT[,WERT...] mit Adresse 0 bis 65535 "
                                      "und Werten von -32768 bis 65535 (nicht \xC3\xBC" "ber 65535 hinaus), nicht '65534=1,2,3'\n"},
      {"asm p.txt --dump 0-1", "akkusim asm: unbekannte Option '--dump" + unknown},
      {"asm --max-steps 1 p.txt", "akkusim asm: unbekannte Option '--max-steps" + unknown},
      {"asm p.txt --set 0=1", "akkusim asm: unbekannte Option '--set" + unknown},
      {"test t.toml p.txt --csv --json", "akkusim test: --json und --csv schlie\xC3\x9F" "en sich aus\n"},
      {"test t.toml p.txt --trace", "akkusim test: unbekannte Option '--trace" + unknown},
  };
  // clang-format on
  for (const Refused& c : cases) {
    SCOPED_TRACE(c.args);
    const ProcessResult r = run(c.args);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, c.err);
  }
}

TEST_F(RunOptionsTest, AsmAndTestTakeTheirFormatOptionsAnywhereAndTwice) {
  write("t.toml", "[[case]]\nname = \"sechs\"\nexpect.accumulator = 6\n");
  const std::string image =
      "{\"size\":6,\"words\":["
      "{\"address\":0,\"word\":532,\"hex\":\"0x0214\",\"line\":1,\"mnemonic\":\"LOADI\"},"
      "{\"address\":1,\"word\":5,\"hex\":\"0x0005\"},"
      "{\"address\":2,\"word\":522,\"hex\":\"0x020A\",\"line\":2,\"mnemonic\":\"ADDI\"},"
      "{\"address\":3,\"word\":1,\"hex\":\"0x0001\"},"
      "{\"address\":4,\"word\":99,\"hex\":\"0x0063\",\"line\":3,\"mnemonic\":\"HOLD\"},"
      "{\"address\":5,\"word\":0,\"hex\":\"0x0000\"}]}\n";
  const std::string csv =
      "\xEF\xBB\xBFName;Datei;Punkte;Maximum;bestandene F\xC3\xA4lle;sechs;Grund\r\n"
      "p;p.txt;1;1;1;1;\r\n";
  const std::vector<JsonCase> cases = {
      {"asm --json p.txt", 0, image},
      {"asm p.txt --json --json", 0, image},
      {"test t.toml p.txt --csv --csv", 0, csv},
      {"test --csv t.toml p.txt", 0, csv},
      {"test t.toml --json p.txt --json", 0,
       "{\"title\":\"\",\"programs\":[{\"file\":\"p.txt\",\"passed\":1,\"total\":1,\"points\":1,"
       "\"maxPoints\":1,\"cases\":[{\"name\":\"sechs\",\"passed\":true,\"points\":1,"
       "\"end\":\"hold\",\"steps\":3,\"differences\":[]}]}]}\n"},
  };
  for (const JsonCase& c : cases) expectOutput(c);
}

}  // namespace
