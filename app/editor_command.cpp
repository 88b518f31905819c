#include "app/editor_command.h"

#include <algorithm>

#include "app/learner_aids.h"
#include "app/unsaved_changes.h"
#include "gfx/screen.h"
#include "program/line_parser.h"
#include "program/program_text.h"
#include "text/line_edit.h"
#include "ui/edit_key.h"
#include "ui/listing_view.h"

namespace akkusim {

namespace {

constexpr int32_t kFullLine = 41;  // 40 characters and the "full" marker blank
constexpr int32_t kPageLines = 60;
constexpr std::string_view kEditorCharacterRules = "a0%";

// A command may leave fewer lines than the cursor expects (a load that was
// cut short by closing the window); never index past the program.
void keepCursorInProgram(Session& session) {
  EditorCursor& cursor = session.cursor;
  cursor.currentLine = std::clamp(cursor.currentLine, 0, highestIndex(session.program));
  cursor.cursorColumn = std::clamp(cursor.cursorColumn, 1, kFullLine);
}

ProgramLine& currentLineOf(Session& session) {
  return session.program.lines[static_cast<std::size_t>(session.cursor.currentLine)];
}

void cutTo40(std::string& text) {
  if (text.size() > static_cast<std::size_t>(kMaxLineLength)) text.resize(kMaxLineLength);
}

void reparseAndShowCurrentLine(Screen& screen, Session& session, ListingView& listing) {
  ProgramLine& line = currentLineOf(session);
  parseLine(line, static_cast<int16_t>(session.cursor.currentLine));
  drawProgramLine(screen, line, listing, true, kWhite);
}

void insertTab(std::string& text, EditorCursor& cursor, int32_t trimmedAfter) {
  const int32_t step = 4 - (cursor.cursorColumn % 4);
  if (trimmedAfter + step > kMaxLineLength) return;
  const auto at = static_cast<std::size_t>(cursor.cursorColumn - 1);
  if (text.size() < at) text.resize(at, ' ');
  text.insert(at, static_cast<std::size_t>(step), ' ');
  cutTo40(text);
  cursor.cursorColumn = std::min(cursor.cursorColumn + step, kFullLine);
}

// The text is never split: the new line is empty and goes above the cursor
// line when only blanks precede the cursor, below it otherwise.
void insertLine(Screen& screen, Session& session, ListingView& listing) {
  EditorCursor& cursor = session.cursor;
  if (lineCount(session.program) >= kMaxProgramLines) return;
  const std::string& text = currentLineOf(session).text;
  const auto before = std::min(static_cast<std::size_t>(cursor.cursorColumn - 1), text.size());
  const bool onlyBlanksBefore =
      std::all_of(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(before),
                  [](char c) { return c == ' '; });
  if (onlyBlanksBefore) {
    insertLineBefore(session.program, cursor.currentLine);
  } else {
    insertLineBefore(session.program, cursor.currentLine + 1);
    ++cursor.currentLine;
  }
  cursor.cursorColumn = 1;
  ScrollView& view = listing.view;
  view.contentHeight += kListingRowHeight;
  if (cursor.currentLine * kListingRowHeight >= view.bounds.height + view.scrollY) {
    scrollBy(view, 0, kListingRowHeight);
  }
  redrawListing(screen, listing, session.program);
}

// Only a line that was blank before the key goes; Backspace never removes
// line 0 and Delete never the last line, so lines are never joined.
void removeBlankLine(Screen& screen, Session& session, ListingView& listing, bool backspace,
                     int32_t trimmedBefore) {
  EditorCursor& cursor = session.cursor;
  const int32_t highest = highestIndex(session.program);
  if (trimmedBefore != 0 || highest < 1) return;
  if (backspace && cursor.currentLine == 0) return;
  if (!backspace && cursor.currentLine == highest) return;
  removeLine(session.program, cursor.currentLine);
  if (backspace) {
    --cursor.currentLine;
    cursor.cursorColumn = trimmedLength(currentLineOf(session).text) + 1;
  } else {
    cursor.cursorColumn = 1;
  }
  ScrollView& view = listing.view;
  view.contentHeight -= kListingRowHeight;
  if (cursor.currentLine * kListingRowHeight < view.scrollY ||
      (view.scrollY > 0 && view.contentHeight <= view.bounds.height + view.scrollY)) {
    scrollBy(view, 0, -kListingRowHeight);
  }
  redrawListing(screen, listing, session.program);
}

}  // namespace

EditorKeyResult editorKeyStep(Screen& screen, Session& session, ListingView& listing) {
  keepCursorInProgram(session);
  EditorCursor& cursor = session.cursor;
  EditorKeyResult result;
  ProgramLine* line = &currentLineOf(session);
  const int32_t trimmedBefore = trimmedLength(line->text);
  std::optional<EditKey> edited;
  line->text = applyKeyToLine(line->text, kEditorCharacterRules, edited, kFullLine,
                              cursor.cursorColumn, screenKeyReader(screen, result.key));
  cursor.cursorColumn = std::clamp(cursor.cursorColumn, 1, kFullLine);
  const std::optional<Key>& key = result.key;
  // The aids' keys are the main loop's: the line and its mark stay as shown.
  if (!key || aidOfKey(*key)) return result;

  clearHighlight(screen, listing, session.program, session.highlightLine);
  cutTo40(line->text);
  const int32_t trimmedAfter = trimmedLength(line->text);

  if (key == keys::kHome) {
    cursor.cursorColumn = 1;
  } else if (key == keys::kEnd) {
    cursor.cursorColumn = trimmedAfter + 1;
  } else if (key == keys::kTab) {
    insertTab(line->text, cursor, trimmedAfter);
  } else if (key == keys::kEnter) {
    insertLine(screen, session, listing);
  } else if (key == keys::kBackspace || key == keys::kDelete) {
    removeBlankLine(screen, session, listing, key == keys::kBackspace, trimmedBefore);
  }
  // Inserting or removing lines moved the vector's elements: `line` is
  // stale from here on.
  reparseAndShowCurrentLine(screen, session, listing);

  const int32_t highest = highestIndex(session.program);
  const bool movesUp = (key == keys::kUp || key == keys::kPageUp) && cursor.currentLine > 0;
  const bool movesDown =
      (key == keys::kDown || key == keys::kPageDown) && cursor.currentLine < highest;
  if (movesUp || movesDown) {
    result.endsPass = true;
    return result;
  }
  padCurrentLine(session);
  result.endsPass = key == keys::kEnter || key == keys::kWindowClose;
  return result;
}

void lineMovementStep(Screen& screen, Session& session, ListingView& listing,
                      std::optional<Key> key) {
  keepCursorInProgram(session);
  EditorCursor& cursor = session.cursor;
  reparseAndShowCurrentLine(screen, session, listing);
  int32_t target = cursor.currentLine;
  if (key == keys::kDown) {
    target += 1;
  } else if (key == keys::kUp) {
    target -= 1;
  } else if (key == keys::kPageDown) {
    target += kPageLines;
  } else if (key == keys::kPageUp) {
    target -= kPageLines;
  }
  cursor.currentLine = std::clamp(target, 0, highestIndex(session.program));
}

void padCurrentLine(Session& session) {
  const EditorCursor& cursor = session.cursor;
  if (cursor.currentLine < 0 || cursor.currentLine > highestIndex(session.program)) return;
  std::string& text = currentLineOf(session).text;
  text.resize(kMaxLineLength, ' ');
  if (text.back() != ' ') text.push_back(' ');
}

void newProgram(Screen& screen, Session& session, ListingView& listing) {
  replaceWithEmptyLine(session.program);
  session.cursor = EditorCursor{};
  session.fileName.clear();
  forgetStoredProgram(session);
  session.highlightLine = kNoLine;
  listing.view.contentHeight = kListingRowHeight;
  listing.view.scrollY = 0;
  redrawListing(screen, listing, session.program);
}

}  // namespace akkusim
