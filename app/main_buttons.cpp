#include "app/main_buttons.h"

namespace akkusim {

MainButtons makeMainButtons() {
  return {{
      makeButton({30, 130, 80, 15}, "Laden"),
      makeButton({30, 155, 80, 15}, "Speichern"),
      makeButton({130, 130, 80, 15}, "Assemble"),
      makeButton({130, 155, 80, 15}, "Starten"),
      makeButton({230, 130, 80, 15}, "Schritt"),
      makeButton({230, 155, 80, 15}, "Reset"),
      makeButton({330, 130, 80, 15}, "Neu"),
  }};
}

Button& mainButton(MainButtons& buttons, MainButton which) {
  return buttons.all[static_cast<std::size_t>(which)];
}

const Button& mainButton(const MainButtons& buttons, MainButton which) {
  return buttons.all[static_cast<std::size_t>(which)];
}

const MainButtons& mainButtonLayout() {
  static const MainButtons layout = makeMainButtons();
  return layout;
}

}  // namespace akkusim
