#include "ui/register_panel.h"

#include <algorithm>
#include <array>

#include "gfx/draw.h"
#include "gfx/font.h"
#include "gfx/rect.h"
#include "isa/opcode_table.h"
#include "machine/flags.h"
#include "program/messages.h"
#include "text/align.h"
#include "text/display_text.h"

namespace akkusim {

namespace {

constexpr int32_t kFieldWidth = kMemoryViewFieldWidth;
constexpr int32_t kWordsPerRow = kMemoryViewColumns;

// A label in display bytes, padded to the label column.
std::string labelColumn(std::string_view label) {
  std::string shown = toDisplayText(label);
  shown.resize(std::max<std::size_t>(shown.size(), kRegisterLabelWidth), ' ');
  return shown;
}

// The labels never change: converted once.
struct PanelLabels {
  std::string accumulator = labelColumn(kRegisterLabels.accumulator);
  std::string instruction = labelColumn(kRegisterLabels.instruction);
  std::string parameter = labelColumn(kRegisterLabels.parameter);
  std::string instructionAddress = labelColumn(kRegisterLabels.instructionAddress);
};

const PanelLabels& panelLabels() {
  static const PanelLabels labels;
  return labels;
}

bool glyphIsBlank(unsigned char c) {
  for (const uint8_t row : kFont8x8[c]) {
    if (row != 0) return false;
  }
  return true;
}

// Leading blanks of a field paint nothing, so skipping them saves most of
// the glyph work of a memory view full of small numbers.
void drawField(Image& target, int32_t x, int32_t y, std::string_view field, uint32_t colour) {
  static const bool blankIsEmpty = glyphIsBlank(' ');
  if (blankIsEmpty) {
    std::size_t skip = 0;
    while (skip < field.size() && field[skip] == ' ') ++skip;
    x += static_cast<int32_t>(skip) * 8;
    field.remove_prefix(skip);
  }
  drawText(target, x, y, field, colour);
}

std::string_view flagMark(uint8_t flag) {
  return flag == 1 ? "*" : " ";
}

}  // namespace

void drawRegisterPanel(Screen& screen, const MemoryView& view, const MachineState& machine,
                       std::optional<Address> touched) {
  drawPanelLines(screen);
  drawMemoryView(screen, view, machine, touched);
  drawRegisterRows(screen, machine);
}

void drawPanelLines(Screen& screen) {
  drawLine(screen.window, 430, 0, 430, 799, screen.foreground);
  drawLine(screen.window, 0, 180, 431, 180, screen.foreground);
}

void drawRegisterRows(Screen& screen, const MachineState& machine) {
  lockScreen(screen);
  Image& window = screen.window;
  const uint32_t ink = screen.foreground;
  const PanelLabels& labels = panelLabels();
  fillBox(window, 30, 30, 429, 97, kWhite);
  drawText(window, 30, 30, labels.accumulator + formatNumber(machine.accumulator, kFieldWidth),
           ink);
  drawText(window, 30, 50,
           labels.instruction + alignRight(mnemonicOf(machine.instruction), kFieldWidth), ink);
  drawText(window, 30, 70, labels.parameter + alignRight(parameterText(machine), kFieldWidth), ink);
  const std::string counter = hasExecuted(machine)
                                  ? formatNumber(machine.instructionAddress, kFieldWidth)
                                  : alignRight("-", kFieldWidth);
  drawText(window, 30, 90, labels.instructionAddress + counter, ink);
  const FlagValues flags = flagValues(machine);
  for (std::size_t i = 0; i < kFlagCount; ++i) {
    const FlagRow& flag = kFlags[i];
    drawText(
        window, 280, 30 + 20 * static_cast<int32_t>(i),
        std::string(flagMark(flags[i])) + " " + flag.letter + "  (" + std::string(flag.name) + ")",
        ink);
  }
  unlockScreen(screen);
}

void drawMemoryView(Screen& screen, const MemoryView& view, const MachineState& machine,
                    std::optional<Address> touched) {
  const int32_t top = view.top;
  const int32_t first = top * kWordsPerRow;

  lockScreen(screen);
  Image& window = screen.window;
  // None of the view's texts and lines overlap, so the background, the grid
  // lines and the texts are painted band by band (one text row at a time)
  // with the same result as painting each over the whole view in turn; a
  // band stays in the cache while its texts are drawn over it.
  const auto paintBand = [&window](int32_t y1, int32_t y2) {
    fillBox(window, 431, y1, 1099, y2, kLightGrey);
    drawLine(window, 492, y1, 492, y2, kDarkGrey);
  };
  paintBand(0, 14);
  drawLine(window, 430, 10, 1099, 10, kDarkGrey);
  for (int32_t k = 0; k < kWordsPerRow; ++k) {
    const char digit = static_cast<char>('0' + k);
    drawText(window, 540 + 60 * k, 0, std::string_view(&digit, 1), kDarkGrey);
  }

  NumberField field;
  bool pastEnd = false;
  int32_t y = kMemoryViewFirstRowY;
  for (int32_t i = 0; i < kMemoryViewRows; ++i, y += kMemoryViewRowHeight) {
    paintBand(y, y + kMemoryViewRowHeight - 1);
    if (pastEnd) continue;
    drawField(window, 440, y, formatNumberInto(field, (top + i) * kWordsPerRow, kFieldWidth),
              kDarkGrey);
    for (int32_t k = 0; k < kWordsPerRow; ++k) {
      const int32_t address = first + kWordsPerRow * i + k;
      if (address >= kMemoryWords) {
        pastEnd = true;
        break;
      }
      if (address < 0) continue;  // a top row below 0 has nothing to show
      const bool marked = address == machine.instructionAddress || address == touched;
      drawField(
          window, kMemoryViewFirstWordX + kMemoryViewWordSpacing * k, y,
          formatNumberInto(field, machine.memory[static_cast<std::size_t>(address)], kFieldWidth),
          marked ? kRed : kBlack);
    }
  }
  paintBand(y, 799);
  unlockScreen(screen);
}

namespace {

// The parts of the window drawRegisterPanel paints beyond its fixed lines.
constexpr Rect kRegisterArea{30, 30, 400, 68};
constexpr Rect kMemoryArea{431, 0, 669, 800};

Image copyArea(const Image& window, const Rect& area) {
  Image copy = createImage(area.width, area.height).value_or(Image{});
  putImageRegion(copy, 0, 0, window, area.x, area.y, area.width - 1, area.height - 1);
  return copy;
}

}  // namespace

PanelPicture copyPanel(const Screen& screen, const MemoryView& view) {
  return PanelPicture{copyArea(screen.window, kRegisterArea), copyArea(screen.window, kMemoryArea),
                      view.top};
}

bool restorePanel(Screen& screen, const MemoryView& view, const PanelPicture& picture) {
  if (picture.memoryTop != view.top) return false;
  putImage(screen.window, kRegisterArea.x, kRegisterArea.y, picture.registers);
  putImage(screen.window, kMemoryArea.x, kMemoryArea.y, picture.memory);
  return true;
}

}  // namespace akkusim
