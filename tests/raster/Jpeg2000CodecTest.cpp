#include <gtest/gtest.h>

#include "CodecTestPictures.h"
#include "LibraryTestPictures.h"
#include "raster/Jpeg2000Codec.h"
#include "raster/VendorLibraries.h"

namespace nimbra {
namespace {

using test::DecodeAs;

TEST(Jpeg2000CodecTest, LosslessFilesAndCodeStreamsDecodeExactlyWithoutAVendorLibrary) {
  ASSERT_EQ(Jpeg2000Library(), nullptr);
  const TBitmap32 opaque = test::TestPattern(17, 9);
  const TBitmap32 translucent = test::TestPattern(17, 9, true);
  for (const bool jp2 : {true, false}) {
    EXPECT_EQ(DecodeAs(OpenJpeg2000Reader, test::Jpeg2000Bytes(opaque, jp2, false)), opaque) << jp2;
    EXPECT_EQ(DecodeAs(OpenJpeg2000Reader, test::Jpeg2000Bytes(translucent, jp2, true)),
              translucent)
        << jp2;
  }
}

TEST(Jpeg2000CodecTest, TruncatedAndHostileFilesRaise) {
  const TBitmap32 picture = test::TestPattern(24, 16);
  for (const bool jp2 : {true, false}) {
    const std::string bytes = test::Jpeg2000Bytes(picture, jp2, false);
    // Only the final end-of-code-stream marker carries nothing.
    EXPECT_EQ(test::CutsThatDecode(OpenJpeg2000Reader, bytes, 2), std::vector<size_t>{}) << jp2;
  }
  // A code stream whose size marker claims 30000 × 30000 pixels.
  std::string huge = test::Jpeg2000Bytes(picture, false, false);
  for (const size_t at : {8, 12}) huge.replace(at, 4, std::string("\x00\x00\x75\x30", 4));
  EXPECT_THROW(DecodeAs(OpenJpeg2000Reader, huge), ECodecError);
  EXPECT_THROW(DecodeAs(OpenJpeg2000Reader, std::string("\xFF\x4F\xFF\x51", 4)), ECodecError);
  EXPECT_THROW(DecodeAs(OpenJpeg2000Reader, "not a jpeg 2000 file"), ECodecError);
}

}  // namespace
}  // namespace nimbra
