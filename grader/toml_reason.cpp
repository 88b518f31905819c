#include "grader/toml_reason.h"

#include <array>
#include <utility>

#include "text/ascii_case.h"

namespace akkusim {

namespace {

// The first phrase found decides; the descriptions name what was expected and
// what stood there, which the line and column already point at.
constexpr std::array<std::pair<std::string_view, std::string_view>, 19> kReasons{{
    {"cannot redefine", "Schlüssel doppelt festgelegt"},
    {"encountered end-of-file", "unerwartetes Dateiende"},
    {"control characters", "Text nicht abgeschlossen oder mit Steuerzeichen"},
    {"unknown escape sequence", "unbekannte Escape-Sequenz im Text"},
    {"invalid utf-8", "keine gültige UTF-8-Kodierung"},
    {"leading zeroes", "führende Nullen sind in Zahlen nicht erlaubt"},
    {"not representable", "Zahl zu groß"},
    {"expected value", "Wert fehlt"},
    {"expected '='", "'=' erwartet"},
    {"expected ']'", "']' erwartet"},
    {"expected ']]'", "']]' erwartet"},
    {"expected comma or closing ']'", "',' oder ']' erwartet"},
    {"expected comma or closing '}'", "',' oder '}' erwartet"},
    {"expected key or closing '}'",
     "Schlüssel oder '}' erwartet (eine Inline-Tabelle steht auf einer Zeile)"},
    {"expected a comment or whitespace", "nach dem Wert darf nur ein Kommentar folgen"},
    {"expected keys, tables", "Schlüssel oder Tabelle erwartet"},
    {"could not determine value type",
     "unbekannte Art von Wert (Texte stehen in Anführungszeichen)"},
    {"nest", "zu tief verschachtelt"},
    {"bare key", "ungültiger Schlüssel"},
}};

}  // namespace

std::string tomlReason(std::string_view description) {
  const std::string lower = lowerAscii(description);
  if (lower.find("cannot redefine") != std::string::npos) {
    // "... cannot redefine existing integer 'a' as table": the name is the last quoted part.
    const std::size_t close = description.rfind('\'');
    const std::size_t open = close == 0 || close == std::string_view::npos
                                 ? std::string_view::npos
                                 : description.rfind('\'', close - 1);
    if (open != std::string_view::npos) {
      return "TOML: Schlüssel " + std::string(description.substr(open, close - open + 1)) +
             " doppelt festgelegt";
    }
  }
  for (const auto& [phrase, reason] : kReasons) {
    if (lower.find(phrase) != std::string::npos) return "TOML: " + std::string(reason);
  }
  return "TOML: ungültige Syntax";
}

}  // namespace akkusim
