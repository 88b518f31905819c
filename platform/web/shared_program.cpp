#include "platform/web/shared_program.h"

#include <sstream>
#include <string>
#include <utility>

#include "files/program_file.h"
#include "text/cp437.h"

namespace akkusim {
namespace {

constexpr std::string_view kDamaged{
    "Der Link ist beschädigt oder unvollständig und wurde nicht geöffnet. Bitte den ganzen "
    "Link noch einmal kopieren."};

std::string tooLong() {
  return "Der Link enthält mehr, als die Programmliste fassen kann (höchstens " +
         std::to_string(kMaxProgramLines) + " Zeilen zu je " + std::to_string(kMaxLineLength) +
         " Zeichen), und wurde nicht geöffnet.";
}

std::string_view withoutTrailingBlanks(std::string_view text) {
  const std::size_t end = text.find_last_not_of(' ');
  return end == std::string_view::npos ? std::string_view{} : text.substr(0, end + 1);
}

}  // namespace

std::string sharedProgramText(const ProgramText& program) {
  std::string text;
  std::size_t significant = 0;
  for (const ProgramLine& line : program.lines) {
    text += utf8FromCp437(withoutTrailingBlanks(line.text));
    text += '\n';
    if (!withoutTrailingBlanks(line.text).empty()) significant = text.size();
  }
  text.resize(significant);
  return text;
}

Result<ProgramText> programFromSharedText(std::string_view text) {
  if (text.size() > kMaxSharedBytes) return Failure{tooLong()};
  // No line end is counted after the last line, which may lack one.
  std::size_t lineEnds = 0;
  for (const char byte : text) lineEnds += byte == '\n' ? 1 : 0;
  if (!text.empty() && text.back() != '\n') ++lineEnds;
  if (lineEnds > static_cast<std::size_t>(kMaxProgramLines)) return Failure{tooLong()};
  // A link this page made is UTF-8 of the editor's characters (and a tab
  // of an uploaded file), and no line in it is cut by the listing.
  std::size_t at = 0;
  while (at < text.size()) {
    const char32_t character = cp437_detail::decodeUtf8(text, at);
    const bool lineEndOrTab = character == '\n' || character == '\t' || character == '\r';
    if (!lineEndOrTab && cp437ByteOf(character) < 0) return Failure{std::string(kDamaged)};
  }
  std::istringstream in{std::string(text)};
  LoadedProgram loaded = readProgram(in);
  if (loaded.incomplete) return Failure{std::string(kDamaged)};
  return std::move(loaded.program);
}

}  // namespace akkusim
