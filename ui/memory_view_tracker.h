#pragma once
// The memory view as last drawn, word by word, so that the run loop can
// repaint only the words that changed between two of its passes instead of
// the whole grid of 780 words.

#include <array>
#include <cstdint>
#include <optional>

#include "gfx/screen.h"
#include "machine/machine_state.h"
#include "ui/register_panel.h"

namespace akkusim {

inline constexpr int32_t kMemoryViewWords = kMemoryViewRows * kMemoryViewColumns;

struct MemoryViewShadow {
  bool valid = false;  // false: the next update draws the whole view
  int16_t top = 0;     // the view's top row in the drawing
  std::array<Word, kMemoryViewWords> values{};
  std::array<bool, kMemoryViewWords> marked{};
};

// drawMemoryView, remembering what it drew.
void drawMemoryViewTracked(Screen& screen, const MemoryView& view, const MachineState& machine,
                           std::optional<Address> touched, MemoryViewShadow& shadow);

// The same pixels as drawMemoryView, on the condition that nothing else has
// drawn over the memory view since the last tracked drawing: only words
// whose value or red mark changed are repainted. Draws the whole view when
// the shadow is not valid or the view shows other rows.
void updateMemoryView(Screen& screen, const MemoryView& view, const MachineState& machine,
                      std::optional<Address> touched, MemoryViewShadow& shadow);

// drawRegisterPanel and updateMemoryView's counterparts for the whole
// panel: the register rows are cheap and always drawn.
void drawRegisterPanelTracked(Screen& screen, const MemoryView& view, const MachineState& machine,
                              std::optional<Address> touched, MemoryViewShadow& shadow);
void updateRegisterPanel(Screen& screen, const MemoryView& view, const MachineState& machine,
                         std::optional<Address> touched, MemoryViewShadow& shadow);

}  // namespace akkusim
