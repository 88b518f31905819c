#pragma once
// What the page has seen of the pointer and the keyboard, kept the way the
// desktop window keeps it: the page forwards its DOM events, the polling
// calls read this state.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "gfx/key.h"
#include "gfx/key_queue.h"
#include "gfx/platform.h"

namespace akkusim {

struct WebInput {
  KeyQueue keys;
  int32_t x = -1;  // framebuffer pixels; outside the canvas when off 0..1099 / 0..799
  int32_t y = -1;
  int32_t wheel = 0;
  int32_t buttons = 0;
  // Buttons pressed since the last reading: a click that begins and ends
  // while the program sleeps is still seen once.
  int32_t pressedSinceRead = 0;
  // The last reading showed a button held: the program waits for a reading
  // without one before it takes the next click.
  bool readHeld = false;
  bool focused = true;  // the page has the focus
  std::array<bool, 128> down{};
};

void applyKeyDown(WebInput& input, std::string_view key, std::string_view code, uint32_t modifiers);
void applyKeyUp(WebInput& input, std::string_view code);
void applyPointerMove(WebInput& input, int32_t x, int32_t y);
// `button` as the DOM numbers it: 0 left, 1 middle, 2 right.
void applyButton(WebInput& input, int32_t x, int32_t y, int32_t button, bool pressed);
// Notches away from the user count up, as on the desktop.
void applyWheel(WebInput& input, int32_t notches);
// Gaining or losing the focus releases every key and button.
void applyFocus(WebInput& input, bool focused);

// The pointer events the program must see one reading apart.
enum class PointerStep { Move, Press };

// Whether the next pointer event has to wait for the program's next reading
// of the mouse. A busy page may find several clicks queued at once; taken
// together, the last one's place would hide the others, and a click taken
// while the program still waits for the previous release would vanish in
// that wait. Each wait ends after at most two readings.
bool waitsForReading(const WebInput& input, PointerStep step);

MouseReading readMouse(WebInput& input);
std::optional<Key> readKey(WebInput& input);
bool isKeyDown(const WebInput& input, int32_t scancode);

}  // namespace akkusim
