#include "gfx/key_queue.h"

#include <gtest/gtest.h>

#include <cstdint>

using namespace akkusim;

TEST(KeyQueue, HandsKeysBackInOrderAndDropsTheOldestWhenFull) {
  KeyQueue queue;
  EXPECT_EQ(popKey(queue), std::nullopt);

  // Two more than fit, so the ring has wrapped when they are read back.
  for (uint8_t code = 1; code <= kKeyQueueLength + 2; ++code) pushKey(queue, keys::character(code));
  EXPECT_TRUE(isFull(queue));

  for (uint8_t code = 3; code <= kKeyQueueLength + 2; ++code) {
    EXPECT_EQ(popKey(queue), keys::character(code));
  }
  EXPECT_EQ(popKey(queue), std::nullopt);
  EXPECT_FALSE(isFull(queue));
}
