#include <sched.h>

#include <algorithm>
#include <thread>

#include "grader/usable_cores.h"

namespace akkusim {

std::size_t usableCores() {
  cpu_set_t set;
  CPU_ZERO(&set);
  if (::sched_getaffinity(0, sizeof set, &set) == 0 && CPU_COUNT(&set) > 0) {
    return static_cast<std::size_t>(CPU_COUNT(&set));
  }
  return std::max(1u, std::thread::hardware_concurrency());
}

}  // namespace akkusim
