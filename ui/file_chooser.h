#pragma once
// The modal file chooser over the program folder.

#include <string>

#include "files/program_store.h"
#include "gfx/screen.h"

namespace akkusim {

enum class ChooserEnd { Chosen, Cancelled, WindowClosed };

struct ChosenFile {
  ChooserEnd end = ChooserEnd::Cancelled;
  std::string name;  // without folder and ".txt"; empty unless chosen (and may be empty then)
};

// Load mode picks one of the store's programs; save mode also takes a typed
// name, under the program folder's name rule.
ChosenFile chooseFile(Screen& screen, bool loadMode, const std::string& proposedName,
                      ProgramStore& store);

}  // namespace akkusim
