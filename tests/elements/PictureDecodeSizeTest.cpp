// The decode size of a picture element's photo: the JPEG header walk that tells a photo's shown
// proportions without decoding it, and the hint made from them.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <string_view>

#include "DrawingTestSupport.h"
#include "elements/PictureDecodeSize.h"
#include "storage/MemoryStream.h"

namespace nimbra {
namespace {

std::optional<TPictureSize> ShownSize(const std::string& bytes) {
  TMemoryStream stream{std::string_view(bytes)};
  return ReadJpegShownSize(stream);
}

TEST(PictureDecodeSizeTest, HeaderTellsTheSizeAsShown) {
  const std::string plain = test::JpegBytes(test::Uniform(48, 16, 0xFF808080));
  EXPECT_EQ(ShownSize(plain), (TPictureSize{48, 16}));
  // A camera held upright stores the picture lying on its side.
  EXPECT_EQ(ShownSize(test::WithExifOrientation(plain, 6)), (TPictureSize{16, 48}));
  EXPECT_EQ(ShownSize(test::WithExifOrientation(plain, 8)), (TPictureSize{16, 48}));
  EXPECT_EQ(ShownSize(test::WithExifOrientation(plain, 3)), (TPictureSize{48, 16}));
}

TEST(PictureDecodeSizeTest, DamagedOrForeignHeadersTellNothing) {
  const std::string plain = test::JpegBytes(test::Uniform(48, 16, 0xFF808080));
  const size_t frame = plain.find("\xFF\xC0");
  ASSERT_NE(frame, std::string::npos);
  EXPECT_FALSE(ShownSize(""));
  EXPECT_FALSE(ShownSize(test::PngBytes(test::Uniform(4, 4, 0xFF808080))));
  // Cut inside the frame header, and before it.
  EXPECT_FALSE(ShownSize(plain.substr(0, frame + 6)));
  EXPECT_FALSE(ShownSize(plain.substr(0, frame)));
  // A segment whose length reaches past the data.
  std::string longSegment = plain.substr(0, 2) + std::string("\xFF\xE0\xFF\xF0JFIF", 8);
  EXPECT_FALSE(ShownSize(longSegment));
  // Something other than a marker where a segment should start.
  EXPECT_FALSE(ShownSize(plain.substr(0, 2) + "junk" + plain.substr(2)));
}

TEST(PictureDecodeSizeTest, HintIsTheFittedBoxTimesTheFactor) {
  // 4000 × 3000 fits a 400 × 100 box as 133 × 100.
  EXPECT_EQ(FittedDecodeHint({4000, 3000}, 400, 100, 2), (TDecodeHint{266, 200}));
  EXPECT_EQ(FittedDecodeHint({4000, 3000}, 400, 100, 1), (TDecodeHint{133, 100}));
  EXPECT_EQ(FittedDecodeHint({3000, 4000}, 400, 400, 2), (TDecodeHint{600, 800}));
}

}  // namespace
}  // namespace nimbra
