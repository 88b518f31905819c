#include "program/messages.h"

#include <optional>

namespace akkusim {

namespace {

// The one word for the step limit, with the limit's number where known.
std::string stepLimitWords(std::optional<int64_t> maxSteps) {
  const std::string limit = maxSteps ? " " + std::to_string(*maxSteps) : std::string();
  return "Schrittgrenze" + limit + " erreicht";
}

}  // namespace

std::string outcomeMessage(StepOutcome outcome) {
  switch (outcome) {
    case StepOutcome::Executed:
      return "";
    case StepOutcome::Hold:
      return "Programmende";
    case StepOutcome::MemoryOverflow:
      return "Fehler: Speicherüberlauf";
    case StepOutcome::BadShift:
      return "Falscher Operator für SHLI";
    case StepOutcome::UnknownInstruction:
      return "Fehler: Unbekannter Befehl";
    case StepOutcome::DivisionByZero:
      return "Fehler: Division durch Null";
  }
  return "";
}

std::string runEndText(RunEnd end) {
  switch (end) {
    case RunEnd::Hold:
      return outcomeMessage(StepOutcome::Hold);
    case RunEnd::MemoryOverflow:
      return outcomeMessage(StepOutcome::MemoryOverflow);
    case RunEnd::BadShift:
      return outcomeMessage(StepOutcome::BadShift);
    case RunEnd::UnknownInstruction:
      return outcomeMessage(StepOutcome::UnknownInstruction);
    case RunEnd::DivisionByZero:
      return outcomeMessage(StepOutcome::DivisionByZero);
    case RunEnd::StepLimit:
      return stepLimitWords(std::nullopt);
  }
  return "";
}

MessageLines assembleErrorLines(const AssembleResult& result) {
  const std::string number = std::to_string(result.line);
  switch (result.error) {
    case AssembleError::None:
      return {};
    case AssembleError::SyntaxError:
      return {"Fehler in Zeile " + number};
    case AssembleError::ProgramTooLong:
      return {"Speicher voll:", "Programm zu lang " + number};
    case AssembleError::UnknownSymbol:
      return {"Fehlerhafte Variable oder", "Sprungziel in Zeile " + number};
  }
  return {};
}

MessageLines loadWarningLines() {
  return {"Achtung: Diese Datei konnte nicht", "vollständig importiert werden."};
}

std::string stepLimitText(int64_t maxSteps) {
  return stepLimitWords(maxSteps);
}

std::string joinLines(const MessageLines& lines, std::string_view separator) {
  std::string text;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (i > 0) text += separator;
    text += lines[i];
  }
  return text;
}

}  // namespace akkusim
