#include "app/fast_run_command.h"

#include <cstdint>
#include <optional>
#include <vector>

#include "app/learner_aids.h"
#include "app/main_buttons.h"
#include "app/run_command.h"
#include "app/session.h"
#include "app/step_command.h"
#include "gfx/key.h"
#include "machine/execute.h"
#include "ui/button.h"
#include "ui/listing_view.h"
#include "ui/register_panel.h"

namespace akkusim {

namespace {

// Steps between two looks at the clock: a few microseconds of work.
constexpr int64_t kChunkSteps = 16384;
// A batch ends after this long, so the window is polled and can present
// about 60 frames a second (Screen throttles the presents).
constexpr int64_t kBatchMicros = 15000;
constexpr int32_t kChunksOnAStillClock = 16;

struct Batch {
  RecordedRun last;
  bool ends = false;  // an outcome other than Executed, or a breakpoint
};

// Runs chunks until the batch's time is up. A clock that does not move
// while steps run (a scripted window's) ends the batch after a few chunks;
// a coarse one (a browser's) moves within them.
Batch runBatch(Screen& screen, Session& session, const std::vector<uint8_t>& stops, bool& first) {
  Platform& platform = *screen.platform;
  const int64_t start = platform.nowMicros();
  Batch batch;
  int32_t chunks = 0;
  while (true) {
    // The run leaves the breakpoint it starts on.
    batch.last =
        runInstructionsRecorded(*session.machine, kChunkSteps, session.history, stops, first);
    first = false;
    ++chunks;
    batch.ends = batch.last.atBreakpoint || batch.last.run.lastOutcome != StepOutcome::Executed;
    const int64_t now = platform.nowMicros();
    if (batch.ends || now - start >= kBatchMicros) return batch;
    if (now == start && chunks > kChunksOnAStillClock) return batch;
  }
}

// The listing follows the line the run shows, so that it can be seen move.
void followLine(Screen& screen, Session& session, ListingView& listing, int32_t line,
                ListingScreenSync& listed) {
  if (scrollListingTo(screen, listing, session.program, line, session.highlightLine)) {
    listed.screenShowsImage = false;
  }
}

int32_t executedLine(const Session& session) {
  const MachineState& machine = *session.machine;
  if (!hasExecuted(machine)) return kNoLine;
  return session.lineMap.lineOfAddress[static_cast<std::size_t>(machine.instructionAddress)];
}

}  // namespace

CommandResult fastRun(Screen& screen, MainButtons& buttons, Session& session, ListingView& listing,
                      const MemoryView& memoryView) {
  MachineState& machine = *session.machine;
  const std::vector<uint8_t> stops = breakpointAddresses(session);
  RunFrame frame;
  const Button& startStop = beginRun(screen, buttons, machine, frame);
  ListingScreenSync listed;
  keepPictureBeforeSteps(screen, session, memoryView);
  recordRunStart(session.history, machine, frame.touchedBeforeRun);
  CommandResult result = CommandResult::Done;
  bool first = true;
  while (result == CommandResult::Done) {
    const Batch batch = runBatch(screen, session, stops, first);
    if (batch.last.atBreakpoint) {
      result = stopAtBreakpoint(screen, session, listing);
    } else {
      // The mark moves only for a step that fetched something, as a single
      // step's does.
      if (batch.last.run.lastOutcome != StepOutcome::MemoryOverflow) {
        const int32_t line = executedLine(session);
        followLine(screen, session, listing, line, listed);
        showExecutedLine(screen, session, listing, line, listed);
      }
      result = stepEnd(screen, memoryView, machine, batch.last.run.lastOutcome);
    }
    if (result == CommandResult::Done) {
      drawRegisterPanel(screen, memoryView, machine, machine.touched);
      // No pause on the desktop; in a browser one turn of its event loop,
      // which shows the frame and brings the clicks and keys made meanwhile.
      sleepMs(screen, 0);
      const MouseReading mouse = readMouse(screen);
      if (buttonPressed(mouse, startStop, ButtonFilter::LeftAlone)) result = CommandResult::Stopped;
      const std::optional<Key> key = readKey(screen);
      if (key == keys::kEscape) result = CommandResult::Stopped;
      if (key == keys::kWindowClose) result = CommandResult::WindowClosed;
    }
    if (result != CommandResult::Done) drawMemoryView(screen, memoryView, machine, machine.touched);
  }
  endRun(screen, buttons, machine, frame);
  return result;
}

}  // namespace akkusim
