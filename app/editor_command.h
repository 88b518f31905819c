#pragma once
// The line editor's key handling in the listing, and "Neu".

#include <cstdint>
#include <optional>

#include "app/session.h"
#include "gfx/key.h"

namespace akkusim {

struct Screen;
struct ListingView;

struct EditorKeyResult {
  std::optional<Key> key;  // the key read, if any
  bool endsPass = false;   // Up/Down/PgUp/PgDn that can move, Enter, window-close key
};

// One pass of the editor: reads at most one key and acts on it.
EditorKeyResult editorKeyStep(Screen& screen, Session& session, ListingView& listing);
// After a pass that ended: re-parse and redraw the line, then move.
void lineMovementStep(Screen& screen, Session& session, ListingView& listing,
                      std::optional<Key> key);
// Exactly 40 characters, or 41 with a trailing blank when the 40th is not one.
void padCurrentLine(Session& session);
void newProgram(Screen& screen, Session& session, ListingView& listing);

}  // namespace akkusim
