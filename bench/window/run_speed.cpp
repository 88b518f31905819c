// How fast Starten runs in the real window: the passes per second of the
// run loop over cleared memory (32,768 NOOP passes, then the memory-limit
// message, and a counting loop whose listing highlight moves on every pass)
// against a bare loop of 1 ms pauses measured in the same process.
// Needs a display: xvfb-run -a build/run_speed; the Windows build's under
// Wine: bench/window/wine_pace.sh.

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>

#include "app/main_buttons.h"
#include "app/run_command.h"
#include "app/session.h"
#include "gfx/screen.h"
#include "machine/machine_state.h"
#ifdef _WIN32
#include "platform/win32/win32_platform.h"
#else
#include "platform/sdl/sdl_platform.h"
#endif
#include "program/assemble.h"
#include "ui/listing_view.h"
#include "ui/register_panel.h"

using namespace akkusim;

namespace {

using Clock = std::chrono::steady_clock;

// The real window, except that a message box is answered with Enter at
// once, so the run's final message does not wait for a person.
class AnsweringPlatform : public Platform {
 public:
  explicit AnsweringPlatform(Platform& inner) : inner_(inner) {}
  Status openWindow(int32_t width, int32_t height) override {
    return inner_.openWindow(width, height);
  }
  void present(const Image& frame) override { inner_.present(frame); }
  MouseReading readMouse() override { return inner_.readMouse(); }
  std::optional<Key> readKey() override {
    const std::optional<Key> key = inner_.readKey();
    return key ? key : keys::kEnter;
  }
  bool isKeyDown(int32_t scancode) override { return inner_.isKeyDown(scancode); }
  void sleepMs(int32_t milliseconds) override { inner_.sleepMs(milliseconds); }
  int64_t nowMicros() override { return inner_.nowMicros(); }

 private:
  Platform& inner_;
};

double seconds(Clock::time_point from) {
  return std::chrono::duration<double>(Clock::now() - from).count();
}

double barePassesPerSecond(Screen& screen, int32_t passes) {
  const auto start = Clock::now();
  for (int32_t i = 0; i < passes; ++i) sleepMs(screen, 1);
  return passes / seconds(start);
}

}  // namespace

int main() {
#ifdef _WIN32
  Result<std::unique_ptr<Platform>> window = makeWin32Platform(1);
#else
  Result<std::unique_ptr<Platform>> window = makeSdlPlatform(1);
#endif
  if (!window) {
    std::fprintf(stderr, "run_speed: %s\n", window.reason().c_str());
    return 77;
  }
  AnsweringPlatform platform(**window);
  Screen screen(platform);
  const Status opened = openScreen(screen, kScreenWidth, kScreenHeight);
  if (!opened) {
    std::fprintf(stderr, "run_speed: %s\n", opened.reason().c_str());
    return 77;
  }
  setColors(screen, kBlack, kWhite);
  clearScreen(screen);

  Session session;
  MachineState& machine = *session.machine;
  ListingView listing = makeListingView();
  MainButtons buttons = makeMainButtons();
  session.program.lines.clear();
  for (const char* text : {"LOADI 16384", "loop:", "SUBI 1", "JMPNZ loop", "HOLD"}) {
    ProgramLine line;
    line.text = text;
    session.program.lines.push_back(line);
  }
  listing.view.contentHeight = 10 * lineCount(session.program);
  redrawListing(screen, listing, session.program);
  drawRegisterPanel(screen, MemoryView{}, machine, Address{1});
  for (const Button& button : buttons.all) drawButton(screen, button);

  barePassesPerSecond(screen, 300);  // settle the window
  const double bareBefore = barePassesPerSecond(screen, 5000);

  // Cleared memory after Assemble and Reset: lines 1 to 3 are highlighted
  // for the first passes, then 32,768 NOOP passes and the message.
  assembleProgram(session.program, machine, session.lineMap);
  resetMachine(machine);
  auto start = Clock::now();
  const bool clearedHold =
      runProgram(screen, buttons, session, listing, MemoryView{}) == CommandResult::HoldReached;
  const double clearedSeconds = seconds(start);
  const int64_t clearedPasses = 32769;
  const double bareMiddle = barePassesPerSecond(screen, 5000);

  // The counting loop: 1 + 2 * 16384 passes, then HOLD; the highlight moves
  // between two lines on every pass.
  assembleProgram(session.program, machine, session.lineMap);
  start = Clock::now();
  const bool loopHold =
      runProgram(screen, buttons, session, listing, MemoryView{}) == CommandResult::HoldReached;
  const double loopSeconds = seconds(start);
  const int64_t loopPasses = 1 + 2 * 16384 + 1;
  const double bareAfter = barePassesPerSecond(screen, 5000);

  const double bare = (bareBefore + bareMiddle + bareAfter) / 3;
  const double cleared = static_cast<double>(clearedPasses) / clearedSeconds;
  const double loop = static_cast<double>(loopPasses) / loopSeconds;
  std::printf("bare loop: %.1f passes/s (%.1f, %.1f, %.1f)\n", bare, bareBefore, bareMiddle,
              bareAfter);
  std::printf("cleared memory: %.1f passes/s (result %s, %.2f s), ratio %.3f\n", cleared,
              clearedHold ? "HOLD" : "no HOLD", clearedSeconds, cleared / bare);
  std::printf("counting loop:  %.1f passes/s (result %s, %.2f s), ratio %.3f\n", loop,
              loopHold ? "HOLD" : "no HOLD", loopSeconds, loop / bare);
  destroyListingView(listing);
  return 0;
}
