#include "app/unsaved_changes.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace akkusim {
namespace {

std::string_view withoutTrailingBlanks(std::string_view text) {
  const std::size_t end = text.find_last_not_of(' ');
  return end == std::string_view::npos ? std::string_view{} : text.substr(0, end + 1);
}

// The lines that carry something, up to the last one that does.
std::vector<std::string_view> significantLines(const ProgramText& program) {
  std::vector<std::string_view> lines;
  lines.reserve(program.lines.size());
  for (const ProgramLine& line : program.lines) lines.push_back(withoutTrailingBlanks(line.text));
  while (!lines.empty() && lines.back().empty()) lines.pop_back();
  return lines;
}

}  // namespace

bool hasUnsavedChanges(const Session& session) {
  const std::vector<std::string_view> current = significantLines(session.program);
  if (!session.storedProgram) return !current.empty();
  return current != significantLines(*session.storedProgram);
}

void noteProgramStored(Session& session) {
  session.storedProgram = session.program;
}

void forgetStoredProgram(Session& session) {
  session.storedProgram.reset();
}

}  // namespace akkusim
