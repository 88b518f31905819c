#include "grader/toml_findings.h"

#include <algorithm>
#include <cstdio>
#include <utility>

namespace akkusim {

namespace {

// A reason quotes what the teacher wrote (a key, a name, a mnemonic), and it is
// printed as one line: control characters are shown as TOML writes them.
std::string onOneLine(std::string_view reason) {
  std::string shown;
  for (const char c : reason) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '\n') {
      shown += "\\n";
    } else if (c == '\r') {
      shown += "\\r";
    } else if (c == '\t') {
      shown += "\\t";
    } else if (byte < 0x20 || byte == 0x7f) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04X", byte);
      shown += escaped;
    } else {
      shown += c;
    }
  }
  return shown;
}

}  // namespace

Position positionOf(const toml::source_region& region) {
  return Position{std::max<int32_t>(1, static_cast<int32_t>(region.begin.line)),
                  std::max<int32_t>(1, static_cast<int32_t>(region.begin.column))};
}

void refuse(Findings& findings, Position at, std::string reason) {
  const TestFileError error{at.line, at.column, onOneLine(reason)};
  if (!findings.earliest || std::pair(at.line, at.column) <
                                std::pair(findings.earliest->line, findings.earliest->column)) {
    findings.earliest = error;
  }
}

void refuseUnknownKey(Findings& findings, const toml::key& key, std::string_view allowed) {
  refuse(findings, positionOf(key.source()),
         "unbekannter Schlüssel '" + std::string(key.str()) +
             "' (erlaubt: " + std::string(allowed) + ")");
}

}  // namespace akkusim
