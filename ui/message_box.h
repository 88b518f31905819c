#pragma once
// The modal message box with up to five lines and three buttons.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "gfx/screen.h"

namespace akkusim {

// Splitting and geometry, computed before anything is drawn. "\n" means the
// two characters backslash and "n".
struct MessageLayout {
  std::array<std::string, 5> lines;  // display bytes
  int32_t lineCount = 1;
  std::array<std::string, 3> labels;  // display bytes; may be empty
  int32_t longestLine = 0;            // in characters
  int32_t longestLabel = 0;           // in characters; every button is this wide
  int32_t width = 0;                  // the box's pixels, its white margin included
  int32_t height = 0;
  int32_t x = 0;  // where the box opens: its frame's top left, inside the margin
  int32_t y = 0;
  // Each button's left edge from the box's left; -1 for a button not shown.
  std::array<int32_t, 3> offsets{-1, -1, -1};
  bool fits = true;
};

// The callers write a line break as the two characters backslash and "n",
// not as a line-feed byte (joinLines(lines, kMessageLineBreak) for lines
// given one by one).
inline constexpr std::string_view kMessageLineBreak{"\\n"};

MessageLayout layoutMessage(std::string_view text, std::string_view buttons);

enum class MessageAnswer {
  FirstButton,   // also Enter
  SecondButton,  // Escape picks the last button
  ThirdButton,
  WindowClosed,  // the window is being closed
  NotShown,      // the box does not fit the window
};

// Whether one of the box's buttons (or its keys) answered it.
inline bool answeredByButton(MessageAnswer answer) {
  return answer == MessageAnswer::FirstButton || answer == MessageAnswer::SecondButton ||
         answer == MessageAnswer::ThirdButton;
}

MessageAnswer showMessage(Screen& screen, std::string_view text, std::string_view buttons);

}  // namespace akkusim
