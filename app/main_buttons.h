#pragma once
// The seven command buttons of the main window, owned by it.

#include <array>

#include "ui/button.h"

namespace akkusim {

enum class MainButton { Load, Save, Assemble, Run, Step, Reset, New };

struct MainButtons {
  std::array<Button, 7> all;
};

// In their start-up state: labels as at start, all active.
MainButtons makeMainButtons();
Button& mainButton(MainButtons& buttons, MainButton which);
const Button& mainButton(const MainButtons& buttons, MainButton which);
// The start-up buttons, for code that needs only where they are.
const MainButtons& mainButtonLayout();

}  // namespace akkusim
