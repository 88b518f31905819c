// How fast the fast run (F8) goes in the real window: its steps per second
// on a nested counting loop against the headless runner's on the same
// program, measured side by side in one process, and the frames it
// presented meanwhile.
// Needs a display: xvfb-run -a build/fast_run_speed

#include <chrono>
#include <cstdio>
#include <memory>

#include "app/fast_run_command.h"
#include "app/main_buttons.h"
#include "app/session.h"
#include "gfx/screen.h"
#include "machine/run.h"
#include "platform/sdl/sdl_platform.h"
#include "program/assemble.h"
#include "ui/listing_view.h"
#include "ui/register_panel.h"

using namespace akkusim;

namespace {

using Clock = std::chrono::steady_clock;

// The real window, counting its presents; a message box is answered with
// Enter at once, so the final "Programmende" does not wait for a person.
class CountingPlatform : public Platform {
 public:
  explicit CountingPlatform(Platform& inner) : inner_(inner) {}
  Status openWindow(int32_t width, int32_t height) override {
    return inner_.openWindow(width, height);
  }
  void present(const Image& frame) override {
    ++presents;
    inner_.present(frame);
  }
  MouseReading readMouse() override { return inner_.readMouse(); }
  std::optional<Key> readKey() override {
    const std::optional<Key> key = inner_.readKey();
    return key ? key : keys::kEnter;
  }
  bool isKeyDown(int32_t scancode) override { return inner_.isKeyDown(scancode); }
  void sleepMs(int32_t milliseconds) override { inner_.sleepMs(milliseconds); }
  int64_t nowMicros() override { return inner_.nowMicros(); }

  int64_t presents = 0;

 private:
  Platform& inner_;
};

double seconds(Clock::time_point from) {
  return std::chrono::duration<double>(Clock::now() - from).count();
}

// 2,000 rounds of an inner loop of 65,536 ADDI / CMPI / JMPNZ passes.
constexpr const char* kProgram[] = {
    "LOADI 2000",  "STORE k", "outer:", "LOADI 0", "inner:",      "ADDI 1", "CMPI 0",
    "JMPNZ inner", "LOAD k",  "SUBI 1", "STORE k", "JMPNZ outer", "HOLD",   "k: WORD 0"};

}  // namespace

int main() {
  Result<std::unique_ptr<Platform>> window = makeSdlPlatform(1);
  if (!window) {
    std::fprintf(stderr, "fast_run_speed: %s\n", window.reason().c_str());
    return 77;
  }
  CountingPlatform platform(**window);
  Screen screen(platform);
  const Status opened = openScreen(screen, kScreenWidth, kScreenHeight);
  if (!opened) {
    std::fprintf(stderr, "fast_run_speed: %s\n", opened.reason().c_str());
    return 77;
  }
  setColors(screen, kBlack, kWhite);
  clearScreen(screen);

  Session session;
  MachineState& machine = *session.machine;
  ListingView listing = makeListingView();
  MainButtons buttons = makeMainButtons();
  session.program.lines.clear();
  for (const char* text : kProgram) {
    ProgramLine line;
    line.text = text;
    session.program.lines.push_back(line);
  }
  listing.view.contentHeight = 10 * lineCount(session.program);
  redrawListing(screen, listing, session.program);
  drawRegisterPanel(screen, MemoryView{}, machine, Address{1});
  for (const Button& button : buttons.all) drawButton(screen, button);

  assembleProgram(session.program, machine, session.lineMap);
  auto start = Clock::now();
  const RunSummary headless = runToEnd(machine, 2'000'000'000);
  const double headlessSeconds = seconds(start);

  assembleProgram(session.program, machine, session.lineMap);
  const int64_t presentsBefore = platform.presents;
  start = Clock::now();
  const CommandResult result = fastRun(screen, buttons, session, listing, MemoryView{});
  const double fastSeconds = seconds(start);
  const int64_t presents = platform.presents - presentsBefore;

  const double steps = static_cast<double>(headless.steps);
  const double headlessRate = steps / headlessSeconds;
  const double fastRate = steps / fastSeconds;
  std::printf("headless runner: %.1f million steps/s (%.0f steps, %.2f s, %s)\n",
              headlessRate / 1e6, steps, headlessSeconds,
              headless.end == RunEnd::Hold ? "HOLD" : "no HOLD");
  std::printf("fast run:        %.1f million steps/s (%.2f s, %s), ratio %.3f\n", fastRate / 1e6,
              fastSeconds, result == CommandResult::HoldReached ? "HOLD" : "no HOLD",
              fastRate / headlessRate);
  std::printf("fast run presents: %lld in %.2f s, %.1f per second\n",
              static_cast<long long>(presents), fastSeconds,
              static_cast<double>(presents) / fastSeconds);
  destroyListingView(listing);
  return 0;
}
