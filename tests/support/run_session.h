#pragma once
// The main window scripted for the Assemble, Schritt, Starten/Stoppen and
// Reset tests, and the checks of what its screen shows afterwards.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "app/command_result.h"
#include "app/main_buttons.h"
#include "gfx/image.h"
#include "gfx/key.h"
#include "gfx/screen.h"
#include "platform/headless/headless_platform.h"
#include "support/main_window_fixture.h"

namespace akkusim {

// --- what the window shows ---------------------------------------------

bool showsText(const Image& shot, int32_t x, int32_t y, std::string_view text, uint32_t colour,
               uint32_t background = kWhite);

// The message box with exactly this text, open at its starting place.
bool showsMessage(const Image& shot, std::string_view text, std::string_view buttons);

std::string registerRow(std::string_view label, std::string_view value);

// A memory word's six-character field while the view shows rows from 0.
bool wordIsRed(const Image& shot, int32_t address);

uint32_t listingRowBackground(const Image& shot, int32_t lineIndex);

// --- scripting -----------------------------------------------------------

struct RunSession : MainWindowSession {
  RunSession() { platform.wait(5); }

  HeadlessPlatform& typeProgram(const std::vector<std::string>& lines) {
    for (const std::string& line : lines) {
      platform.type(line).key(keys::kEnter);
    }
    return platform;
  }

  HeadlessPlatform& capture(Image& into) {
    return platform.call([this, &into] { into = screen.window; });
  }

  // Press and hold a main button, note the command's result while it is
  // still held, then release.
  HeadlessPlatform& pressNotingResult(MainButton which, CommandResult& result) {
    platform.moveTo(buttonX(which), buttonY(which)).press().wait(4);
    platform.call([this, &result] { result = main.result; });
    return platform.wait(1).release().wait(5);
  }
};

inline constexpr double kBoxOpen = 30;  // ms after a click: any message box is up

}  // namespace akkusim
