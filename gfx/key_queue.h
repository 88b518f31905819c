#pragma once
// The short queue of typed keys that a platform keeps between two readings;
// when it is full the oldest key gives way, as a PC's keyboard buffer does.

#include <array>
#include <cstddef>
#include <optional>

#include "gfx/key.h"

namespace akkusim {

inline constexpr std::size_t kKeyQueueLength = 15;

struct KeyQueue {
  std::array<Key, kKeyQueueLength> keys{};
  std::size_t start = 0;
  std::size_t count = 0;
};

void pushKey(KeyQueue& queue, Key key);
std::optional<Key> popKey(KeyQueue& queue);
inline bool isFull(const KeyQueue& queue) {
  return queue.count == queue.keys.size();
}

}  // namespace akkusim
