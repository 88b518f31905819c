#include "program/messages.h"

namespace akkusim {

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

MessageLines assembleErrorLines(const AssembleResult& result) {
  const std::string number = std::to_string(result.line);
  switch (result.error) {
    case AssembleError::None:
      return {};
    case AssembleError::SyntaxError:
      return {"Fehler in Zeile " + number};
    case AssembleError::ProgramTooLong:
      return {"Out of memory:", "Programm zu lang " + number};
    case AssembleError::UnknownSymbol:
      return {"Fehlerhafte Variable oder", "Sprungziel in Zeile " + number};
  }
  return {};
}

MessageLines loadWarningLines() {
  return {"Achtung: Diese Datei konnte nicht", "vollständig importiert werden."};
}

}  // namespace akkusim
