// Laden and Speichern tell the platform which program file they read or
// wrote; a platform that keeps files in a store of its own (the browser's)
// may fail to keep a written one, and then the save has failed.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "app/file_command.h"
#include "app/session.h"
#include "gfx/draw.h"
#include "gfx/image.h"
#include "gfx/key.h"
#include "gfx/screen.h"
#include "platform/headless/headless_platform.h"
#include "support/temp_folder.h"

using namespace akkusim;

namespace {

// The outer frame corner of "Fehler: Die Datei konnte nicht gespeichert werden."
constexpr int32_t kFailureFrameX = 319;
constexpr int32_t kFailureFrameY = 355;

class StoringPlatform : public HeadlessPlatform {
 public:
  bool programFileUsed(const std::filesystem::path& path, bool written) override {
    used.emplace_back(path, written);
    return keeps;
  }
  std::vector<std::pair<std::filesystem::path, bool>> used;
  bool keeps = true;
};

struct Fixture {
  StoringPlatform platform;
  Screen screen{platform};
  TempFolder temp{"file_platform"};
  std::filesystem::path folder = temp.path();
  Session session;

  Fixture() {
    std::string error;
    EXPECT_TRUE(openScreen(screen, kScreenWidth, kScreenHeight, error)) << error;
    fillBox(screen.window, 0, 0, kScreenWidth - 1, kScreenHeight - 1, kWhite);
    std::filesystem::create_directories(folder);
    session.program.lines[0].text = "HOLD";
  }
};

TEST(FilePlatform, LoadedAndSavedFilesAreReportedFailuresAndCancelsAreNot) {
  Fixture f;
  std::ofstream(f.folder / "demo.txt", std::ios::binary) << "LOAD 5\r\n";
  f.platform.wait(5).key(keys::kEscape);  // Laden cancelled
  EXPECT_EQ(laden(f.screen, f.session, f.folder), CommandResult::NotDone);
  f.platform.wait(5).click(400, 250);  // Laden "demo"
  EXPECT_EQ(laden(f.screen, f.session, f.folder), CommandResult::Done);
  f.platform.wait(5).type("2").key(keys::kEnter);  // Speichern as "demo2"
  EXPECT_EQ(speichern(f.screen, f.session, f.folder), CommandResult::Done);
  const std::vector<std::pair<std::filesystem::path, bool>> expected = {
      {f.folder / "demo.txt", false}, {f.folder / "demo2.txt", true}};
  EXPECT_EQ(f.platform.used, expected);
}

TEST(FilePlatform, AWrittenFileTheStoreCannotKeepIsASaveFailure) {
  Fixture f;
  f.platform.keeps = false;
  Image message;
  f.platform.wait(5).type("neu").key(keys::kEnter).wait(10);
  f.platform.call([&] { message = f.screen.window; }).key(keys::kEnter);

  EXPECT_EQ(speichern(f.screen, f.session, f.folder), CommandResult::NotDone);
  EXPECT_EQ(pixelAt(message, kFailureFrameX, kFailureFrameY), kBlack);
}

}  // namespace
