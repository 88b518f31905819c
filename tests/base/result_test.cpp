#include "base/result.h"

#include <gtest/gtest.h>

#include <memory>

namespace akkusim {
namespace {

Result<int> half(int value) {
  if (value % 2 != 0) return Failure{"ungerade Zahl"};
  return value / 2;
}

TEST(Result, CarriesEitherTheValueOrTheReason) {
  const Result<int> good = half(8);
  const Result<int> bad = half(7);

  ASSERT_TRUE(good.ok());
  EXPECT_EQ(*good, 4);
  ASSERT_FALSE(bad);
  EXPECT_EQ(bad.reason(), "ungerade Zahl");
}

TEST(Result, MovesAValueThatCannotBeCopiedAndStatusSaysOnlyWhetherItWorked) {
  Result<std::unique_ptr<int>> owned = std::make_unique<int>(3);
  const std::unique_ptr<int> taken = std::move(owned).value();
  const Status done = succeeded();
  const Status failed = Failure{"Datei fehlt"};

  EXPECT_EQ(*taken, 3);
  EXPECT_TRUE(done.ok());
  EXPECT_EQ(failed.reason(), "Datei fehlt");
}

}  // namespace
}  // namespace akkusim
