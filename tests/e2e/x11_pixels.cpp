// Reads pixels of a window straight from the X server, for the window tests'
// polls: one small request instead of a screenshot file and an image tool
// per look, which under load made a whole session take minutes.
//   x11_pixels WINDOW X Y                    the pixel's colour, "rrggbb"
//   x11_pixels WINDOW X Y WIDTH HEIGHT RRGGBB   how many pixels of the
//                                               rectangle have that colour
// Exit code 1 (nothing printed) when the window cannot be read.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdio>
#include <cstdlib>

namespace {

// 0xRRGGBB of one pixel, whatever the visual's channel masks.
unsigned long rgbOf(const XImage* image, unsigned long pixel) {
  const auto channel = [pixel](unsigned long mask) {
    if (mask == 0) return 0ul;
    int shift = 0;
    while (((mask >> shift) & 1ul) == 0) ++shift;
    const unsigned long value = (pixel & mask) >> shift;
    const unsigned long top = mask >> shift;
    return value * 255ul / top;
  };
  return channel(image->red_mask) << 16 | channel(image->green_mask) << 8 |
         channel(image->blue_mask);
}

int toInt(const char* text) {
  return static_cast<int>(std::strtol(text, nullptr, 10));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4 && argc != 7) {
    std::fprintf(stderr, "usage: x11_pixels WINDOW X Y [WIDTH HEIGHT RRGGBB]\n");
    return 2;
  }
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) return 1;
  // A window that is gone must fail the read, not end the program.
  XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
  const Window window = static_cast<Window>(std::strtoul(argv[1], nullptr, 0));
  const int x = toInt(argv[2]);
  const int y = toInt(argv[3]);
  const int width = argc == 7 ? toInt(argv[4]) : 1;
  const int height = argc == 7 ? toInt(argv[5]) : 1;
  XImage* image = XGetImage(display, window, x, y, static_cast<unsigned>(width),
                            static_cast<unsigned>(height), AllPlanes, ZPixmap);
  if (image == nullptr) {
    XCloseDisplay(display);
    return 1;
  }
  if (argc == 4) {
    std::printf("%06lx\n", rgbOf(image, XGetPixel(image, 0, 0)));
  } else {
    const unsigned long wanted = std::strtoul(argv[6], nullptr, 16);
    long count = 0;
    for (int row = 0; row < height; ++row) {
      for (int column = 0; column < width; ++column) {
        if (rgbOf(image, XGetPixel(image, column, row)) == wanted) ++count;
      }
    }
    std::printf("%ld\n", count);
  }
  XDestroyImage(image);
  XCloseDisplay(display);
  return 0;
}
