#include "platform/sdl/sdl_events.h"

#include "platform/sdl/key_map.h"
#include "platform/window/window_scale.h"
#include "text/cp437.h"

namespace akkusim {

bool recordEvent(InputState& input, const SDL_Event& event, int scale) {
  switch (event.type) {
    case SDL_TEXTINPUT:
      forEachCp437Byte(event.text.text, [&input](char byte) {
        pushKey(input.keys, keys::character(static_cast<uint8_t>(byte)));
      });
      return false;
    case SDL_KEYDOWN: {
      const int code = set1Of(event.key.keysym.scancode);
      if (code > 0) input.down[static_cast<std::size_t>(code)] = true;
      if (const std::optional<Key> key = extendedKey(event.key.keysym.sym)) {
        pushKey(input.keys, *key);
      } else if (const char control = controlByte(event.key.keysym.sym)) {
        pushKey(input.keys, keys::character(static_cast<uint8_t>(control)));
      }
      return false;
    }
    case SDL_KEYUP: {
      const int code = set1Of(event.key.keysym.scancode);
      if (code > 0) input.down[static_cast<std::size_t>(code)] = false;
      return false;
    }
    case SDL_MOUSEMOTION:
      input.x = unscaled(event.motion.x, scale);
      input.y = unscaled(event.motion.y, scale);
      input.inside = true;
      return false;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
      input.x = unscaled(event.button.x, scale);
      input.y = unscaled(event.button.y, scale);
      if (event.type == SDL_MOUSEBUTTONDOWN) {
        input.buttons |= buttonBit(event.button.button);
        input.pressedSinceRead |= buttonBit(event.button.button);
      } else {
        input.buttons &= ~buttonBit(event.button.button);
      }
      return false;
    case SDL_MOUSEWHEEL:
      input.wheel +=
          event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -event.wheel.y : event.wheel.y;
      return false;
    case SDL_WINDOWEVENT:
      switch (event.window.event) {
        case SDL_WINDOWEVENT_ENTER:
          input.inside = true;
          return false;
        case SDL_WINDOWEVENT_LEAVE:
          input.inside = false;
          return false;
        case SDL_WINDOWEVENT_FOCUS_GAINED:
          input.focused = true;
          releaseAll(input);
          return false;
        case SDL_WINDOWEVENT_FOCUS_LOST:
          input.focused = false;
          releaseAll(input);
          return false;
        case SDL_WINDOWEVENT_CLOSE:
          pushKey(input.keys, keys::kWindowClose);
          return false;
        case SDL_WINDOWEVENT_EXPOSED:
        case SDL_WINDOWEVENT_SIZE_CHANGED:
          return true;
        default:
          return false;
      }
    default:
      // SDL_QUIT follows the close event of the last window: already queued.
      return false;
  }
}

}  // namespace akkusim
