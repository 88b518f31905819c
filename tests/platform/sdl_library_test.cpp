// Opening SDL2 when the window is wanted: a library that is missing or lacks
// a function is a one-line reason, never a crash at the first call.

#include "platform/sdl/sdl_library.h"

#include <gtest/gtest.h>

#include <string>

using namespace akkusim;

namespace {

struct RefusedLibrary {
  const char* test;
  const char* library;
  const char* reason;
};

class SdlLibraryRefused : public testing::TestWithParam<RefusedLibrary> {};

TEST_P(SdlLibraryRefused, GivesTheReasonAndNoTable) {
  const Result<SdlLibrary> sdl = loadSdlLibrary(GetParam().library);
  ASSERT_FALSE(sdl.ok());
  const std::string& error = sdl.reason();
  EXPECT_NE(error.find(GetParam().reason), std::string::npos) << error;
  EXPECT_EQ(error.find('\n'), std::string::npos) << error;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SdlLibraryRefused,
    testing::Values(
        RefusedLibrary{"Missing", "libakkusim-gibt-es-nicht.so.0",
                       "SDL2 (libakkusim-gibt-es-nicht.so.0) konnte nicht geladen werden: "},
        // The C library is always there and has none of SDL's functions.
        RefusedLibrary{"WithoutSdlFunctions", "libc.so.6",
                       "SDL2 (libc.so.6) ist unvollständig: SDL_ConvertPixels fehlt"}),
    [](const testing::TestParamInfo<RefusedLibrary>& info) { return info.param.test; });

// Every name in the list is one the installed library exports, and the
// pointers reach the functions of that name.
TEST(SdlLibrary, TheInstalledLibraryHasEveryFunction) {
  const Result<SdlLibrary> sdl = loadSdlLibrary(kSdlLibraryName);
  ASSERT_TRUE(sdl.ok()) << sdl.reason();
  const SDL_Rect a{0, 0, 10, 10};
  const SDL_Rect b{5, 6, 10, 10};
  SDL_Rect both{};
  ASSERT_TRUE(sdl->SDL_IntersectRect(&a, &b, &both));
  EXPECT_EQ(both.x, 5);
  EXPECT_EQ(both.y, 6);
  EXPECT_EQ(both.w, 5);
  EXPECT_EQ(both.h, 4);
}

}  // namespace
