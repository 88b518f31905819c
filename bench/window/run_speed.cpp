// How fast Starten runs in the real window: the passes per second of the
// run loop over cleared memory (32,768 NOOP passes, then the memory-limit
// message) against a bare loop of 1 ms pauses measured in the same process.
// Needs a display (xvfb-run -a). Not built by default; build it by hand:
//   g++ -std=c++20 -O2 -I. bench/window/run_speed.cpp ui/sdl_platform.cpp \
//       <build>/libakkusim_ui.a <build>/libakkusim_core.a \
//       $(pkg-config --cflags --libs sdl2) -pthread -o run_speed

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>

#include "machine/machine_state.h"
#include "machine/run_command.h"
#include "ui/listing_view.h"
#include "ui/main_buttons.h"
#include "ui/register_panel.h"
#include "ui/screen.h"
#include "ui/sdl_platform.h"

namespace {

using Clock = std::chrono::steady_clock;

// The real window, except that a message box is answered with Enter at
// once, so the run's final message does not wait for a person.
class AnsweringPlatform : public Platform {
 public:
  explicit AnsweringPlatform(Platform& inner) : inner_(inner) {}
  bool openWindow(int32_t width, int32_t height, std::string& error) override {
    return inner_.openWindow(width, height, error);
  }
  void present(const Image& frame) override { inner_.present(frame); }
  MouseReading readMouse() override { return inner_.readMouse(); }
  std::string readKey() override {
    std::string key = inner_.readKey();
    return key.empty() ? std::string("\r") : key;
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
  std::string error;
  std::unique_ptr<Platform> window = makeSdlPlatform(1, error);
  if (!window) {
    std::fprintf(stderr, "run_speed: %s\n", error.c_str());
    return 77;
  }
  AnsweringPlatform platform(*window);
  Screen screen(platform);
  if (!openScreen(screen, kScreenWidth, kScreenHeight, 32, error)) {
    std::fprintf(stderr, "run_speed: %s\n", error.c_str());
    return 77;
  }
  setColors(screen, kBlack, kWhite);
  clearScreen(screen);
  setTextGrid(screen, 137, 100);

  auto machine = std::make_unique<MachineState>();
  ListingView listing = makeListingView();
  listing.lines.lines.front().text = "LOADI 7";
  listing.lines.lines.push_back(ProgramLine{});
  listing.lines.lines.back().text = "HOLD";
  listing.view.contentHeight = 20;
  redrawListing(screen, listing);
  drawRegisterPanel(screen, *machine, 1);
  for (const Button& button : mainButtons()) drawButton(screen, button);
  // Line 1 is highlighted at address 0 and line 2 at address 2, as after an
  // Assemble followed by Reset.
  machine->lineOfAddress[0] = 1;
  machine->lineOfAddress[2] = 2;
  resetMachine(*machine);

  barePassesPerSecond(screen, 300);  // settle the window
  const double bareBefore = barePassesPerSecond(screen, 5000);

  const SdlPresentStats framesBefore = sdlPresentStats(*window);
  const auto start = Clock::now();
  const int32_t result = runProgram(screen, listing, *machine);
  const double runSeconds = seconds(start);
  const SdlPresentStats framesAfter = sdlPresentStats(*window);
  const int64_t passes = 32769;  // 32,768 NOOP, then the one with the message

  const double bareAfter = barePassesPerSecond(screen, 5000);
  const double bare = (bareBefore + bareAfter) / 2;
  const double run = static_cast<double>(passes) / runSeconds;
  std::printf("run result %d, pc %d\n", result, machine->pc);
  std::printf("bare loop: %.1f passes/s (before %.1f, after %.1f)\n", bare, bareBefore, bareAfter);
  std::printf("run loop:  %.1f passes/s (%lld passes in %.2f s)\n", run,
              static_cast<long long>(passes), runSeconds);
  std::printf("frames shown during the run: %lld (%.1f/s)\n",
              static_cast<long long>(framesAfter.frames - framesBefore.frames),
              (framesAfter.frames - framesBefore.frames) / runSeconds);
  std::printf("ratio: %.3f\n", run / bare);
  destroyListingView(listing);
  return 0;
}
