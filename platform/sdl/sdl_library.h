#pragma once
// The SDL2 functions of the window, looked up in the shared library only when
// a window is wanted: the headless commands would otherwise make the loader
// map SDL and the fifty-odd libraries behind it on every start, many times
// their own work.

#include <SDL.h>

#include <memory>
#include <string>

#include "base/result.h"

namespace akkusim {

// Every SDL function the window calls, each named once.
#define AKKUSIM_SDL_FUNCTIONS(X)  \
  X(SDL_ConvertPixels)            \
  X(SDL_CreateWindow)             \
  X(SDL_DestroyWindow)            \
  X(SDL_GetDisplayUsableBounds)   \
  X(SDL_GetWindowFlags)           \
  X(SDL_GetWindowSurface)         \
  X(SDL_Init)                     \
  X(SDL_IntersectRect)            \
  X(SDL_LockSurface)              \
  X(SDL_PollEvent)                \
  X(SDL_PushEvent)                \
  X(SDL_Quit)                     \
  X(SDL_RaiseWindow)              \
  X(SDL_SetHint)                  \
  X(SDL_SetWindowInputFocus)      \
  X(SDL_StartTextInput)           \
  X(SDL_UnlockSurface)            \
  X(SDL_UpdateWindowSurface)      \
  X(SDL_UpdateWindowSurfaceRects) \
  X(SDL_WaitEventTimeout)

inline constexpr const char* kSdlLibraryName = "libSDL2-2.0.so.0";

struct SdlLibraryCloser {
  void operator()(void* handle) const;
};

// The opened library and its functions, called under their SDL names
// (`sdl.SDL_Init(...)`); it stays loaded as long as this lives.
struct SdlLibrary {
  std::unique_ptr<void, SdlLibraryCloser> handle;
#define AKKUSIM_SDL_POINTER(name) decltype(&::name) name = nullptr;
  AKKUSIM_SDL_FUNCTIONS(AKKUSIM_SDL_POINTER)
#undef AKKUSIM_SDL_POINTER
};

// Opens `libraryName` and finds every function; a one-line reason when the
// library cannot be opened or lacks one of them.
Result<SdlLibrary> loadSdlLibrary(const char* libraryName);

}  // namespace akkusim
