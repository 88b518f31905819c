#pragma once
// The line editor's key handling in the listing, and "Neu".

#include <cstdint>
#include <optional>

#include "gfx/key.h"

namespace akkusim {

struct Screen;
struct ListingView;

struct EditorCursor {
  int32_t currentLine = 0;   // 0-based
  int32_t cursorColumn = 1;  // 1..41
};

struct EditorKeyResult {
  std::optional<Key> key;  // the key read, if any
  bool endsPass = false; // Up/Down/PgUp/PgDn that can move, Enter, window-close key
};

// One pass of the editor: reads at most one key and acts on it.
EditorKeyResult editorKeyStep(Screen& screen, ListingView& listing, EditorCursor& cursor);
// After a pass that ended: re-parse and redraw the line, then move.
void lineMovementStep(Screen& screen, ListingView& listing, EditorCursor& cursor,
                      std::optional<Key> key);
// Exactly 40 characters, or 41 with a trailing blank when the 40th is not one.
void padCurrentLine(ListingView& listing, const EditorCursor& cursor);
void newProgram(Screen& screen, ListingView& listing, EditorCursor& cursor);

}  // namespace akkusim
