#pragma once
// One SDL event into the input state the polling calls read.

#include <SDL.h>

#include "platform/window/input_state.h"

namespace akkusim {

// Records the event (keys, pointer, focus, the close button) for a window
// shown at `scale`; true when the window needs its whole picture again.
bool recordEvent(InputState& input, const SDL_Event& event, int scale);

}  // namespace akkusim
