#pragma once
// The words that the STOREs of recorded steps overwrote, newest last.

#include <cstddef>
#include <cstdint>

#include "isa/word.h"

namespace akkusim {

// No initial values: the ring is allocated without writing it, so its
// pages are taken only as the log fills them.
struct StoreUndo {
  uint16_t address;
  Word oldWord;
};

// The log is a ring of this many entries (a power of two, 8 MiB): the
// oldest are overwritten, which limits how far back the history reaches.
inline constexpr std::size_t kStoreLogEntries = std::size_t{1} << 21;

// `entries` holds kStoreLogEntries; `end` counts every entry ever written,
// so entry n lies at n modulo the size.
struct StoreLog {
  StoreUndo* entries = nullptr;
  uint64_t end = 0;
};

}  // namespace akkusim
