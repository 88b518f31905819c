#include "program/line_parser.h"

#include <array>
#include <cstddef>
#include <cstring>

#include "isa/opcode_table.h"
#include "text/ascii_case.h"

namespace akkusim {

namespace {

constexpr bool isBlankOrTab(char c) {
  return c == ' ' || c == '\t';
}
constexpr bool isDigit(char c) {
  return c >= '0' && c <= '9';
}

bool isMnemonic(std::string_view name) {
  return findMnemonic(name) != nullptr;
}

bool equalsWordDirective(std::string_view token) {
  return token.size() == 4 && upperAscii(token[0]) == 'W' && upperAscii(token[1]) == 'O' &&
         upperAscii(token[2]) == 'R' && upperAscii(token[3]) == 'D';
}

std::size_t skipBlanksAndTabs(std::string_view text, std::size_t from, std::size_t end) {
  while (from < end && isBlankOrTab(text[from])) ++from;
  return from;
}

// Position of the first blank in [from, end), or end.
std::size_t findBlank(std::string_view text, std::size_t from, std::size_t end) {
  const void* hit = std::memchr(text.data() + from, ' ', end - from);
  return hit == nullptr ? end
                        : static_cast<std::size_t>(static_cast<const char*>(hit) - text.data());
}

struct Token {
  std::size_t begin = 0;
  std::size_t end = 0;
  std::string_view in(std::string_view text) const { return text.substr(begin, end - begin); }
};

void rewriteMnemonic(std::string& text, std::size_t at, const OpcodeRow& row) {
  text.replace(at, row.mnemonic.size(), row.mnemonic);
}

}  // namespace

bool isNumber(std::string_view token) {
  if (token.empty()) return false;
  const std::size_t first = token[0] == '-' ? 1 : 0;
  for (std::size_t i = first; i < token.size(); ++i) {
    if (!isDigit(token[i])) return false;
  }
  return true;
}

WordBits numberValue(std::string_view token) {
  const bool negative = !token.empty() && token[0] == '-';
  uint64_t magnitude = 0;
  for (std::size_t i = negative ? 1 : 0; i < token.size() && isDigit(token[i]); ++i) {
    magnitude = magnitude * 10 + static_cast<uint64_t>(token[i] - '0');
    if (magnitude > 0xFFFFFFFFull) return 0xFFFF;  // too large for 32 bits, whatever the sign
  }
  uint32_t value = static_cast<uint32_t>(magnitude);
  if (negative) value = 0u - value;
  return static_cast<WordBits>(value);
}

namespace {

// "LABEL: WORD N": a named data word.
bool parseDataWord(ProgramLine& line, std::string_view labelName, const Token& directive,
                   std::string_view value) {
  const std::string_view text(line.text);
  if (!equalsWordDirective(directive.in(text)) || !isNumber(value) || isMnemonic(labelName)) {
    return false;
  }
  line.kind = LineKind::DataWord;
  line.value = asWord(numberValue(value));
  line.symbol.assign(labelName);
  // Only a directive led by a blank is normalised; one led by a tab is
  // left as typed (and a "word" in the comment keeps its case).
  if (text[directive.begin - 1] == ' ') line.text.replace(directive.begin, 4, "WORD", 4);
  return true;
}

// "MNEMONIC OPERAND", the operand a number or a symbol.
bool parseWithOperand(ProgramLine& line, const Token& mnemonic, std::string_view operand) {
  const OpcodeRow* row = findMnemonic(mnemonic.in(line.text));
  const bool looksNumeric = operand[0] == '-' || isDigit(operand[0]);
  const bool number = isNumber(operand);
  if (row == nullptr || !hasOperand(row->operand) || (looksNumeric && !number)) return false;
  line.opcode = row->code;
  if (number) {
    line.kind = LineKind::NumberOperand;
    line.value = asWord(numberValue(operand));
  } else {
    line.kind = LineKind::SymbolOperand;
    line.symbol.assign(operand);
  }
  rewriteMnemonic(line.text, mnemonic.begin, *row);
  return true;
}

// "LABEL:" alone, or a mnemonic without operand.
bool parseSingleToken(ProgramLine& line, const Token& token, bool isLabel,
                      std::string_view labelName) {
  if (isLabel) {
    if (isMnemonic(labelName)) return false;
    line.kind = LineKind::LabelOnly;
    line.symbol.assign(labelName);
    return true;
  }
  const OpcodeRow* row = findMnemonic(token.in(line.text));
  if (row == nullptr || hasOperand(row->operand)) return false;
  line.kind = LineKind::NoOperand;
  line.opcode = row->code;
  line.value = 0;
  rewriteMnemonic(line.text, token.begin, *row);
  return true;
}

}  // namespace

void parseLine(ProgramLine& line, int16_t index) {
  line.lineIndex = index;
  line.valid = true;

  const std::string_view text(line.text);
  const std::size_t start = skipBlanksAndTabs(text, 0, text.size());
  std::size_t end = text.size();
  while (end > start && isBlankOrTab(text[end - 1])) --end;

  // Only blanks and tabs stand before `start`, so the first "#" of the text
  // is the first one of the body.
  const void* hash = std::memchr(text.data() + start, '#', end - start);
  if (hash != nullptr) {
    const std::size_t at = static_cast<std::size_t>(static_cast<const char*>(hash) - text.data());
    // A column past the 16-bit range cannot be recorded; such a line is far
    // beyond anything the editor or a file load produces.
    line.commentColumn = at < 0x7FFF ? static_cast<int16_t>(at + 1) : int16_t{0};
    end = at;
    while (end > start && isBlankOrTab(text[end - 1])) --end;
  } else {
    line.commentColumn = 0;
  }

  if (end == start) {
    line.kind = LineKind::Empty;
    return;
  }

  // Only the blank separates tokens; a tab right after a token belongs to it.
  Token t1{start, findBlank(text, start, end)};
  Token t2;
  Token t3;
  int tokens = 1;
  if (t1.end < end) {
    t2.begin = skipBlanksAndTabs(text, t1.end + 1, end);
    t2.end = findBlank(text, t2.begin, end);
    tokens = 2;
    if (t2.end < end) {
      t3.begin = skipBlanksAndTabs(text, t2.end + 1, end);
      t3.end = end;
      tokens = 3;
      if (findBlank(text, t3.begin, end) < end) {
        line.valid = false;
        return;
      }
    }
  }

  const std::string_view first = t1.in(text);
  const std::string_view second = t2.in(text);
  const std::size_t colon = first.find(':');
  const bool firstIsLabel = colon == first.size() - 1;
  if ((colon != std::string_view::npos && !firstIsLabel) ||
      second.find(':') != std::string_view::npos) {
    line.valid = false;
    return;
  }
  const std::string_view labelName = firstIsLabel ? first.substr(0, colon) : std::string_view{};

  // The parts below rewrite only the case of a mnemonic or directive in
  // line.text, never its length, so the views into it stay valid.
  switch (tokens) {
    case 3:
      line.valid = firstIsLabel && parseDataWord(line, labelName, t2, t3.in(text));
      return;
    case 2:
      line.valid = parseWithOperand(line, t1, second);
      return;
    default:
      line.valid = parseSingleToken(line, t1, firstIsLabel, labelName);
      return;
  }
}

}  // namespace akkusim
