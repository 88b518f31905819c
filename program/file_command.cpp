#include "program/file_command.h"
// STUB: replaced by the program-files work.
int32_t laden(Screen&, ListingView&, const std::filesystem::path&) { return 0; }
int32_t speichern(Screen&, ListingView&, const std::filesystem::path&) { return 0; }
