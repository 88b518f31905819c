#include "ui/message_box.h"

#include <algorithm>
#include <optional>
#include <string>

#include "gfx/draw.h"
#include "gfx/image.h"
#include "gfx/key.h"
#include "text/display_text.h"
#include "ui/button.h"

namespace akkusim {

namespace {

constexpr std::size_t kSingleLabelLimit = 110;
constexpr std::size_t kLabelLimit = 36;

int32_t lengthOf(const std::string& text) {
  return static_cast<int32_t>(text.size());
}

void splitLabels(const std::string& buttons, MessageLayout& layout) {
  const std::size_t first = buttons.find(kMessageLineBreak);
  if (first == std::string::npos) {
    layout.labels[0] = buttons.substr(0, kSingleLabelLimit);
    return;
  }
  layout.labels[0] = buttons.substr(0, std::min(first, kLabelLimit));
  const std::string rest = buttons.substr(first + kMessageLineBreak.size());
  const std::size_t second = rest.find(kMessageLineBreak);
  if (second == std::string::npos) {
    layout.labels[1] = rest;
    return;
  }
  layout.labels[1] = rest.substr(0, std::min(second, kLabelLimit));
  layout.labels[2] = rest.substr(second + kMessageLineBreak.size());
}

void splitLines(const std::string& text, MessageLayout& layout) {
  layout.lines[0] = text;
  layout.lineCount = 1;
  for (std::size_t line = 0; line + 1 < layout.lines.size(); ++line) {
    const std::size_t at = layout.lines[line].find(kMessageLineBreak);
    if (at == std::string::npos) {
      break;
    }
    layout.lines[line + 1] = layout.lines[line].substr(at + kMessageLineBreak.size());
    layout.lines[line].resize(at);
    layout.lineCount = static_cast<int32_t>(line) + 2;
  }
}

// Where the box's pixels and its buttons are while it is open.
struct OpenBox {
  MessageLayout layout;
  Image background;
  Image picture;
  int32_t x = 0;
  int32_t y = 0;
};

int32_t buttonX(const OpenBox& box, std::size_t button) {
  return box.x + box.layout.offsets[button];
}
int32_t buttonY(const OpenBox& box) {
  return box.y + box.layout.height - 46;
}
int32_t labelX(const OpenBox& box, std::size_t button) {
  return buttonX(box, button) +
         4 * (box.layout.longestLabel - lengthOf(box.layout.labels[button])) + 6;
}
int32_t labelY(const OpenBox& box) {
  return box.y + box.layout.height - 38;
}
int32_t buttonWidth(const OpenBox& box) {
  return 8 * box.layout.longestLabel + 10;
}
Rect buttonBounds(const OpenBox& box, std::size_t button) {
  return Rect{buttonX(box, button), buttonY(box), buttonWidth(box), 23};
}

// The rectangle under the box, even where it reaches past the window's edge
// (a box of nearly the window's width): the part outside stays unset, and
// restoring clips it away again.
void grabUnderBox(const Screen& screen, const OpenBox& box, Image& into) {
  const int32_t left = box.x - 2;
  const int32_t top = box.y - 2;
  if (!grabImage(screen, left, top, box.layout.width - 1, box.layout.height - 1, into)) {
    putImage(into, -left, -top, screen.window);
  }
}

void paintBox(Screen& screen, OpenBox& box) {
  const MessageLayout& layout = box.layout;
  Image& window = screen.window;
  const uint32_t ink = screen.foreground;
  const int32_t width = layout.width;
  const int32_t height = layout.height;
  fillBoxRel(window, box.x - 2, box.y - 2, width - 1, height - 1, kWhite);
  drawBoxRel(window, box.x, box.y, width - 5, height - 5, ink);
  drawBoxRel(window, box.x + 2, box.y + 2, width - 9, height - 9, ink);
  drawBoxRel(window, box.x + 3, box.y + 3, width - 11, height - 11, ink);
  for (int32_t line = 0; line < layout.lineCount; ++line) {
    drawText(window, box.x + 22, box.y + 20 * (line + 1) - 4,
             layout.lines[static_cast<std::size_t>(line)], ink);
  }
  const int32_t labelPixels = 8 * layout.longestLabel;
  for (std::size_t button = 0; button < layout.offsets.size(); ++button) {
    if (layout.offsets[button] < 0) {
      continue;
    }
    const int32_t left = buttonX(box, button);
    const int32_t top = buttonY(box);
    drawBoxRel(window, left, top, labelPixels + 10, 23, ink);
    drawBoxRel(window, left + 1, top + 1, labelPixels + 8, 21, ink);
    drawText(window, labelX(box, button), labelY(box), layout.labels[button], ink);
  }
}

void drawButtonPressed(Screen& screen, const OpenBox& box, std::size_t button) {
  fillBoxRel(screen.window, buttonX(box, button) + 1, buttonY(box) + 1,
             8 * box.layout.longestLabel + 8, 21, screen.foreground);
  drawText(screen.window, labelX(box, button), labelY(box), box.layout.labels[button], kWhite);
}

void drawButtonNormal(Screen& screen, const OpenBox& box, std::size_t button) {
  fillBoxRel(screen.window, buttonX(box, button) + 2, buttonY(box) + 2,
             8 * box.layout.longestLabel + 6, 19, kWhite);
  drawText(screen.window, labelX(box, button), labelY(box), box.layout.labels[button],
           screen.foreground);
}

void moveBox(Screen& screen, OpenBox& box, const MouseReading& reference, const MouseReading& now) {
  lockScreen(screen);
  putImage(screen.window, box.x - 2, box.y - 2, box.background);
  box.x += now.x - reference.x;
  box.y += now.y - reference.y;
  box.x = std::max(box.x, 2);
  box.y = std::max(box.y, 2);
  box.x = std::min(box.x, kScreenWidth + 1 - box.layout.width);
  box.y = std::min(box.y, kScreenHeight + 1 - box.layout.height);
  grabUnderBox(screen, box, box.background);
  putImage(screen.window, box.x - 2, box.y - 2, box.picture);
  unlockScreen(screen);
}

constexpr std::array<MessageAnswer, 3> kButtonAnswers{
    MessageAnswer::FirstButton, MessageAnswer::SecondButton, MessageAnswer::ThirdButton};

// Escape answers with the last button shown.
MessageAnswer escapeAnswer(const MessageLayout& layout) {
  for (std::size_t shown = layout.labels.size(); shown > 1; --shown) {
    if (!layout.labels[shown - 1].empty()) {
      return kButtonAnswers[shown - 1];
    }
  }
  return MessageAnswer::FirstButton;
}

// Waits for the next Enter, Escape, window-close key or left press. Other
// keys are dropped.
std::optional<Key> waitForAnswer(Screen& screen, MouseReading& mouse) {
  for (;;) {
    mouse = readMouse(screen);
    const std::optional<Key> key = readKey(screen);
    if (key == keys::kWindowClose) {
      return key;
    }
    sleepMs(screen, 1);
    if (mouse.buttons == MouseButtons{.left = true} || key == keys::kEnter ||
        key == keys::kEscape) {
      return key;
    }
  }
}

MessageAnswer runBox(Screen& screen, OpenBox& box) {
  const MessageLayout& layout = box.layout;
  MouseReading mouse;
  MouseReading following;
  for (;;) {
    waitForRelease(screen, mouse);
    const std::optional<Key> key = waitForAnswer(screen, mouse);
    if (key == keys::kWindowClose) {
      return MessageAnswer::WindowClosed;
    }
    if (key == keys::kEnter) {
      return MessageAnswer::FirstButton;
    }
    if (key == keys::kEscape) {
      return escapeAnswer(layout);
    }

    std::optional<std::size_t> pressed;
    for (std::size_t button = 0; button < layout.offsets.size(); ++button) {
      if (layout.offsets[button] >= 0 &&
          mouseInRect(mouse, buttonBounds(box, button), ButtonFilter::Any)) {
        pressed = button;
        drawButtonPressed(screen, box, button);
        break;
      }
    }
    // A press on the box but on none of its buttons drags the box along.
    const bool dragging =
        !pressed &&
        mouseInRect(mouse, Rect{box.x, box.y, layout.width, layout.height}, ButtonFilter::Any);

    MouseReading reference = mouse;
    do {
      following = readMouse(screen);
      if (dragging) {
        if (!following.inside) {
          break;
        }
        if (following.x != reference.x || following.y != reference.y ||
            following.wheel != reference.wheel) {
          moveBox(screen, box, reference, following);
          reference = following;
        }
      }
      sleepMs(screen, 1);
    } while (!following.inside || anyHeld(following.buttons));

    if (pressed) {
      drawButtonNormal(screen, box, *pressed);
      if (mouseInRect(following, buttonBounds(box, *pressed), ButtonFilter::Any)) {
        return kButtonAnswers[*pressed];
      }
    }
  }
}

}  // namespace

MessageLayout layoutMessage(std::string_view text, std::string_view buttons) {
  MessageLayout layout;
  splitLabels(toDisplayText(buttons), layout);
  splitLines(toDisplayText(text), layout);

  for (int32_t line = 0; line < layout.lineCount; ++line) {
    layout.longestLine =
        std::max(layout.longestLine, lengthOf(layout.lines[static_cast<std::size_t>(line)]));
  }
  for (const std::string& label : layout.labels) {
    layout.longestLabel = std::max(layout.longestLabel, lengthOf(label));
  }

  // Every button is as wide as the longest label needs.
  const int32_t buttonPixels = 8 * layout.longestLabel + 10;
  const bool threeButtons = !layout.labels[2].empty();
  const bool twoButtons = !threeButtons && !layout.labels[1].empty();
  layout.width = 8 * layout.longestLine + 54;
  layout.height = 20 * layout.lineCount + 84;
  const int32_t buttonRow = threeButtons ? 3 * buttonPixels + 55
                            : twoButtons ? 2 * buttonPixels + 40
                                         : buttonPixels + 25;
  layout.width = std::max(layout.width, buttonRow);
  layout.x = (kScreenWidth - layout.width) / 2 - 4;
  layout.y = 365 - 10 * layout.lineCount;
  layout.fits = layout.width < kScreenWidth && layout.height < kScreenHeight;
  if (!layout.fits) {
    return layout;
  }

  const int32_t centre = layout.width / 2;
  // A single or middle button sits two pixels left of the centre, its
  // neighbours 15 pixels away; of two buttons, 12 pixels apart, the second
  // starts four pixels right of the centre.
  const int32_t centred = centre - buttonPixels / 2 - 2;
  if (threeButtons) {
    layout.offsets = {centred - buttonPixels - 15, centred, centred + buttonPixels + 15};
  } else if (twoButtons) {
    layout.offsets = {centre + 4 - buttonPixels - 12, centre + 4, -1};
  } else {
    layout.offsets = {centred, -1, -1};
  }
  return layout;
}

MessageAnswer showMessage(Screen& screen, std::string_view text, std::string_view buttons) {
  OpenBox box;
  box.layout = layoutMessage(text, buttons);
  if (!box.layout.fits) {
    return MessageAnswer::NotShown;
  }
  std::optional<Image> background = createImage(box.layout.width, box.layout.height);
  std::optional<Image> picture = createImage(box.layout.width, box.layout.height);
  if (!background || !picture) {
    return MessageAnswer::NotShown;
  }
  box.background = std::move(*background);
  box.picture = std::move(*picture);
  box.x = box.layout.x;
  box.y = box.layout.y;

  lockScreen(screen);
  grabUnderBox(screen, box, box.background);
  paintBox(screen, box);
  grabUnderBox(screen, box, box.picture);
  unlockScreen(screen);

  const MessageAnswer answer = runBox(screen, box);

  putImage(screen.window, box.x - 2, box.y - 2, box.background);
  refreshScreen(screen);
  destroyImage(box.background);
  destroyImage(box.picture);
  return answer;
}

}  // namespace akkusim
