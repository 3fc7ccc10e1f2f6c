#include <gtest/gtest.h>

#include "storage/Check.h"

namespace nimbra {
namespace {

// Test builds stop at a broken invariant, naming the place and the message; a kept one costs
// nothing, not even its message.
TEST(CheckTest, ABrokenInvariantStopsTheTestBuildWithItsMessage) {
  int messages = 0;
  const auto message = [&messages] {
    ++messages;
    return std::string("two pages drawn into one bitmap");
  };
  NIMBRA_CHECK(1 + 1 == 2, message());
  EXPECT_EQ(messages, 0);
  EXPECT_DEATH(NIMBRA_CHECK(1 + 1 == 3, message()),
               "CheckTest.cpp:[0-9]+: broken invariant: two pages drawn into one bitmap");
}

}  // namespace
}  // namespace nimbra
