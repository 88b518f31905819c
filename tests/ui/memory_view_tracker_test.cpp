#include "ui/memory_view_tracker.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "gfx/image.h"
#include "gfx/screen.h"
#include "platform/headless/headless_platform.h"
#include "ui/register_panel.h"

using namespace akkusim;

namespace {

struct Window {
  HeadlessPlatform platform;
  Screen screen{platform};
  Window() { EXPECT_TRUE(openScreen(screen, kScreenWidth, kScreenHeight).ok()); }
};

// First differing pixel of the memory view area, or "" when they agree.
std::string firstDifference(const Image& a, const Image& b) {
  for (int32_t y = 0; y < kScreenHeight; ++y) {
    for (int32_t x = 431; x < kScreenWidth; ++x) {
      if (pixelAt(a, x, y) != pixelAt(b, x, y)) {
        return std::to_string(x) + "," + std::to_string(y);
      }
    }
  }
  return "";
}

struct Change {
  const char* name;
  std::function<void(MachineState&, MemoryView&, std::optional<Address>&)> apply;
};

TEST(MemoryViewTracker, UpdatesGiveTheSamePixelsAsAFullDrawing) {
  const std::vector<Change> changes = {
      {"nothing", [](MachineState&, MemoryView&, std::optional<Address>&) {}},
      {"instruction moves on",
       [](MachineState& m, MemoryView&, std::optional<Address>&) { m.instructionAddress = 2; }},
      {"touched word and new values",
       [](MachineState& m, MemoryView&, std::optional<Address>& touched) {
         touched = 57;
         m.memory[57] = -32768;
         m.memory[3] = 12345;
         m.memory[779] = -1;
         m.memory[780] = 99;  // not shown
       }},
      {"values shrink",
       [](MachineState& m, MemoryView&, std::optional<Address>&) { m.memory[57] = 7; }},
      {"touched is the instruction",
       [](MachineState& m, MemoryView&, std::optional<Address>& touched) {
         touched = m.instructionAddress;
       }},
      {"nothing touched",
       [](MachineState&, MemoryView&, std::optional<Address>& touched) { touched = std::nullopt; }},
      {"no instruction yet",
       [](MachineState& m, MemoryView&, std::optional<Address>&) { m.instructionAddress = -2; }},
      {"scrolled", [](MachineState&, MemoryView& v, std::optional<Address>&) { v.top = 50; }},
      {"word in the scrolled rows",
       [](MachineState& m, MemoryView&, std::optional<Address>& touched) {
         m.memory[505] = 4242;
         touched = 505;
       }},
      {"last rows",
       [](MachineState&, MemoryView& v, std::optional<Address>&) { v.top = kMaxMemoryViewTop; }},
      {"last word",
       [](MachineState& m, MemoryView&, std::optional<Address>& touched) {
         m.memory[65535] = -5;
         m.instructionAddress = 65534;
         touched = 65535;
       }},
  };
  Window updated;
  auto machine = std::make_unique<MachineState>();
  machine->memory[0] = 0x0209;
  machine->memory[1] = 7;
  std::optional<Address> touched = 1;
  MemoryView view;
  MemoryViewShadow shadow;
  drawMemoryViewTracked(updated.screen, view, *machine, touched, shadow);

  for (const Change& change : changes) {
    SCOPED_TRACE(change.name);
    change.apply(*machine, view, touched);
    updateMemoryView(updated.screen, view, *machine, touched, shadow);
    Window full;
    drawMemoryView(full.screen, view, *machine, touched);
    EXPECT_EQ(firstDifference(updated.screen.window, full.screen.window), "");
  }
}

TEST(MemoryViewTracker, FirstUpdateDrawsTheWholeView) {
  Window updated;
  Window full;
  auto machine = std::make_unique<MachineState>();
  machine->memory[10] = 3;
  const MemoryView view;
  MemoryViewShadow shadow;
  updateMemoryView(updated.screen, view, *machine, 10, shadow);
  drawMemoryView(full.screen, view, *machine, 10);
  EXPECT_TRUE(shadow.valid);
  EXPECT_EQ(firstDifference(updated.screen.window, full.screen.window), "");
}

}  // namespace
