#include "ui/memory_view_tracker.h"

#include "gfx/draw.h"
#include "text/number_format.h"
#include "ui/register_panel.h"

namespace akkusim {

namespace {

constexpr int32_t kWordsPerRow = kMemoryViewColumns;
constexpr int32_t kFieldWidth = kMemoryViewFieldWidth;
constexpr int32_t kGlyphSize = 8;

struct ShownWord {
  Word value;
  bool marked;
};

// Word i of the view, or nothing past the end of memory.
bool shownWord(const MachineState& machine, std::optional<Address> touched, int32_t first,
               int32_t i, ShownWord& word) {
  const int32_t address = first + i;
  if (address < 0 || address >= kMemoryWords) {
    return false;
  }
  word.value = machine.memory[static_cast<std::size_t>(address)];
  word.marked = address == machine.instructionAddress || address == touched;
  return true;
}

void remember(const MemoryView& view, const MachineState& machine, std::optional<Address> touched,
              MemoryViewShadow& shadow) {
  shadow.top = view.top;
  const int32_t first = shadow.top * kWordsPerRow;
  for (int32_t i = 0; i < kMemoryViewWords; ++i) {
    ShownWord word{0, false};
    shownWord(machine, touched, first, i, word);
    shadow.values[static_cast<std::size_t>(i)] = word.value;
    shadow.marked[static_cast<std::size_t>(i)] = word.marked;
  }
  shadow.valid = true;
}

}  // namespace

void drawMemoryViewTracked(Screen& screen, const MemoryView& view, const MachineState& machine,
                           std::optional<Address> touched, MemoryViewShadow& shadow) {
  drawMemoryView(screen, view, machine, touched);
  remember(view, machine, touched, shadow);
}

void updateMemoryView(Screen& screen, const MemoryView& view, const MachineState& machine,
                      std::optional<Address> touched, MemoryViewShadow& shadow) {
  if (!shadow.valid || shadow.top != view.top) {
    drawMemoryViewTracked(screen, view, machine, touched, shadow);
    return;
  }
  const int32_t first = shadow.top * kWordsPerRow;
  NumberField field;
  lockScreen(screen);
  for (int32_t i = 0; i < kMemoryViewWords; ++i) {
    ShownWord word{0, false};
    if (!shownWord(machine, touched, first, i, word)) {
      break;
    }
    const auto at = static_cast<std::size_t>(i);
    if (word.value == shadow.values[at] && word.marked == shadow.marked[at]) {
      continue;
    }
    shadow.values[at] = word.value;
    shadow.marked[at] = word.marked;
    // A word's six cells hold nothing but its text on the grey background.
    const int32_t x = kMemoryViewFirstWordX + kMemoryViewWordSpacing * (i % kWordsPerRow);
    const int32_t y = kMemoryViewFirstRowY + kMemoryViewRowHeight * (i / kWordsPerRow);
    fillBox(screen.window, x, y, x + kFieldWidth * kGlyphSize - 1, y + kGlyphSize - 1, kLightGrey);
    drawText(screen.window, x, y, formatNumberInto(field, word.value, kFieldWidth),
             word.marked ? kRed : kBlack);
  }
  unlockScreen(screen);
}

void drawRegisterPanelTracked(Screen& screen, const MemoryView& view, const MachineState& machine,
                              std::optional<Address> touched, MemoryViewShadow& shadow) {
  drawPanelLines(screen);
  drawMemoryViewTracked(screen, view, machine, touched, shadow);
  drawRegisterRows(screen, machine);
}

void updateRegisterPanel(Screen& screen, const MemoryView& view, const MachineState& machine,
                         std::optional<Address> touched, MemoryViewShadow& shadow) {
  if (!shadow.valid || shadow.top != view.top) {
    drawRegisterPanelTracked(screen, view, machine, touched, shadow);
    return;
  }
  // The dividing lines are left as they are: the view paints over one of
  // their pixels, and the caller keeps the shadow valid only while the
  // panel it drew last is on the screen.
  updateMemoryView(screen, view, machine, touched, shadow);
  drawRegisterRows(screen, machine);
}

}  // namespace akkusim
