#include "app/main_window.h"

#include <algorithm>
#include <array>

#include "app/assemble_command.h"
#include "app/fast_run_command.h"
#include "app/file_command.h"
#include "app/learner_aids.h"
#include "app/main_buttons.h"
#include "app/run_command.h"
#include "app/step_command.h"
#include "ui/memory_view_tracker.h"
#include "ui/register_panel.h"

namespace akkusim {

namespace {

constexpr int32_t kWheelStep = 50;
constexpr int32_t kShiftWheelStep = 500;
// The memory view's side of the window, right of the dividing line; the
// wheel scrolls it while the pointer is strictly inside.
constexpr Rect kMemoryArea{430, 0, 669, 799};
// The first picture marks word 1, the parameter of the instruction at 0 that
// a fresh machine shows as executed; the machine itself has touched word 0.
constexpr Address kStartUpTouched = 1;

bool pressed(const MainWindow& main, MainButton which) {
  return buttonPressed(main.mouse, mainButton(main.buttons, which), ButtonFilter::LeftAlone);
}

void drawPanel(Screen& screen, MainWindow& main) {
  const MachineState& machine = *main.session.machine;
  drawRegisterPanelTracked(screen, main.memoryView, machine, machine.touched,
                           main.session.panelShown);
}

void waitForButtonRelease(Screen& screen, MainWindow& main) {
  main.lastWheel = waitForRelease(screen, main.mouse);
}

void assembleSequence(Screen& screen, MainWindow& main) {
  main.result = assemble(screen, main.session, main.memoryView);
  // A program that does not assemble leaves the machine as it was, and with
  // it the steps that led there.
  if (main.result == CommandResult::Done) clearHistory(main.session.history);
  waitForButtonRelease(screen, main);
  clearHighlight(screen, main.listing, main.session.program, main.session.highlightLine);
}

void loadSequence(Screen& screen, MainWindow& main) {
  main.result = loadProgram(screen, main.session, *main.programs);
  if (main.result == CommandResult::WindowClosed) return;
  if (main.result == CommandResult::Done) clearHistory(main.session.history);
  main.listing.view.contentHeight = kListingRowHeight * lineCount(main.session.program);
  main.listing.view.scrollY = 0;
  redrawListing(screen, main.listing, main.session.program);
  main.session.cursor.currentLine = 0;
  main.session.cursor.cursorColumn = 1;
  // The loop pads the current line only when it turns: without this a full
  // first line would take the next typed character and lose its last one.
  padCurrentLine(main.session);
  drawTextCursor(screen, main);
  waitForButtonRelease(screen, main);
  clearHighlight(screen, main.listing, main.session.program, main.session.highlightLine);
}

void saveSequence(Screen& screen, MainWindow& main) {
  main.result = saveProgram(screen, main.session, *main.programs);
  waitForButtonRelease(screen, main);
}

void runSequence(Screen& screen, MainWindow& main) {
  main.result = runProgram(screen, main.buttons, main.session, main.listing, main.memoryView);
  drawPanel(screen, main);
  drawTextCursor(screen, main);
  waitForButtonRelease(screen, main);
}

void stepSequence(Screen& screen, MainWindow& main) {
  main.result = executeStep(screen, main.session, main.listing, main.memoryView);
  drawPanel(screen, main);
  drawTextCursor(screen, main);
  waitForButtonRelease(screen, main);
}

void resetSequence(Screen& screen, MainWindow& main) {
  resetMachine(*main.session.machine);
  clearHistory(main.session.history);
  drawPanel(screen, main);
  drawTextCursor(screen, main);
  waitForButtonRelease(screen, main);
  clearHighlight(screen, main.listing, main.session.program, main.session.highlightLine);
}

void newSequence(Screen& screen, MainWindow& main) {
  newProgram(screen, main.session, main.listing);
  clearHistory(main.session.history);
  drawTextCursor(screen, main);
  waitForButtonRelease(screen, main);
}

// A learner aid's key, read by the editor's pass and left to the loop.
void aidSequence(Screen& screen, MainWindow& main, Aid aid) {
  if (aid != Aid::StepBack) main.session.panelShown.valid = false;
  switch (aid) {
    case Aid::Help:
      main.result = showHelp(screen);
      return;
    case Aid::StepBack:
      main.result = stepBack(screen, main.session, main.listing, main.memoryView);
      return;
    case Aid::FastRun:
      main.result = fastRun(screen, main.buttons, main.session, main.listing, main.memoryView);
      drawPanel(screen, main);
      waitForButtonRelease(screen, main);
      return;
    case Aid::Breakpoint:
      toggleBreakpoint(screen, main.session, main.listing);
      return;
  }
}

// Turning the wheel away from the user scrolls towards address 0. Movement
// outside the memory view is not recorded, so re-entering takes one step.
void memoryWheelStep(Screen& screen, MainWindow& main) {
  const bool shift =
      isKeyDown(screen, scancodes::kLeftShift) || isKeyDown(screen, scancodes::kRightShift);
  const int32_t step = shift ? kShiftWheelStep : kWheelStep;
  MemoryView& view = main.memoryView;
  const MachineState& machine = *main.session.machine;
  const int32_t top = view.top;
  main.session.panelShown.valid = false;
  if (main.mouse.wheel > main.lastWheel && top > 0) {
    view.top = static_cast<int16_t>(std::max(top - step, 0));
    drawMemoryView(screen, view, machine, machine.touched);
  } else if (main.mouse.wheel < main.lastWheel && top < kMaxMemoryViewTop) {
    view.top = static_cast<int16_t>(std::min(top + step, static_cast<int32_t>(kMaxMemoryViewTop)));
    drawMemoryView(screen, view, machine, machine.touched);
  }
  main.lastWheel = main.mouse.wheel;
}

// The buttons in the order the poll asks them: the first one it shows
// pressed runs its sequence.
struct ButtonSequence {
  MainButton button;
  void (*sequence)(Screen&, MainWindow&);
};
constexpr std::array<ButtonSequence, 7> kButtonSequences{{
    {MainButton::Assemble, assembleSequence},
    {MainButton::Load, loadSequence},
    {MainButton::Save, saveSequence},
    {MainButton::Run, runSequence},
    {MainButton::Step, stepSequence},
    {MainButton::Reset, resetSequence},
    {MainButton::New, newSequence},
}};

// A button's sequence, or else the wheel may scroll the memory view.
void dispatchPointer(Screen& screen, MainWindow& main) {
  for (const ButtonSequence& entry : kButtonSequences) {
    if (pressed(main, entry.button)) {
      // A sequence that ends with the whole panel drawn makes it valid again.
      main.session.panelShown.valid = false;
      entry.sequence(screen, main);
      return;
    }
  }
  if (mouseInRect(main.mouse, kMemoryArea, ButtonFilter::Any)) memoryWheelStep(screen, main);
}

void keepCursorLineVisible(Screen& screen, MainWindow& main) {
  ScrollView& view = main.listing.view;
  const int32_t lineY = main.session.cursor.currentLine * kListingRowHeight;
  const int32_t viewHeight = view.bounds.height;
  if (lineY < view.scrollY) {
    view.scrollY = lineY;
    redrawListing(screen, main.listing, main.session.program);
  } else if (lineY >= viewHeight + view.scrollY) {
    view.scrollY = lineY - viewHeight + kListingRowHeight;
    redrawListing(screen, main.listing, main.session.program);
  }
}

}  // namespace

// The cursor is drawn once more right after a line move, before the listing
// scrolls to the new line; a line above or below the view must not leave a
// box on the panel or the buttons, which nothing would paint over.
void drawTextCursor(Screen& screen, const MainWindow& main) {
  const ScrollView& view = main.listing.view;
  const int32_t top = view.bounds.y;
  const int32_t bottom = lastRow(view.bounds);
  const int32_t x = main.session.cursor.cursorColumn * 8 + 52;
  const int32_t y = main.session.cursor.currentLine * kListingRowHeight + top - view.scrollY;
  if (y + 9 < top || y > bottom) return;
  fillBox(screen.window, x, std::max(y, top), x + 2, std::min(y + 9, bottom), screen.foreground);
}

Status startMainWindow(Screen& screen, MainWindow& main) {
  main.buttons = makeMainButtons();
  Status opened = openScreen(screen, kScreenWidth, kScreenHeight);
  if (!opened) return opened;
  setColors(screen, kBlack, kWhite);
  clearScreen(screen);

  main.mouse = MouseReading{};
  main.lastWheel = 0;
  main.session = Session{};
  main.memoryView = MemoryView{};
  main.listing = makeListingView();
  if (main.firstProgram) {
    main.session.program = std::move(*main.firstProgram);
    main.firstProgram.reset();
    main.listing.view.contentHeight = kListingRowHeight * lineCount(main.session.program);
  }

  drawRegisterPanel(screen, main.memoryView, *main.session.machine, kStartUpTouched);
  redrawListing(screen, main.listing, main.session.program);
  for (const Button& button : main.buttons.all) drawButton(screen, button);

  main.key.reset();
  main.result = CommandResult::Done;
  waitForButtonRelease(screen, main);
  return succeeded();
}

void runMainLoop(Screen& screen, MainWindow& main) {
  do {
    padCurrentLine(main.session);
    drawTextCursor(screen, main);
    while (true) {
      main.mouse = readMouse(screen);
      main.result = CommandResult::Done;
      dispatchPointer(screen, main);
      if (main.result == CommandResult::WindowClosed) {
        main.key = keys::kWindowClose;
        break;
      }
      const EditorKeyResult step = editorKeyStep(screen, main.session, main.listing);
      const std::optional<Aid> aid = step.key ? aidOfKey(*step.key) : std::nullopt;
      if (aid) {
        aidSequence(screen, main, *aid);
        if (main.result == CommandResult::WindowClosed) {
          main.key = keys::kWindowClose;
          break;
        }
      }
      main.key = step.key;
      // A run that followed its executed line may have scrolled the cursor's
      // line out of view: the key the editor took shows it again.
      if (main.key && !aid && main.key != keys::kWindowClose) keepCursorLineVisible(screen, main);
      const bool movesLine =
          step.endsPass && main.key != keys::kEnter && main.key != keys::kWindowClose;
      if (main.key && !movesLine) drawTextCursor(screen, main);
      if (step.endsPass) break;
      // A pass that found no key pauses for 1 ms: polling without a pause
      // would keep a whole processor core busy while the learner reads.
      if (!main.key) sleepMs(screen, 1);
    }
    lineMovementStep(screen, main.session, main.listing, main.key);
    drawTextCursor(screen, main);
    keepCursorLineVisible(screen, main);
    sleepMs(screen, 1);
  } while (main.key != keys::kWindowClose);
}

int32_t runMainWindow(Screen& screen, ProgramStore& programs) {
  MainWindow main;
  main.programs = &programs;
  return runMainWindow(screen, main);
}

int32_t runMainWindow(Screen& screen, MainWindow& main) {
  if (!startMainWindow(screen, main)) return 1;
  runMainLoop(screen, main);
  main.key.reset();
  destroyListingView(main.listing);
  return 0;
}

}  // namespace akkusim
