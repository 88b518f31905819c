#pragma once
// The modal file chooser over the program folder.

#include <filesystem>
#include <string>
#include <vector>

#include "gfx/screen.h"

namespace akkusim {

// Names (without ".txt") of the ordinary, non-hidden *.txt files, sorted by
// name; empty when the folder is missing.
std::vector<std::string> listProgramFiles(const std::filesystem::path& folder);

enum class ChooserEnd { Chosen, Cancelled, WindowClosed };

struct ChosenFile {
  ChooserEnd end = ChooserEnd::Cancelled;
  std::string name;  // without folder and ".txt"; empty unless chosen (and may be empty then)
};

// Load mode picks an entry; save mode also takes a typed name.
ChosenFile chooseFile(Screen& screen, bool loadMode, const std::string& proposedName,
                      const std::filesystem::path& folder);

}  // namespace akkusim
