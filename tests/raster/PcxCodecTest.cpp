#include <gtest/gtest.h>

#include "CodecTestPictures.h"
#include "raster/PcxCodec.h"

namespace nimbra {
namespace {

using test::DecodeAs;
using test::PcxBytes;

std::string Header(int bits, int planes, int width, int height, int bytesPerLine, bool runLength) {
  test::TBytes h;
  h.U8(0x0A).U8(5).U8(runLength ? 1 : 0).U8(static_cast<uint32_t>(bits));
  h.U16(0).U16(0).U16(static_cast<uint32_t>(width - 1)).U16(static_cast<uint32_t>(height - 1));
  h.U16(72).U16(72).Zeros(48).U8(0).U8(static_cast<uint32_t>(planes));
  h.U16(static_cast<uint32_t>(bytesPerLine)).U16(1).Zeros(58);
  return h.Str();
}

TEST(PcxCodecTest, LinesArePlanesOfRedGreenAndBlueWithRuns) {
  // 3 × 1, 24-bit, lines padded to 4 bytes: red all 0x10 (a run), green 0x20 0x21 0x22, blue a run.
  const std::string lines(
      "\xC3\x10\x00"
      "\x20\x21\x22\x00"
      "\xC3\x30\x00",
      10);
  const std::string pcx = Header(8, 3, 3, 1, 4, true) + lines;
  const TBitmap32 decoded = DecodeAs(OpenPcxReader, pcx);
  ASSERT_EQ(decoded.Width(), 3);
  EXPECT_EQ(decoded.Pixel(0, 0), Color32(0x10, 0x20, 0x30));
  EXPECT_EQ(decoded.Pixel(2, 0), Color32(0x10, 0x22, 0x30));
  // A byte of 0xC0 and above must itself be written as a run of one.
  const std::string high = Header(8, 3, 1, 1, 2, true) + std::string(
                                                             "\xC1\xC5\x00"
                                                             "\xC1\xFF\x00"
                                                             "\x07\x00",
                                                             8);
  EXPECT_EQ(DecodeAs(OpenPcxReader, high).Pixel(0, 0), Color32(0xC5, 0xFF, 0x07));
}

TEST(PcxCodecTest, EveryLayoutComesBackExactly) {
  const TBitmap32 stripes = test::StripedPicture(13, 7, 6);
  const TBitmap32 pattern = test::TestPattern(13, 7, true);
  TBitmap32 opaquePattern = test::TestPattern(13, 7);
  TBitmap32 blackAndWhite(11, 3);
  for (int i = 0; i < 33; ++i) {
    blackAndWhite.SetPixel(i % 11, i / 11, (i * 7) % 3 ? kColor32White : kColor32Black);
  }
  for (const bool runLength : {true, false}) {
    EXPECT_EQ(DecodeAs(OpenPcxReader,
                       PcxBytes(stripes, {.bitsPerPixel = 8, .planes = 1, .runLength = runLength})),
              stripes);
    EXPECT_EQ(
        DecodeAs(OpenPcxReader,
                 PcxBytes(opaquePattern, {.bitsPerPixel = 8, .planes = 3, .runLength = runLength})),
        opaquePattern);
    EXPECT_EQ(DecodeAs(OpenPcxReader,
                       PcxBytes(pattern, {.bitsPerPixel = 8, .planes = 4, .runLength = runLength})),
              pattern);
    EXPECT_EQ(DecodeAs(OpenPcxReader,
                       PcxBytes(stripes, {.bitsPerPixel = 1, .planes = 4, .runLength = runLength})),
              stripes);
    EXPECT_EQ(
        DecodeAs(OpenPcxReader,
                 PcxBytes(blackAndWhite, {.bitsPerPixel = 1, .planes = 1, .runLength = runLength})),
        blackAndWhite);
  }
}

TEST(PcxCodecTest, RunsCrossLinesAndAMissingPaletteMeansGrey) {
  TBitmap32 uniform(40, 30);
  uniform.Clear(Color32(5, 6, 7));
  const std::string pcx = PcxBytes(uniform, {.bitsPerPixel = 8, .planes = 1});
  EXPECT_LT(pcx.size(), 128u + 60u + 769u);  // 1200 bytes of lines in runs of 63 across lines
  EXPECT_EQ(DecodeAs(OpenPcxReader, pcx), uniform);

  const std::string noPalette = Header(8, 1, 2, 1, 2, false) + std::string("\x00\x80", 2);
  const TBitmap32 grey = DecodeAs(OpenPcxReader, noPalette);
  EXPECT_EQ(grey.Pixel(0, 0), Color32(0, 0, 0));
  EXPECT_EQ(grey.Pixel(1, 0), Color32(0x80, 0x80, 0x80));
}

TEST(PcxCodecTest, TruncatedAndHostileFilesRaise) {
  const TBitmap32 stripes = test::StripedPicture(21, 9, 5);
  EXPECT_EQ(
      test::CutsThatDecode(OpenPcxReader, PcxBytes(stripes, {.bitsPerPixel = 8, .planes = 1}), 769),
      std::vector<size_t>{});
  EXPECT_EQ(
      test::CutsThatDecode(OpenPcxReader, PcxBytes(stripes, {.bitsPerPixel = 8, .planes = 3}), 0),
      std::vector<size_t>{});
  // Lines the data cannot hold, raw and in runs.
  EXPECT_THROW(
      DecodeAs(OpenPcxReader, Header(8, 3, 10000, 10000, 10000, false) + std::string(500, 'x')),
      ECodecError);
  EXPECT_THROW(
      DecodeAs(OpenPcxReader, Header(8, 3, 10000, 10000, 10000, true) + std::string(500, '\xFF')),
      ECodecError);
  EXPECT_THROW(DecodeAs(OpenPcxReader, Header(8, 1, 60000, 60000, 60000, true) + "xx"),
               ECodecError);
  // Lines shorter than the width, layouts that do not exist, a wrong signature.
  EXPECT_THROW(DecodeAs(OpenPcxReader, Header(8, 3, 10, 1, 4, false) + std::string(40, 'x')),
               ECodecError);
  EXPECT_THROW(DecodeAs(OpenPcxReader, Header(8, 2, 1, 1, 2, false) + "xxxx"), ECodecError);
  EXPECT_THROW(DecodeAs(OpenPcxReader, Header(3, 1, 1, 1, 2, false) + "xx"), ECodecError);
  std::string wrong = Header(8, 3, 1, 1, 2, false) + "xxxxxx";
  wrong[0] = 'P';
  EXPECT_THROW(DecodeAs(OpenPcxReader, wrong), ECodecError);
  EXPECT_THROW(DecodeAs(OpenPcxReader, Header(8, 3, 1, 1, 2, false).substr(0, 60)), ECodecError);
}

}  // namespace
}  // namespace nimbra
