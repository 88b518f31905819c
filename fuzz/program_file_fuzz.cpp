// Any file: the reader keeps lines within 40 characters and at least one
// line, and what it writes reads back to the same program (unless the
// written code page 437 text happens to be UTF-8 of the code page's
// characters, which is then read as such; it reads back from there on; or
// unless the first line begins with "\xEF\xBB\xBF", which only a file can
// bring: written, those bytes are a byte order mark that the reader skips;
// either way the program only gets shorter).
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>
#include <string_view>

#include "files/program_file.h"

using namespace akkusim;

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool sameLines(const ProgramText& a, const ProgramText& b) {
  if (a.lines.size() != b.lines.size()) return false;
  for (size_t i = 0; i < a.lines.size(); ++i) {
    if (a.lines[i].text != b.lines[i].text) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
  const LoadedProgram loaded = readProgram(in);
  if (loaded.program.lines.empty()) std::abort();
  for (const ProgramLine& line : loaded.program.lines) {
    if (line.text.size() > 40) std::abort();
  }
  std::ostringstream out;
  if (!writeProgram(out, loaded.program)) std::abort();
  std::istringstream back(out.str());
  const LoadedProgram again = readProgram(back);
  if (again.incomplete) std::abort();
  if (again.readAsUtf8 || out.str().starts_with(kByteOrderMark)) {
    std::ostringstream rewritten;
    if (!writeProgram(rewritten, again.program)) std::abort();
    // Decoding or the skipped mark shrinks it.
    if (rewritten.str().size() >= out.str().size()) std::abort();
    return 0;
  }
  if (!sameLines(again.program, loaded.program)) std::abort();
  return 0;
}
