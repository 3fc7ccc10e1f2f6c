// The decode size of a picture element's photo: the hint made from its shown proportions.
#include <gtest/gtest.h>

#include "elements/PictureDecodeSize.h"

namespace nimbra {
namespace {

TEST(PictureDecodeSizeTest, HintIsTheFittedBoxTimesTheFactor) {
  // 4000 × 3000 fits a 400 × 100 box as 133 × 100.
  EXPECT_EQ(FittedDecodeHint({4000, 3000}, 400, 100, 2), (TDecodeHint{266, 200}));
  EXPECT_EQ(FittedDecodeHint({4000, 3000}, 400, 100, 1), (TDecodeHint{133, 100}));
  EXPECT_EQ(FittedDecodeHint({3000, 4000}, 400, 400, 2), (TDecodeHint{600, 800}));
}

}  // namespace
}  // namespace nimbra
