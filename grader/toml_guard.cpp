#include "grader/toml_guard.h"

#include <algorithm>
#include <cstdint>

namespace {

// Unsure: after a quote that the reader does not take as the start of a
// text (it reads it as part of a value or stops there); until the end of the
// line every non-ASCII character is refused, as outside.
enum class Where { Outside, Unsure, Comment, Text, LiteralText, LongText, LongLiteralText };

// A text starts only where the reader expects a value or a key: after "=",
// "[", "," or "{", or first on a line. Anywhere else the reader either stops
// at the quote or reads on through it as part of a value, so the guard must
// not take what follows for the inside of a text.
bool opensText(char lastSignificant) {
  return lastSignificant == '=' || lastSignificant == '[' || lastSignificant == ',' ||
         lastSignificant == '{' || lastSignificant == '\n';
}

bool isAscii(char c) {
  return static_cast<unsigned char>(c) < 0x80;
}

bool isSpaceOrLineBreak(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::size_t runOf(std::string_view text, std::size_t at, char c) {
  std::size_t n = 0;
  while (at + n < text.size() && text[at + n] == c) ++n;
  return n;
}

// Line and column of a byte, the column counted in characters as the reader does.
TestFileError errorAt(std::string_view text, std::size_t at, const char* reason) {
  TestFileError error;
  for (std::size_t i = 0; i < at; ++i) {
    if (text[i] == '\n') {
      ++error.line;
      error.column = 1;
    } else if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) {
      ++error.column;
    }
  }
  error.reason = reason;
  return error;
}

constexpr const char* kOutside =
    "Zeichen außerhalb von Anführungszeichen (Texte stehen in Anführungszeichen)";
constexpr const char* kAfterBackslash =
    "nach '\\' in einem mehrzeiligen Text ist dieses Zeichen nicht erlaubt";

}  // namespace

std::optional<TestFileError> findCharacterOutsideText(std::string_view text) {
  std::size_t i = text.substr(0, 3) == "\xEF\xBB\xBF" ? 3 : 0;  // the reader skips a BOM
  Where where = Where::Outside;
  char lastSignificant = '\n';  // the last character outside texts, not blank
  while (i < text.size()) {
    const char c = text[i];
    switch (where) {
      case Where::Outside:
        if (!isAscii(c)) return errorAt(text, i, kOutside);
        if (c == '#') {
          where = Where::Comment;
        } else if ((c == '"' || c == '\'') && opensText(lastSignificant)) {
          const bool longText = runOf(text, i, c) >= 3;
          where = c == '"' ? (longText ? Where::LongText : Where::Text)
                           : (longText ? Where::LongLiteralText : Where::LiteralText);
          lastSignificant = c;
          i += longText ? 3 : 1;
          continue;
        } else if (c == '"' || c == '\'') {
          where = Where::Unsure;
        } else if (c != ' ' && c != '\t' && c != '\r') {
          lastSignificant = c;
        }
        break;
      case Where::Unsure:
        if (!isAscii(c)) return errorAt(text, i, kOutside);
        if (c == '\n') {
          where = Where::Outside;
          lastSignificant = c;
        }
        break;
      case Where::Comment:
        if (c == '\n') {
          where = Where::Outside;
          lastSignificant = c;
        }
        break;
      case Where::Text:
        if (c == '\\') {
          i += 2;
          continue;
        }
        if (c == '"' || c == '\n') {
          where = Where::Outside;
          lastSignificant = c;
        }
        break;
      case Where::LiteralText:
        if (c == '\'' || c == '\n') {
          where = Where::Outside;
          lastSignificant = c;
        }
        break;
      case Where::LongText:
      case Where::LongLiteralText: {
        const char quote = where == Where::LongText ? '"' : '\'';
        if (where == Where::LongText && c == '\\') {
          // An escape, or a line-ending backslash whose white space is skipped.
          std::size_t next = i + 1;
          if (next < text.size() && isSpaceOrLineBreak(text[next])) {
            while (next < text.size() && isSpaceOrLineBreak(text[next])) ++next;
            if (next < text.size() && !isAscii(text[next])) return errorAt(text, next, kAfterBackslash);
            i = next;
            continue;
          }
          if (next < text.size() && !isAscii(text[next])) return errorAt(text, next, kAfterBackslash);
          i += 2;
          continue;
        }
        if (c == quote) {
          // Up to five quotes in a row: one or two belong to the text, three
          // or more end it (the fourth and fifth still belong to the text).
          const std::size_t run = runOf(text, i, quote);
          if (run >= 3) {
            where = Where::Outside;
            lastSignificant = quote;
          }
          i += run >= 3 ? std::min<std::size_t>(run, 5) : run;
          continue;
        }
        break;
      }
    }
    ++i;
  }
  return std::nullopt;
}
