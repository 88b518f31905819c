#pragma once
// The modal file chooser over the program folder.

#include <filesystem>
#include <string>
#include <vector>

#include "ui/screen.h"

// Names (without ".txt") of the ordinary, non-hidden *.txt files, sorted by
// name; empty when the folder is missing.
std::vector<std::string> listProgramFiles(const std::filesystem::path& folder);

// Load mode picks an entry; save mode also takes a typed name. Returns the
// name, "" when cancelled, or the window-close key.
std::string chooseFile(Screen& screen, bool loadMode, const std::string& proposedName,
                       const std::filesystem::path& folder);
