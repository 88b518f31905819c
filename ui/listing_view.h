#pragma once
// The program listing at (0, 200), 430 x 600: one 10-pixel row per line.
// It draws a program it does not own; its own state is the scrolled view.

#include <cstdint>
#include <string>

#include "gfx/screen.h"
#include "program/program_text.h"
#include "ui/scroll_view.h"

namespace akkusim {

// Every program line takes one row of this many pixels.
inline constexpr int32_t kListingRowHeight = 10;

struct ListingView {
  ScrollView view;
};

ListingView makeListingView();
void drawProgramLine(Screen& screen, const ProgramLine& line, ListingView& listing, bool show,
                     uint32_t background);
// Re-parses and draws every line, then shows the view with its scroll bar.
void redrawListing(Screen& screen, ListingView& listing, ProgramText& program);
// Draws the row of the 1-based line number if the program has that line
// (a stale number is left alone); false when there is no such line.
bool drawListingRow(Screen& screen, ListingView& listing, const ProgramText& program,
                    int32_t lineNumber, bool show, uint32_t background);
// Scrolls the view as little as it takes to show the 1-based line, and
// draws the rows it then shows into the image (`highlightLine` light green)
// without showing them; false, with nothing drawn, when the line is already
// in view or the program has no such line.
bool scrollListingTo(Screen& screen, ListingView& listing, const ProgramText& program,
                     int32_t lineNumber, int32_t highlightLine);
// Redraws the highlighted line (1-based, 0 = none) white, shows the view and
// sets it to 0.
void clearHighlight(Screen& screen, ListingView& listing, const ProgramText& program,
                    int32_t& highlightLine);
void destroyListingView(ListingView& listing);

}  // namespace akkusim
