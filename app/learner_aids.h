#pragma once
// The learner aids beside the buttons: the help box, one step back and the
// breakpoints, each on a function key.

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "app/command_result.h"
#include "gfx/key.h"

namespace akkusim {

struct Screen;
struct ListingView;
struct MemoryView;
struct Session;

enum class Aid { Help, StepBack, FastRun, Breakpoint };

// The aid a key asks for, nothing for the editor's keys.
std::optional<Aid> aidOfKey(Key key);

// The help box's text (display lines joined with the message line break).
std::string_view helpText();
CommandResult showHelp(Screen& screen);

// Takes the newest step back: machine, executed-line mark and panel. With
// no step left a message box says so (NotDone).
CommandResult stepBack(Screen& screen, Session& session, ListingView& listing,
                       const MemoryView& memoryView);

// Called before a step is recorded: keeps the panel's picture when the
// step is the history's first.
void keepPictureBeforeSteps(const Screen& screen, Session& session, const MemoryView& memoryView);

// Sets or clears the breakpoint on the editor's current line and redraws it.
void toggleBreakpoint(Screen& screen, Session& session, ListingView& listing);

// One byte per address, non-zero where the last Assemble put a breakpoint
// line's instruction (for a line without one, the instruction after it);
// empty without breakpoints, so that a run need not look.
std::vector<uint8_t> breakpointAddresses(const Session& session);

}  // namespace akkusim
