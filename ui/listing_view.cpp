#include "ui/listing_view.h"

#include <algorithm>

#include "program/line_parser.h"
#include "text/number_format.h"

namespace akkusim {

namespace {

constexpr Rect kListing{0, 200, 430, 600};

}  // namespace

ListingView makeListingView() {
  ListingView listing;
  listing.view = makeScrollView(kListing, kListing.width, kListingRowHeight, false, kWhite);
  return listing;
}

void drawProgramLine(Screen& screen, const ProgramLine& line, ListingView& listing, bool show,
                     uint32_t background) {
  Image& image = listing.view.image;
  const int32_t index = static_cast<uint16_t>(line.lineIndex);
  const int32_t rowY = index * kListingRowHeight - listing.view.scrollY;
  // Rows outside the image would be clipped pixel by pixel; skip them whole,
  // since a full redraw visits every line of the program.
  if (rowY + kListingRowHeight > 0 && rowY < image.height) {
    const auto length = static_cast<int32_t>(line.text.size());
    int32_t split = line.commentColumn == 0 ? length + 1 : line.commentColumn;
    split = std::clamp(split, 1, length + 1);
    const std::string_view text = line.text;
    const auto codeLength = static_cast<std::size_t>(split - 1);

    fillBox(image, 0, rowY, listing.view.bounds.width - 1, rowY + 9, background);
    NumberField number;
    drawText(image, 2, rowY, formatNumberInto(number, index + 1, 6),
             line.breakpoint ? kRed : kGrey);
    drawText(image, 60, rowY + 1, text.substr(0, codeLength), line.valid ? kBlack : kRed);
    drawText(image, split * 8 + 52, rowY + 1, text.substr(codeLength), kDarkGrey);
    drawLine(image, 55, rowY, 55, rowY + 9, kGrey);
  }
  if (show) showView(screen, listing.view, false, false);
}

void redrawListing(Screen& screen, ListingView& listing, ProgramText& program) {
  Image& image = listing.view.image;
  fillBox(image, 0, 0, image.width - 1, image.height - 1, kWhite);
  const int32_t count = lineCount(program);
  for (int32_t i = 0; i < count; ++i) {
    ProgramLine& line = program.lines[static_cast<std::size_t>(i)];
    parseLine(line, static_cast<int16_t>(i));
    drawProgramLine(screen, line, listing, false, kWhite);
  }
  showView(screen, listing.view, false, true);
}

bool drawListingRow(Screen& screen, ListingView& listing, const ProgramText& program,
                    int32_t lineNumber, bool show, uint32_t background) {
  if (lineNumber < 1 || lineNumber > lineCount(program)) return false;
  drawProgramLine(screen, program.lines[static_cast<std::size_t>(lineNumber - 1)], listing, show,
                  background);
  return true;
}

bool scrollListingTo(Screen& screen, ListingView& listing, const ProgramText& program,
                     int32_t lineNumber, int32_t highlightLine) {
  if (lineNumber < 1 || lineNumber > lineCount(program)) return false;
  ScrollView& view = listing.view;
  const int32_t lineY = (lineNumber - 1) * kListingRowHeight;
  if (lineY < view.scrollY) {
    view.scrollY = lineY;
  } else if (lineY + kListingRowHeight > view.scrollY + view.bounds.height) {
    view.scrollY = lineY + kListingRowHeight - view.bounds.height;
  } else {
    return false;
  }
  Image& image = view.image;
  fillBox(image, 0, 0, image.width - 1, image.height - 1, kWhite);
  const int32_t first = view.scrollY / kListingRowHeight;
  const int32_t last = std::min(lineCount(program), first + view.bounds.height / kListingRowHeight);
  for (int32_t index = first; index < last; ++index) {
    drawProgramLine(screen, program.lines[static_cast<std::size_t>(index)], listing, false,
                    index + 1 == highlightLine ? kLightGreen : kWhite);
  }
  return true;
}

void clearHighlight(Screen& screen, ListingView& listing, const ProgramText& program,
                    int32_t& highlightLine) {
  if (highlightLine != kNoLine) {
    drawListingRow(screen, listing, program, highlightLine, true, kWhite);
  }
  highlightLine = kNoLine;
}

void destroyListingView(ListingView& listing) {
  destroyScrollView(listing.view);
}

}  // namespace akkusim
