#pragma once
// Register rows, flags and the memory view of 78 rows of 10 words.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "gfx/screen.h"
#include "machine/machine_state.h"
#include "text/number_format.h"

namespace akkusim {

// The memory view's grid: 78 rows of 10 six-character words, rows 10 pixels
// apart from y 15, words 60 pixels apart from x 500.
inline constexpr int32_t kMemoryViewRows = 78;
inline constexpr int32_t kMemoryViewColumns = 10;
inline constexpr int32_t kMemoryViewFieldWidth = 6;
inline constexpr int32_t kMemoryViewFirstRowY = 15;
inline constexpr int32_t kMemoryViewRowHeight = 10;
inline constexpr int32_t kMemoryViewFirstWordX = 500;
inline constexpr int32_t kMemoryViewWordSpacing = 60;

// Rows the view can start at: the last row shows the end of memory.
inline constexpr int16_t kMaxMemoryViewTop =
    (kMemoryWords + kMemoryViewColumns - 1) / kMemoryViewColumns - kMemoryViewRows;

// The view's own state: the row at its top, as the mouse wheel scrolled it.
struct MemoryView {
  int16_t top = 0;
};

// The words at instructionAddress and at `touched` are red: the machine's own
// touched word, or none while a message is up.
void drawRegisterPanel(Screen& screen, const MemoryView& view, const MachineState& machine,
                       std::optional<Address> touched);
void drawMemoryView(Screen& screen, const MemoryView& view, const MachineState& machine,
                    std::optional<Address> touched);
// The panel's parts besides the memory view: its two dividing lines, and the
// register rows with the flags.
void drawPanelLines(Screen& screen);
void drawRegisterRows(Screen& screen, const MachineState& machine);

// What the panel shows, copied off the screen: the registers with the flags,
// and the memory view with the row it was scrolled to.
struct PanelPicture {
  Image registers;
  Image memory;
  int16_t memoryTop = 0;
};

PanelPicture copyPanel(const Screen& screen, const MemoryView& view);
// Puts the copy back; false (nothing drawn) when the memory view has been
// scrolled since, so that the picture would not match it.
bool restorePanel(Screen& screen, const MemoryView& view, const PanelPicture& picture);

}  // namespace akkusim
