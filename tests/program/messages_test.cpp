// The German texts of step outcomes and run ends, and how message lines are
// put on one line.

#include "program/messages.h"

#include <gtest/gtest.h>

#include <string>

using namespace akkusim;

namespace {

TEST(OutcomeMessage, GivesTheGermanTextOfEveryOutcome) {
  EXPECT_EQ(outcomeMessage(StepOutcome::Executed), "");
  EXPECT_EQ(outcomeMessage(StepOutcome::Hold), "Programmende");
  EXPECT_EQ(outcomeMessage(StepOutcome::MemoryOverflow),
            "Fehler: Speicher\xC3\xBC"
            "berlauf");
  EXPECT_EQ(outcomeMessage(StepOutcome::BadShift), "Falscher Operator f\xC3\xBCr SHLI");
  EXPECT_EQ(outcomeMessage(StepOutcome::UnknownInstruction), "Fehler: Unbekannter Befehl");
  EXPECT_EQ(outcomeMessage(StepOutcome::DivisionByZero), "Fehler: Division durch Null");
}


TEST(RunEndText, ErrorsAndHoldSayWhatTheStepSaysAndTheLimitHasOneWord) {
  struct Case {
    RunEnd end;
    std::string text;
  };
  const Case cases[] = {
      {RunEnd::Hold, "Programmende"},
      {RunEnd::MemoryOverflow, "Fehler: Speicher\xC3\xBC"
                               "berlauf"},
      {RunEnd::BadShift, "Falscher Operator f\xC3\xBCr SHLI"},
      {RunEnd::UnknownInstruction, "Fehler: Unbekannter Befehl"},
      {RunEnd::DivisionByZero, "Fehler: Division durch Null"},
      {RunEnd::StepLimit, "Schrittgrenze erreicht"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(runEndText(c.end), c.text);
  }
  EXPECT_EQ(stepLimitText(100000), "Schrittgrenze 100000 erreicht");
}

TEST(JoinLines, PutsTheSeparatorOnlyBetweenLines) {
  EXPECT_EQ(joinLines({}, " "), "");
  EXPECT_EQ(joinLines({"Fehler in Zeile 3"}, " "), "Fehler in Zeile 3");
  EXPECT_EQ(joinLines(loadWarningLines(), "\n"),
            "Achtung: Diese Datei konnte nicht\nvollst\xC3\xA4ndig importiert werden.");
}

}  // namespace
