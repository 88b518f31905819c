#include "support/run_session.h"

#include <cstddef>
#include <optional>

#include "gfx/draw.h"
#include "support/glyph_check.h"
#include "ui/message_box.h"

namespace akkusim {

bool showsText(const Image& shot, int32_t x, int32_t y, std::string_view text, uint32_t colour,
               uint32_t background) {
  std::optional<Image> expected = createImage(8 * static_cast<int32_t>(text.size()), 8, background);
  if (!expected) {
    return false;
  }
  drawText(*expected, 0, 0, text, colour);
  for (int32_t dy = 0; dy < 8; ++dy) {
    for (int32_t dx = 0; dx < expected->width; ++dx) {
      if (pixelAt(shot, x + dx, y + dy) != pixelAt(*expected, dx, dy)) {
        return false;
      }
    }
  }
  return true;
}

// The message box with exactly this text, open at its starting place.
bool showsMessage(const Image& shot, std::string_view text, std::string_view buttons) {
  const MessageLayout layout = layoutMessage(text, buttons);
  if (pixelAt(shot, layout.x, layout.y) != kBlack ||
      pixelAt(shot, layout.x - 2, layout.y - 2) != kWhite) {
    return false;
  }
  for (int32_t i = 0; i < layout.lineCount; ++i) {
    if (!showsText(shot, layout.x + 22, layout.y + 20 * (i + 1) - 4,
                   layout.lines[static_cast<std::size_t>(i)], kBlack)) {
      return false;
    }
  }
  const std::string& label = layout.labels[0];
  const int32_t labelX = layout.x + layout.offsets[0] +
                         4 * (layout.longestLabel - static_cast<int32_t>(label.size())) + 6;
  return showsText(shot, labelX, layout.y + layout.height - 38, label, kBlack);
}

std::string registerRow(std::string_view label, std::string_view value) {
  return std::string(label) + std::string(value);
}

// A memory word's six-character field while the view shows rows from 0.
bool wordIsRed(const Image& shot, int32_t address) {
  const int32_t x = 500 + 60 * (address % 10);
  const int32_t y = 15 + 10 * (address / 10);
  return anyPixel(shot, x, y, x + 47, y + 7, kRed);
}

uint32_t listingRowBackground(const Image& shot, int32_t lineIndex) {
  return pixelAt(shot, 400, 200 + 10 * lineIndex + 5);
}

}  // namespace akkusim
