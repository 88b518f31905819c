#pragma once
// The modal message box with up to five lines and three buttons.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "gfx/screen.h"

namespace akkusim {

// Splitting and geometry, computed before anything is drawn. "\n" means the
// two characters backslash and "n".
struct MessageLayout {
  std::array<std::string, 5> lines;  // display bytes
  int32_t lineCount = 1;
  std::array<std::string, 3> labels;  // display bytes; may be empty
  int32_t longestLine = 0;            // L
  int32_t longestLabel = 0;           // B
  int32_t width = 0;                  // W
  int32_t height = 0;                 // H
  int32_t x = 0;                      // X
  int32_t y = 0;                      // Y
  std::array<int32_t, 3> offsets{-1, -1, -1};
  bool fits = true;
};

// Lines given one by one, joined with the box's separator.
std::string messageBoxText(const std::vector<std::string>& lines);

MessageLayout layoutMessage(std::string_view text, std::string_view buttons);

// 1..3 the chosen button, -1 the window is being closed, 0 the box does not
// fit the window.
int32_t showMessage(Screen& screen, std::string_view text, std::string_view buttons);

}  // namespace akkusim
