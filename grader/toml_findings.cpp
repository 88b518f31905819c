#include "grader/toml_findings.h"

#include <algorithm>
#include <utility>

namespace akkusim {

Position positionOf(const toml::source_region& region) {
  return Position{std::max<int32_t>(1, static_cast<int32_t>(region.begin.line)),
                  std::max<int32_t>(1, static_cast<int32_t>(region.begin.column))};
}

void refuse(Findings& findings, Position at, std::string reason) {
  const TestFileError error{at.line, at.column, std::move(reason)};
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
