#include <windows.h>

#include <algorithm>
#include <bitset>
#include <thread>

#include "grader/usable_cores.h"

namespace akkusim {

// The affinity mask covers the process's processor group, which is all of a
// school PC's cores.
std::size_t usableCores() {
  DWORD_PTR process = 0;
  DWORD_PTR system = 0;
  if (::GetProcessAffinityMask(::GetCurrentProcess(), &process, &system) && process != 0) {
    return std::bitset<sizeof(DWORD_PTR) * 8>(process).count();
  }
  return std::max(1u, std::thread::hardware_concurrency());
}

}  // namespace akkusim
