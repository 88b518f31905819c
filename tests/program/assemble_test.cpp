#include "program/assemble.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "program/messages.h"
#include "support/program_lines.h"

using namespace akkusim;

namespace {

class Assemble : public ::testing::Test {
 protected:
  std::unique_ptr<MachineState> machine = std::make_unique<MachineState>();
  LineMap lineMap;

  AssembleResult run(const std::vector<std::string>& texts) {
    program = programOf(texts);
    return assembleProgram(program, *machine, lineMap);
  }

  ProgramText program;
};

TEST_F(Assemble, EmptyProgramGivesClearedMachine) {
  machine->memory[9] = 4;
  machine->accumulator = 3;
  machine->pc = 12;
  machine->carry = 1;
  lineMap.lineOfAddress[40] = 7;

  const AssembleResult result = run({""});

  EXPECT_EQ(result.error, AssembleError::None);
  EXPECT_EQ(result.line, 0);
  EXPECT_EQ(assembleErrorLines(result), MessageLines{});
  EXPECT_EQ(machine->memory[9], 0);
  EXPECT_EQ(machine->accumulator, 0);
  EXPECT_EQ(machine->pc, 0);
  EXPECT_EQ(machine->instructionAddress, -2);
  EXPECT_EQ(machine->carry, 0);
  EXPECT_EQ(lineMap.lineOfAddress[40], 0);
}

TEST_F(Assemble, PlacesWordsInLineOrderWithInstructionsAtOddAddresses) {
  const AssembleResult result = run({"a: WORD 1", "load a", "HOLD", "# Ende", "b:", "JMP b"});

  ASSERT_EQ(result.error, AssembleError::None);
  const std::vector<int16_t> words{1, 0x114, 0, 0x63, 0, 0x124, 5, 0};
  for (std::size_t a = 0; a < words.size(); ++a) {
    EXPECT_EQ(machine->memory[a], words[a]) << "address " << a;
  }
  const std::vector<uint16_t> lines{0, 2, 0, 3, 0, 6, 0, 0};
  for (std::size_t a = 0; a < lines.size(); ++a) {
    EXPECT_EQ(lineMap.lineOfAddress[a], lines[a]) << "address " << a;
  }
  EXPECT_EQ(program.lines[1].value, 0) << "the resolved address is kept in the line";
  EXPECT_EQ(program.lines[1].text, "LOAD a");
  EXPECT_EQ(program.lines[5].lineIndex, 5);
}

TEST_F(Assemble, ResolvesForwardBackwardAndDuplicateLabelsToTheFirstDefinition) {
  const AssembleResult result = run({
      "JMP ende",       // 0
      "start:",         //
      "x: WORD 5",      // 2
      "x: WORD 6",      // 3
      "LOAD x",         // 4
      "JMP start",      // 6
      "ende:",          //
      "HOLD",           // 8
      "ende: WORD 9",   // 10, a later duplicate
      "Ende: WORD 10",  // 11, other case, other name
      "JMP Ende",       // 12
  });

  ASSERT_EQ(result.error, AssembleError::None);
  EXPECT_EQ(machine->memory[1], 8);
  EXPECT_EQ(machine->memory[5], 2);
  EXPECT_EQ(machine->memory[7], 2);
  EXPECT_EQ(machine->memory[13], 11);
}

struct ErrorCase {
  std::vector<std::string> lines;
  AssembleError error;
  int32_t line;
  MessageLines message;
};

TEST_F(Assemble, ReportsTheFirstErrorWithItsLineAndLeavesTheMachineAlone) {
  const ErrorCase cases[] = {
      {{"Ende:", "JMP ende"},
       AssembleError::UnknownSymbol,
       2,
       {"Fehlerhafte Variable oder", "Sprungziel in Zeile 2"}},
      {{"foo"}, AssembleError::SyntaxError, 1, {"Fehler in Zeile 1"}},
      // A syntax error anywhere beats an unknown name in an earlier line.
      {{"HOLD", "JMP nirgends", "", "", "", "", "LOAD\t5", "x y z w"},
       AssembleError::SyntaxError,
       7,
       {"Fehler in Zeile 7"}},
      {{"a:", "JMP a", "JMP b", "JMP c"},
       AssembleError::UnknownSymbol,
       3,
       {"Fehlerhafte Variable oder", "Sprungziel in Zeile 3"}},
  };
  for (const ErrorCase& c : cases) {
    SCOPED_TRACE(joinLines(c.message, " "));
    machine->memory.fill(0);
    machine->memory[0] = 0x63;
    machine->memory[3000] = 77;
    machine->accumulator = 5;
    machine->pc = 40;
    lineMap.lineOfAddress[0] = 9;

    const AssembleResult result = run(c.lines);

    EXPECT_EQ(result.error, c.error);
    EXPECT_EQ(result.line, c.line);
    EXPECT_EQ(assembleErrorLines(result), c.message);
    EXPECT_EQ(machine->memory[0], 0x63);
    EXPECT_EQ(machine->memory[3000], 77);
    EXPECT_EQ(machine->accumulator, 5);
    EXPECT_EQ(machine->pc, 40);
    EXPECT_EQ(lineMap.lineOfAddress[0], 9);
  }
}

TEST_F(Assemble, FillsAllMemoryWithTheLastLabelWrappingToZero) {
  // 65,535 lines: 32,768 instructions between comments, the jump's target
  // being the label just past the full memory.
  std::vector<std::string> texts{"JMP ende"};
  for (int k = 1; k < 32767; ++k) {
    texts.push_back("# Schritt " + std::to_string(k));
    texts.push_back("ADDI " + std::to_string(k));
  }
  texts.push_back("SUBI 1");
  texts.push_back("ende:");
  ASSERT_EQ(texts.size(), 65535u);

  const AssembleResult result = run(texts);

  ASSERT_EQ(result.error, AssembleError::None);
  EXPECT_EQ(machine->memory[0], 0x124);
  EXPECT_EQ(machine->memory[1], 0) << "label past the full memory";
  EXPECT_EQ(machine->memory[65532], 0x20A);
  EXPECT_EQ(machine->memory[65533], 32766);
  EXPECT_EQ(machine->memory[65534], 0x20B);
  EXPECT_EQ(machine->memory[65535], 1);
  EXPECT_EQ(lineMap.lineOfAddress[65534], 65534);
  EXPECT_EQ(lineMap.lineOfAddress[2], 3);
  EXPECT_EQ(program.lines[65534].lineIndex, static_cast<int16_t>(65534));
}

TEST_F(Assemble, RejectsTheLineWhoseWordsPassTheMemorySize) {
  struct LimitCase {
    int instructions;
    std::vector<std::string> before;
    std::vector<std::string> after;
    AssembleError error;
    int32_t line;
  };
  const LimitCase cases[] = {
      {32768, {}, {"", "x: WORD 1"}, AssembleError::ProgramTooLong, 32770},
      {32768, {}, {"x:", "# fine"}, AssembleError::None, 0},
      {32767, {"a: WORD 1"}, {"b: WORD 2"}, AssembleError::None, 0},
      {32767, {"a: WORD 1"}, {"HOLD"}, AssembleError::ProgramTooLong, 32769},
  };
  for (const LimitCase& c : cases) {
    std::vector<std::string> texts = c.before;
    texts.insert(texts.end(), static_cast<std::size_t>(c.instructions), "LOAD 1");
    texts.insert(texts.end(), c.after.begin(), c.after.end());
    machine->memory[7] = 7;

    const AssembleResult result = run(texts);

    EXPECT_EQ(result.error, c.error) << "line " << c.line;
    EXPECT_EQ(result.line, c.line);
    if (c.error == AssembleError::ProgramTooLong) {
      EXPECT_EQ(assembleErrorLines(result),
                (MessageLines{"Speicher voll:", "Programm zu lang " + std::to_string(c.line)}));
      EXPECT_EQ(machine->memory[7], 7);
    }
  }
  // The accepted odd layout: the last instruction starts at 65533 and the
  // data word takes the last address.
  EXPECT_EQ(machine->memory[65533], 0x114);
  EXPECT_EQ(machine->memory[65534], 1);
  EXPECT_EQ(machine->memory[65535], 2);
  EXPECT_EQ(lineMap.lineOfAddress[65533], 32768);
}

TEST_F(Assemble, ShorterProgramAfterALongerOneLeavesNoTrace) {
  ASSERT_EQ(run(std::vector<std::string>(500, "LOADI 3")).error, AssembleError::None);
  ASSERT_EQ(lineMap.lineOfAddress[998], 500);

  ASSERT_EQ(run({"", "HOLD"}).error, AssembleError::None);

  EXPECT_EQ(machine->memory[0], 0x63);
  EXPECT_EQ(lineMap.lineOfAddress[0], 2);
  for (std::size_t a = 2; a < 1000; ++a) {
    ASSERT_EQ(machine->memory[a], 0) << "address " << a;
    ASSERT_EQ(lineMap.lineOfAddress[a], 0) << "address " << a;
  }
}

}  // namespace
