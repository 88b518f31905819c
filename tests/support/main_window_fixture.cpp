#include "support/main_window_fixture.h"

#include <algorithm>
#include <fstream>
#include <iterator>

#include "gfx/key.h"
#include "text/line_edit.h"

namespace akkusim {

MainWindowSession::MainWindowSession() : root(temp.path()), folder(root / "Programme") {
  std::filesystem::create_directories(folder);
  main.programs = &programs;
}

int32_t MainWindowSession::run() {
  if (!startMainWindow(screen, main)) return 1;
  if (!initialLines_.empty()) {
    ListingView& listing = main.listing;
    ProgramText& program = main.session.program;
    program.lines.clear();
    for (std::string& text : initialLines_) {
      ProgramLine line;
      line.text = std::move(text);
      program.lines.push_back(std::move(line));
    }
    initialLines_.clear();
    listing.view.contentHeight = 10 * akkusim::lineCount(program);
    main.session.cursor.currentLine = std::clamp(initialLine_, 0, highestIndex(program));
    listing.view.scrollY = std::max(0, main.session.cursor.currentLine * 10 - 590);
    redrawListing(screen, listing, program);
  }
  runMainLoop(screen, main);
  return 0;
}

void MainWindowSession::setProgram(std::vector<std::string> lines, int32_t currentLine) {
  initialLines_ = std::move(lines);
  initialLine_ = currentLine;
}

void MainWindowSession::writeProgram(std::string_view name, std::string_view bytes) const {
  std::ofstream out(folder / (std::string(name) + ".txt"), std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string MainWindowSession::readProgram(std::string_view name) const {
  std::ifstream in(folder / (std::string(name) + ".txt"), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string MainWindowSession::lineText(int32_t index) const {
  if (index < 0 || index >= lineCount()) return {};
  const std::string& text = main.session.program.lines[static_cast<std::size_t>(index)].text;
  return text.substr(0, static_cast<std::size_t>(trimmedLength(text)));
}

int32_t MainWindowSession::lineCount() const {
  return akkusim::lineCount(main.session.program);
}

int32_t MainWindowSession::buttonX(MainButton which) {
  const Button& button = mainButton(mainButtonLayout(), which);
  return button.bounds.x + button.bounds.width / 2;
}

int32_t MainWindowSession::buttonY(MainButton which) {
  const Button& button = mainButton(mainButtonLayout(), which);
  return button.bounds.y + button.bounds.height / 2;
}

HeadlessPlatform& MainWindowSession::clickButton(MainButton which) {
  return platform.click(buttonX(which), buttonY(which));
}

}  // namespace akkusim
