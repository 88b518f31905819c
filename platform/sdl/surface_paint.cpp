#include "platform/sdl/surface_paint.h"

#include <cstddef>
#include <cstring>

namespace akkusim {

SDL_Rect paintScaled(const SdlLibrary& sdl, SDL_Surface& surface, const Rect& rect,
                     const uint32_t* shown, int32_t width, int scale,
                     std::vector<uint32_t>& scratchRow) {
  const SDL_Rect scaled{rect.x * scale, rect.y * scale, rect.width * scale, rect.height * scale};
  const SDL_Rect bounds{0, 0, surface.w, surface.h};
  SDL_Rect target{};
  if (!sdl.SDL_IntersectRect(&scaled, &bounds, &target)) return SDL_Rect{};
  // Our pixels are 0x00RRGGBB words: the usual X11 surface takes them as
  // they are; any other format is converted row by row.
  const Uint32 format = surface.format->format;
  const bool direct = format == SDL_PIXELFORMAT_RGB888;
  const int bytesPerPixel = surface.format->BytesPerPixel;
  auto* const base = static_cast<uint8_t*>(surface.pixels);
  if (!direct) scratchRow.resize(static_cast<std::size_t>(target.w));
  for (int y = target.y; y < target.y + target.h; ++y) {
    uint8_t* const line = base + static_cast<std::ptrdiff_t>(y) * surface.pitch +
                          static_cast<std::ptrdiff_t>(target.x) * bytesPerPixel;
    if (y > target.y && y % scale != 0) {  // the same framebuffer row as the line above
      std::memcpy(line, line - surface.pitch,
                  static_cast<std::size_t>(target.w) * static_cast<std::size_t>(bytesPerPixel));
      continue;
    }
    const uint32_t* const from =
        shown + static_cast<std::size_t>(y / scale) * static_cast<std::size_t>(width);
    if (scale == 1 && direct) {
      std::memcpy(line, from + target.x, static_cast<std::size_t>(target.w) * sizeof(uint32_t));
      continue;
    }
    uint32_t* const to = direct ? reinterpret_cast<uint32_t*>(line) : scratchRow.data();
    for (int x = 0; x < target.w; ++x) to[x] = from[(target.x + x) / scale];
    if (!direct) {
      sdl.SDL_ConvertPixels(target.w, 1, SDL_PIXELFORMAT_RGB888, to, target.w * 4, format, line,
                            surface.pitch);
    }
  }
  return target;
}

}  // namespace akkusim
