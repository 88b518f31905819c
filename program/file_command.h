#pragma once
// Laden and Speichern with their dialogs.

#include <cstdint>
#include <filesystem>

struct Screen;
struct ListingView;

int32_t laden(Screen& screen, ListingView& listing, const std::filesystem::path& folder);
int32_t speichern(Screen& screen, ListingView& listing, const std::filesystem::path& folder);
