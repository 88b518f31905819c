#pragma once
// Laden and Speichern with their dialogs.

#include <cstdint>
#include <filesystem>

#include "app/command_result.h"

namespace akkusim {

struct Screen;
struct Session;

// Done also when the file was read with losses and the warning confirmed.
CommandResult laden(Screen& screen, Session& session, const std::filesystem::path& folder);
CommandResult speichern(Screen& screen, Session& session, const std::filesystem::path& folder);

}  // namespace akkusim
