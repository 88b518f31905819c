#include "app/run_command.h"

#include <array>

#include "app/learner_aids.h"
#include "app/main_buttons.h"
#include "app/session.h"
#include "app/step_command.h"
#include "gfx/key.h"
#include "ui/button.h"
#include "ui/listing_view.h"
#include "ui/memory_view_tracker.h"
#include "ui/register_panel.h"

namespace akkusim {

namespace {

// Every command button but Starten, which turns into Stoppen during a run.
constexpr std::array<MainButton, 6> kLockedDuringRun{
    MainButton::Load, MainButton::Save,  MainButton::Assemble,
    MainButton::Step, MainButton::Reset, MainButton::New,
};

constexpr Address kRunStartTouched = 0;

}  // namespace

Button& beginRun(Screen& screen, MainButtons& buttons, MachineState& machine, RunFrame& frame) {
  for (const MainButton which : kLockedDuringRun) {
    disableButton(screen, mainButton(buttons, which));
  }
  Button& startStop = mainButton(buttons, MainButton::Run);
  startStop.label = "Stoppen";
  drawButton(screen, startStop);

  // The click that started the run must not stop it at once.
  MouseReading mouse;
  waitForRelease(screen, mouse);

  // A run marks from word 0 on, whatever the last step touched; once it
  // ends, the panel shows that step's word again and the next step goes on
  // from it.
  frame.touchedBeforeRun = machine.touched;
  machine.touched = kRunStartTouched;
  return startStop;
}

void endRun(Screen& screen, MainButtons& buttons, MachineState& machine, const RunFrame& frame) {
  machine.touched = frame.touchedBeforeRun;
  for (const MainButton which : kLockedDuringRun) {
    enableButton(screen, mainButton(buttons, which));
  }
  Button& startStop = mainButton(buttons, MainButton::Run);
  startStop.label = "Starten";
  drawButton(screen, startStop);
}

CommandResult stopAtBreakpoint(Screen& screen, Session& session, ListingView& listing) {
  const MachineState& machine = *session.machine;
  const int32_t line = session.lineMap.lineOfAddress[static_cast<std::size_t>(machine.pc)];
  // The learner must see where the run stopped, however far the listing is
  // scrolled; the highlight below shows the whole view.
  scrollListingTo(screen, listing, session.program, line, session.highlightLine);
  showExecutedLine(screen, session, listing, line);
  return CommandResult::AtBreakpoint;
}

CommandResult runProgram(Screen& screen, MainButtons& buttons, Session& session,
                         ListingView& listing, const MemoryView& memoryView) {
  MachineState& machine = *session.machine;
  const std::vector<uint8_t> stops = breakpointAddresses(session);
  RunFrame frame;
  const Button& startStop = beginRun(screen, buttons, machine, frame);
  CommandResult result = CommandResult::Done;
  MemoryViewShadow shown;    // the first pass draws the whole view
  ListingScreenSync listed;  // and shows the whole listing
  keepPictureBeforeSteps(screen, session, memoryView);
  recordRunStart(session.history, machine, frame.touchedBeforeRun);
  bool first = true;
  MouseReading mouse;
  do {
    // The run may start on a breakpoint; it stops at the next one.
    if (!first && !stops.empty() && instructionFits(machine.pc) &&
        stops[static_cast<std::size_t>(machine.pc)] != 0) {
      result = stopAtBreakpoint(screen, session, listing);
      drawMemoryView(screen, memoryView, machine, machine.touched);
      break;
    }
    result = executeStep(screen, session, listing, memoryView, listed);
    first = false;
    mouse = readMouse(screen);
    if (buttonPressed(mouse, startStop, ButtonFilter::LeftAlone)) {
      result = CommandResult::Stopped;
    }
    if (readKey(screen) == keys::kWindowClose) {
      result = CommandResult::WindowClosed;
    }
    // A pass that executed its instruction drew nothing over the memory
    // view, so repainting the words that changed gives the full picture; a
    // step that ends the run may have (HOLD, a message box).
    if (result == CommandResult::Done) {
      updateMemoryView(screen, memoryView, machine, machine.touched, shown);
    } else {
      drawMemoryView(screen, memoryView, machine, machine.touched);
    }
    sleepMs(screen, 1);
  } while (result == CommandResult::Done);
  endRun(screen, buttons, machine, frame);
  return result;
}

}  // namespace akkusim
