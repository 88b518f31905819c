#pragma once
// Runs the real main window (start-up and polling loop) on a scripted
// headless platform, with a fresh temporary "Programme" folder.
//
// Usage:
//   MainWindowSession s;
//   s.writeProgram("demo", "LOAD 5\r\nHOLD\r\n");      // optional files
//   s.platform.wait(5).type("hold").key(keys::kEnter);  // the script
//   s.platform.call([&] { shot = s.screen.window; });   // mid-script capture
//   s.run();                                            // until the script is used up
//   EXPECT_EQ(s.lineText(0), "HOLD");
//   EXPECT_EQ(pixelAt(s.screen.window, x, y), kBlack);
//
// `run` returns the exit code the program would end with (0, or 1 when no
// window opened). Afterwards `main` and `screen` hold the final state: the
// listing is not destroyed, so tests can look at it. When the script is used
// up the platform delivers the window-close key, so `run` always returns.
// The session is neither copyable nor movable (the screen points at the
// platform).

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "app/main_buttons.h"
#include "app/main_window.h"
#include "files/disk_program_store.h"
#include "gfx/screen.h"
#include "platform/headless/headless_platform.h"
#include "support/temp_folder.h"

namespace akkusim {

class MainWindowSession {
 public:
  MainWindowSession();
  MainWindowSession(const MainWindowSession&) = delete;
  MainWindowSession& operator=(const MainWindowSession&) = delete;

  int32_t run();

  // Makes the window start with these lines (parsed, drawn, not padded)
  // and the cursor on `currentLine`, scrolled into view, instead of one
  // empty line: a shortcut for scenarios that need a long program.
  void setProgram(std::vector<std::string> lines, int32_t currentLine = 0);

  // Writes `<folder>/<name>.txt` byte for byte.
  void writeProgram(std::string_view name, std::string_view bytes) const;
  // The bytes of `<folder>/<name>.txt`, or "" when it does not exist.
  std::string readProgram(std::string_view name) const;

  // Text of line `index` without trailing blanks and tabs ("" past the end).
  std::string lineText(int32_t index) const;
  int32_t lineCount() const;

  // A point inside the given main button, for `platform.click`.
  static int32_t buttonX(MainButton which);
  static int32_t buttonY(MainButton which);
  // Script shorthand: click the centre of a main button.
  HeadlessPlatform& clickButton(MainButton which);

  HeadlessPlatform platform;
  Screen screen{platform};
  MainWindow main;
  TempFolder temp{"main_window"};
  std::filesystem::path root;         // temp.path()
  std::filesystem::path folder;       // root / "Programme"
  DiskProgramStore programs{folder};  // the store of main.programs

 private:
  std::vector<std::string> initialLines_;
  int32_t initialLine_ = 0;
};

}  // namespace akkusim
