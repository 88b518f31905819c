#include "platform/sdl/sdl_library.h"

#include <dlfcn.h>

namespace akkusim {

namespace {

std::string lastDlError() {
  const char* reason = dlerror();
  return reason ? reason : "unbekannter Fehler";
}

}  // namespace

void SdlLibraryCloser::operator()(void* handle) const {
  dlclose(handle);
}

Result<SdlLibrary> loadSdlLibrary(const char* libraryName) {
  SdlLibrary sdl;
  // Resolving everything now turns a library whose own dependencies are
  // missing into this error instead of an abort at the first call. It is
  // never unmapped: threads or exit handlers that SDL's own libraries leave
  // behind may still run its code after SDL_Quit.
  sdl.handle.reset(dlopen(libraryName, RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE));
  if (!sdl.handle) {
    return Failure{std::string("SDL2 (") + libraryName +
                   ") konnte nicht geladen werden: " + lastDlError()};
  }
#define AKKUSIM_SDL_LOOKUP(name)                                                                  \
  sdl.name = reinterpret_cast<decltype(sdl.name)>(dlsym(sdl.handle.get(), #name));                \
  if (!sdl.name) {                                                                                \
    return Failure{std::string("SDL2 (") + libraryName + ") ist unvollständig: " #name " fehlt"}; \
  }
  AKKUSIM_SDL_FUNCTIONS(AKKUSIM_SDL_LOOKUP)
#undef AKKUSIM_SDL_LOOKUP
  return sdl;
}

}  // namespace akkusim
