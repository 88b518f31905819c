#include "ui/file_chooser.h"

#include <algorithm>
#include <optional>

#include "files/program_folder.h"
#include "gfx/draw.h"
#include "gfx/image.h"
#include "text/ascii_case.h"
#include "text/display_text.h"
#include "ui/button.h"
#include "ui/edit_key.h"
#include "ui/scroll_view.h"

namespace akkusim {

namespace {

// The dialog covers the middle of the window; the list sits inside it.
constexpr Rect kDialog{250, 200, 600, 400};
constexpr Rect kList{260, 245, 450, 345};
constexpr int32_t kRowHeight = 15;
constexpr int32_t kWheelStep = kRowHeight;
constexpr int32_t kShiftWheelStep = kList.height;

// The name field, 40 cells at (410, 220) on the window.
constexpr int32_t kNameX = kDialog.x + 160;
constexpr int32_t kNameY = kDialog.y + 20;
constexpr auto kMaxNameLength = static_cast<int32_t>(kMaxProgramNameLength);

// The list image is whole-content, 15 rows a file: a folder stuffed with
// files must not turn into an image of hundreds of megabytes.
constexpr std::size_t kMaxEntries = 2000;

void drawCursorBar(Image& target, int32_t x, int32_t y, uint32_t colour) {
  fillBoxRel(target, x, y, 2, 9, colour);
}

struct Dialog {
  bool loadMode = true;
  std::string name;
  int32_t cursor = 1;
  std::vector<std::string> entries;
  ScrollView dialogView;
  ScrollView listView;
  Image background;
  Button cancel;
  Button save;
  MouseReading mouse;
  std::optional<int32_t> lastWheel;  // none after a failed reading
};

void open(Screen& screen, Dialog& dialog, ProgramStore& store) {
  const uint32_t ink = screen.foreground;
  dialog.cursor = static_cast<int32_t>(dialog.name.size()) + 1;
  dialog.dialogView = makeScrollView(kDialog, kDialog.width, kDialog.height, true, kWhite);
  dialog.background = createImage(kDialog.width, kDialog.height).value_or(Image{});
  const int32_t wheel = waitForRelease(screen, dialog.mouse);
  if (dialog.mouse.inside) dialog.lastWheel = wheel;
  dialog.cancel = makeButton({740, 550, 85, 20}, "Abbruch");
  dialog.save = makeButton({740, 520, 85, 20}, "Speichern");
  grabImage(screen, kDialog.x, kDialog.y, kDialog.width - 1, kDialog.height - 1, dialog.background);

  dialog.entries = store.list();
  if (dialog.entries.size() > kMaxEntries) dialog.entries.resize(kMaxEntries);

  Image& picture = dialog.dialogView.image;
  drawBoxRel(picture, 1, 1, 597, 397, ink);
  drawBoxRel(picture, 3, 3, 593, 393, ink);
  drawBoxRel(picture, 4, 4, 591, 391, ink);
  if (dialog.loadMode) {
    drawText(picture, 20, 20, toDisplayText("Datei wählen, die geladen werden soll:"), ink);
  } else {
    drawText(picture, 20, 20, toDisplayText("Speichern unter:"), ink);
    drawText(picture, 160, 20, dialog.name, ink);
    drawCursorBar(picture, 152 + 8 * dialog.cursor, 19, ink);
  }

  const auto count = static_cast<int32_t>(dialog.entries.size());
  dialog.listView = makeScrollView(kList, kList.width, kRowHeight * count, true, kWhite);
  for (int32_t i = 0; i < count; ++i) {
    drawText(dialog.listView.image, 5, kRowHeight * i + 4,
             std::string_view(dialog.entries[static_cast<std::size_t>(i)]).substr(0, 40), ink);
  }

  showView(screen, dialog.dialogView, false, false);
  showView(screen, dialog.listView, true, true);
  drawButton(screen, dialog.cancel);
  if (!dialog.loadMode) drawButton(screen, dialog.save);
}

ChosenFile close(Screen& screen, Dialog& dialog, ChosenFile result) {
  putImage(screen.window, kDialog.x, kDialog.y, dialog.background);
  destroyImage(dialog.background);
  destroyScrollView(dialog.listView);
  destroyScrollView(dialog.dialogView);
  return result;
}

void redrawNameField(Screen& screen, Dialog& dialog) {
  const uint32_t ink = screen.foreground;
  // Three pixels wider than the 40 cells, so that the cursor bar behind a
  // full name (column 41) is wiped too when the name gets shorter again.
  fillBoxRel(screen.window, kNameX, kNameY - 1, 8 * kMaxNameLength + 2, 9, kWhite);
  drawText(screen.window, kNameX, kNameY, dialog.name, ink);
  drawCursorBar(screen.window, kNameX - 8 + 8 * dialog.cursor, kNameY - 1, ink);
  if (dialog.name.empty()) {
    disableButton(screen, dialog.save);
  } else {
    enableButton(screen, dialog.save);
  }
}

// The index of the entry under the pointer, if a left press is on one.
std::optional<std::size_t> pickedEntry(const Dialog& dialog) {
  if (!buttonPressed(dialog.mouse, dialog.listView, ButtonFilter::LeftAlone)) return std::nullopt;
  const int32_t index = (dialog.mouse.y - kList.y + dialog.listView.scrollY) / kRowHeight;
  if (index < 0 || static_cast<std::size_t>(index) >= dialog.entries.size()) return std::nullopt;
  return static_cast<std::size_t>(index);
}

void followWheel(Screen& screen, Dialog& dialog) {
  const MouseReading& mouse = dialog.mouse;
  if (!mouse.inside) {
    dialog.lastWheel.reset();
    return;
  }
  if (dialog.lastWheel && buttonPressed(mouse, dialog.listView, ButtonFilter::Any) &&
      mouse.wheel != *dialog.lastWheel) {
    const bool shift =
        isKeyDown(screen, scancodes::kLeftShift) || isKeyDown(screen, scancodes::kRightShift);
    const int32_t step = shift ? kShiftWheelStep : kWheelStep;
    scrollBy(dialog.listView, 0, mouse.wheel < *dialog.lastWheel ? step : -step);
    showView(screen, dialog.listView, true, true);
  }
  dialog.lastWheel = mouse.wheel;
}

}  // namespace

ChosenFile chooseFile(Screen& screen, bool loadMode, const std::string& proposedName,
                      ProgramStore& store) {
  Dialog dialog;
  dialog.loadMode = loadMode;
  dialog.name = proposedName;
  open(screen, dialog, store);

  const auto chosen = [](std::string name) {
    return ChosenFile{ChooserEnd::Chosen, std::move(name)};
  };
  std::optional<Key> key;
  const EditKeyReader reader = screenKeyReader(screen, key);
  for (;;) {
    dialog.mouse = readMouse(screen);
    key.reset();
    if (loadMode) {
      key = readKey(screen);
    } else {
      std::optional<EditKey> edited;
      dialog.name = applyKeyToLine(dialog.name, kProgramNameCharacterRules, edited, kMaxNameLength,
                                   dialog.cursor, reader);
      // Left at the first column would put the bar outside the field and
      // send the next insertion to the end of the name.
      dialog.cursor = std::max(dialog.cursor, 1);
      if (key) {
        redrawNameField(screen, dialog);
        if (key == keys::kEnter) return close(screen, dialog, chosen(dialog.name));
      }
    }
    // Closing the window wins over anything else in the same pass.
    if (key == keys::kWindowClose) {
      return close(screen, dialog, ChosenFile{ChooserEnd::WindowClosed, {}});
    }

    if (const auto picked = pickedEntry(dialog)) {
      return close(screen, dialog, chosen(dialog.entries[*picked]));
    }
    if (buttonPressed(dialog.mouse, dialog.cancel, ButtonFilter::LeftAlone) ||
        key == keys::kEscape) {
      return close(screen, dialog, ChosenFile{ChooserEnd::Cancelled, {}});
    }
    if (!loadMode && buttonPressed(dialog.mouse, dialog.save, ButtonFilter::LeftAlone)) {
      return close(screen, dialog, chosen(dialog.name));
    }
    followWheel(screen, dialog);
    sleepMs(screen, 1);
  }
}

}  // namespace akkusim
