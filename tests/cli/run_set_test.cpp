#include <gtest/gtest.h>

#include <string>

#include "support/command_runner.h"

using namespace akkusim;

namespace {

class RunSetTest : public CommandTest {};

TEST_F(RunSetTest, WordsAreWrittenAfterAssemblingInTheOrderGiven) {
  write("add.txt", "LOAD 100\nADD 101\nSTORE 102\nHOLD\n");
  write("hold.txt", "HOLD\n");
  struct Case {
    const char* args;
    const char* expected;  // a part of the JSON result
  };
  const Case cases[] = {
      {"run add.txt --set 100=5,-1 --dump 100-102 --json",
       "\"memory\":{\"from\":100,\"words\":[5,-1,4]}"},
      {"run add.txt --set 101=65535 --set 100=40000 --dump 100-102 --json",
       "\"words\":[-25536,-1,-25537]"},
      // Over the program itself: LOADI 7 at 0, HOLD at 2.
      {"run hold.txt --set 0=532,7,99 --json", "\"accumulator\":7"},
      {"run hold.txt --set 65535=-32768 --dump 65535-65535 --json", "\"words\":[-32768]"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args);
    const ProcessResult r = run(c.args);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find(c.expected), std::string::npos) << r.out;
  }
}

TEST_F(RunSetTest, WordsBreakingTheRulesAreAUsageError) {
  write("hold.txt", "HOLD\n");
  const char* const bad[] = {"65535=1,2", "100=70000", "100=-32769", "70000=1",
                             "100",       "100=1,,2",  "x=1",        "100=0x10"};
  for (const char* words : bad) {
    SCOPED_TRACE(words);
    const ProcessResult r = run(std::string("run hold.txt --set ") + words);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err,
              "akkusim run: --set erwartet ADRESSE=WERT[,WERT...] mit Adresse 0 bis 65535 "
              "und Werten von -32768 bis 65535 (nicht über 65535 hinaus), nicht '" +
                  std::string(words) + "'\n");
  }
  EXPECT_EQ(run("run hold.txt --set").err, "akkusim run: --set erwartet einen Wert\n");
}

}  // namespace
