#pragma once
// How many programs `akkusim test` may check at once: one source per system
// (usable_cores_posix.cpp, usable_cores_win32.cpp).

#include <cstddef>

namespace akkusim {

// The cores this process may run on (taskset, containers and job objects
// narrow them); at least 1.
std::size_t usableCores();

}  // namespace akkusim
