#pragma once
// The harness the window benchmarks share: the real window with its message
// boxes answered at once, and a session with a program listed in it.

#include <chrono>
#include <cstdio>
#include <initializer_list>
#include <memory>
#include <optional>

#include "app/main_buttons.h"
#include "app/session.h"
#include "gfx/screen.h"
#ifdef _WIN32
#include "platform/win32/win32_platform.h"
#else
#include "platform/sdl/sdl_platform.h"
#endif
#include "ui/listing_view.h"
#include "ui/register_panel.h"

namespace akkusim::bench {

using Clock = std::chrono::steady_clock;

inline double seconds(Clock::time_point from) {
  return std::chrono::duration<double>(Clock::now() - from).count();
}

// The real window, counting its presents; a message box is answered with
// Enter at once, so a run's final message does not wait for a person.
class AnsweringPlatform : public Platform {
 public:
  explicit AnsweringPlatform(Platform& inner) : inner_(inner) {}
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

// The window as the main window draws it at the start, with `program` in
// the listing; the fields live as long as the benchmark.
struct BenchWindow {
  std::unique_ptr<Platform> sdl;
  std::unique_ptr<AnsweringPlatform> platform;
  std::unique_ptr<Screen> screen;
  Session session;
  ListingView listing = makeListingView();
  MainButtons buttons = makeMainButtons();

  ~BenchWindow() { destroyListingView(listing); }
};

// False, with the reason on stderr, when there is no display.
inline bool openBenchWindow(BenchWindow& bench, const char* name,
                            std::initializer_list<const char*> program) {
#ifdef _WIN32
  Result<std::unique_ptr<Platform>> window = makeWin32Platform(1);
#else
  Result<std::unique_ptr<Platform>> window = makeSdlPlatform(1);
#endif
  if (!window) {
    std::fprintf(stderr, "%s: %s\n", name, window.reason().c_str());
    return false;
  }
  bench.sdl = std::move(*window);
  bench.platform = std::make_unique<AnsweringPlatform>(*bench.sdl);
  bench.screen = std::make_unique<Screen>(*bench.platform);
  Screen& screen = *bench.screen;
  const Status opened = openScreen(screen, kScreenWidth, kScreenHeight);
  if (!opened) {
    std::fprintf(stderr, "%s: %s\n", name, opened.reason().c_str());
    return false;
  }
  setColors(screen, kBlack, kWhite);
  clearScreen(screen);
  bench.session.program.lines.clear();
  for (const char* text : program) {
    ProgramLine line;
    line.text = text;
    bench.session.program.lines.push_back(line);
  }
  bench.listing.view.contentHeight = kListingRowHeight * lineCount(bench.session.program);
  redrawListing(screen, bench.listing, bench.session.program);
  drawRegisterPanel(screen, MemoryView{}, *bench.session.machine, Address{1});
  for (const Button& button : bench.buttons.all) drawButton(screen, button);
  return true;
}

}  // namespace akkusim::bench
