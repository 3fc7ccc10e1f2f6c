// The units a layout's project needs, started once per suite.
#pragma once

#include <gtest/gtest.h>

namespace nimbra::test {

class TLayoutTest : public ::testing::Test {
 public:
  static void SetUpTestSuite();
  static void TearDownTestSuite();
};

}  // namespace nimbra::test
