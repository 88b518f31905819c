#include "text/line_edit.h"

#include <array>
#include <vector>

#include "text/ascii_case.h"

namespace akkusim {

namespace {

enum class CaseChange { None, Lower, Upper };

struct CharacterRules {
  std::array<bool, 256> allowed{};
  std::vector<std::pair<char, char>> substitutions;  // typed key -> inserted character
  CaseChange caseChange = CaseChange::None;
};

void allowRange(CharacterRules& rules, int first, int last) {
  for (int c = first; c <= last; ++c) rules.allowed[static_cast<std::size_t>(c)] = true;
}

std::size_t indexOf(char c) {
  return static_cast<unsigned char>(c);
}

// Nothing for a directive that lacks its argument characters: the caller
// then gives up without reading a key.
std::optional<CharacterRules> parseCharacterRules(std::string_view characterRules) {
  CharacterRules rules;
  for (std::size_t i = 0; i < characterRules.size(); ++i) {
    switch (characterRules[i]) {
      case 'A':
      case 'a':
        allowRange(rules, 'A', 'Z');
        allowRange(rules, 'a', 'z');
        break;
      case '0':
        allowRange(rules, '0', '9');
        break;
      case '%':
        allowRange(rules, 32, 47);
        allowRange(rules, 58, 64);
        allowRange(rules, 91, 96);
        allowRange(rules, 123, 254);
        break;
      case 'L':
      case 'l':
        rules.caseChange = CaseChange::Lower;
        break;
      case 'U':
      case 'u':
        rules.caseChange = CaseChange::Upper;
        break;
      case '+':
        if (i + 1 >= characterRules.size()) return std::nullopt;
        rules.allowed[indexOf(characterRules[++i])] = true;
        break;
      case '-':
        if (i + 1 >= characterRules.size()) return std::nullopt;
        rules.allowed[indexOf(characterRules[++i])] = false;
        break;
      case 'C':
      case 'c':
        if (i + 2 >= characterRules.size()) return std::nullopt;
        rules.substitutions.emplace_back(characterRules[i + 1], characterRules[i + 2]);
        i += 2;
        break;
      default:
        break;  // unknown directives add nothing
    }
  }
  return rules;
}

char changeCase(char c, CaseChange change) {
  switch (change) {
    case CaseChange::None:
      return c;
    case CaseChange::Lower:
      return lowerAscii(c);
    case CaseChange::Upper:
      return upperAscii(c);
  }
  return c;
}

constexpr char kBackspaceByte = 8;

// A substitution wins over the allowed set and skips the case change.
void insertTyped(std::string& working, const CharacterRules& rules, char typed, int32_t& column) {
  bool insert = false;
  char inserted = typed;
  for (const auto& [from, to] : rules.substitutions) {
    if (from == typed) {
      inserted = to;
      insert = true;
      break;
    }
  }
  if (!insert && rules.allowed[indexOf(typed)]) {
    inserted = changeCase(typed, rules.caseChange);
    insert = true;
  }
  if (insert) {
    working.insert(static_cast<std::size_t>(column - 1), 1, inserted);
    ++column;
  }
}

}  // namespace

std::string applyKeyToLine(std::string_view text, std::string_view characterRules,
                           std::optional<EditKey>& key, int32_t maxLength, int32_t& column,
                           const EditKeyReader& readKey) {
  const std::size_t limit = maxLength > 0 ? static_cast<std::size_t>(maxLength) : 0;
  std::string working(text.substr(0, limit));
  const auto length = static_cast<int32_t>(working.size());
  if (column < 1 || column > length) column = length + 1;

  const std::optional<CharacterRules> rules = parseCharacterRules(characterRules);
  if (!rules) {
    key.reset();
    return std::string(text);
  }

  key = readKey ? readKey() : std::nullopt;
  if (!key) return working;

  switch (key->kind) {
    case EditKeyKind::Left:
      if (column > 0) --column;
      break;
    case EditKeyKind::Right:
      if (column <= length) ++column;
      break;
    case EditKeyKind::Delete:
      if (column < maxLength && column <= length) {
        working.erase(static_cast<std::size_t>(column - 1), 1);
      }
      break;
    case EditKeyKind::Character:
      if (key->character == kBackspaceByte) {
        if (column > 1) {
          working.erase(static_cast<std::size_t>(column - 2), 1);
          --column;
        }
      } else if (working.size() < limit) {
        insertTyped(working, *rules, key->character, column);
      }
      break;
    case EditKeyKind::Other:
      break;
  }
  return working;
}

int32_t trimmedLength(std::string_view text) {
  std::size_t end = text.size();
  while (end > 0 && (text[end - 1] == ' ' || text[end - 1] == '\t')) --end;
  return static_cast<int32_t>(end);
}

}  // namespace akkusim
