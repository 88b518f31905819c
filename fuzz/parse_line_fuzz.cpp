// Any byte string as a source line: the parse must be safe, keep the text's
// length and point its comment column at a "#".
#include <cstdint>
#include <cstdlib>
#include <string>

#include "program/line_parser.h"

using namespace akkusim;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ProgramLine line;
  line.text.assign(reinterpret_cast<const char*>(data), size);
  const std::string before = line.text;
  parseLine(line, static_cast<int16_t>(size));
  if (line.text.size() != before.size()) std::abort();
  if (line.commentColumn < 0 || static_cast<size_t>(line.commentColumn) > before.size()) {
    std::abort();
  }
  if (line.commentColumn > 0 && line.text[static_cast<size_t>(line.commentColumn) - 1] != '#') {
    std::abort();
  }
  // Parsing again gives the same result: the rewrite is idempotent.
  ProgramLine again = line;
  parseLine(again, static_cast<int16_t>(size));
  if (again.text != line.text || again.valid != line.valid) std::abort();
  return 0;
}
