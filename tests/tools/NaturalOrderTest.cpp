// The order make-show and album give photos and folders by name.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "nimbra-kit/NaturalOrder.h"

namespace nimbra::kit {
namespace {

TEST(NaturalOrderTest, NumbersCountAndCaseDoesNot) {
  const struct {
    const char* Before;
    const char* After;
  } cases[] = {
      {"IMG_2.jpg", "IMG_10.jpg"},  // a number, not its digits
      {"IMG_9", "img_10"},          // case is no matter, numbers are
      {"apfel.jpg", "Zebra.jpg"},   // letters without regard to case
      {"Apfel", "birne"},
      {"äpfel", "Öl"},           // German letters too
      {"Foto 1", "Foto 1 (2)"},  // a name before its longer variants
      {"IMG_007", "IMG_8"},      // leading zeros do not make a number larger
      {"2024-05-03", "2024-05-20"},
      {"x99999999999999999999", "x100000000000000000000"},  // beyond any integer type
      {"IMG_1", "img_1"},  // equal but for case: by their bytes, upper case first
      {"a01", "a1"},       // equal but for zeros: by their bytes
  };
  for (const auto& c : cases) {
    EXPECT_TRUE(NaturalLess(c.Before, c.After)) << c.Before << " < " << c.After;
    EXPECT_FALSE(NaturalLess(c.After, c.Before)) << c.After << " < " << c.Before;
  }
  EXPECT_FALSE(NaturalLess("IMG_2", "IMG_2"));

  std::vector<std::string> names{"IMG_10", "Zebra", "IMG_2", "apfel", "IMG_1"};
  std::sort(names.begin(), names.end(), NaturalLess);
  EXPECT_EQ(names, (std::vector<std::string>{"apfel", "IMG_1", "IMG_2", "IMG_10", "Zebra"}));
}

}  // namespace
}  // namespace nimbra::kit
