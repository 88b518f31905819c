// A planted fault, never part of a normal fuzz run: INT32_MAX plus the first
// byte (made odd, so at least 1) overflows on the first input that has a
// byte. A fuzz build that merely prints such a report and goes on would pass
// over undefined behaviour in the real targets too; scripts/fuzz_probe.sh
// checks that this target makes scripts/fuzz.sh fail.
#include <cstddef>
#include <cstdint>
#include <limits>

namespace {

volatile int32_t gBase = std::numeric_limits<int32_t>::max();
volatile int32_t gSink = 0;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  gSink = gBase + (data[0] | 1);
  return 0;
}
