#include "gfx/key_queue.h"

namespace akkusim {

void pushKey(KeyQueue& queue, Key key) {
  if (isFull(queue)) {
    queue.start = (queue.start + 1) % queue.keys.size();
    --queue.count;
  }
  queue.keys[(queue.start + queue.count) % queue.keys.size()] = key;
  ++queue.count;
}

std::optional<Key> popKey(KeyQueue& queue) {
  if (queue.count == 0) return std::nullopt;
  const Key key = queue.keys[queue.start];
  queue.start = (queue.start + 1) % queue.keys.size();
  --queue.count;
  return key;
}

}  // namespace akkusim
