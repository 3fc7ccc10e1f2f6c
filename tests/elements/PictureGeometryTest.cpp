// The geometric steps of the picture element on their own: filters, working copy, quarter turns
// and the output sizes of the fit modes.
#include <gtest/gtest.h>

#include <string>

#include "elements/PictureGeometry.h"
#include "elements/PicturePlaceholder.h"

namespace nimbra {
namespace {

TBitmap32 Filled(int width, int height, TColor32 colour = 0xFF336699) {
  TBitmap32 bitmap(width, height);
  bitmap.Clear(colour);
  return bitmap;
}

TEST(PictureGeometryTest, FilterFollowsTheDirectionOfTheStretch) {
  EXPECT_EQ(PictureFilter(100, 100, 200, 100, false), TResamplingFilter::Mitchell);
  EXPECT_EQ(PictureFilter(100, 100, 100, 100, false), TResamplingFilter::Mitchell);
  EXPECT_EQ(PictureFilter(100, 100, 200, 99, false), TResamplingFilter::Lanczos);
  EXPECT_EQ(PictureFilter(100, 100, 50, 50, false), TResamplingFilter::Lanczos);
  EXPECT_EQ(PictureFilter(100, 100, 50, 50, true), TResamplingFilter::Nearest);
}

TEST(PictureGeometryTest, WorkingCopyIsAtMostTwiceTheFittedBoxWhenRendering) {
  TBitmap32 picture = Filled(5000, 100);
  TBitmap32 working = MakeWorkingCopy(picture, 400, 8, true);
  EXPECT_EQ(working.Width(), 800);
  EXPECT_EQ(working.Height(), 16);
  EXPECT_TRUE(picture.Empty());
  EXPECT_EQ(working.Pixel(400, 8), 0xFF336699u);

  // Twice the box exactly, or the design view: the picture itself is taken over.
  picture = Filled(800, 10);
  EXPECT_EQ(MakeWorkingCopy(picture, 400, 8, true).Width(), 800);
  picture = Filled(5000, 100);
  EXPECT_EQ(MakeWorkingCopy(picture, 400, 8, false).Width(), 5000);
  EXPECT_TRUE(picture.Empty());
}

TEST(PictureGeometryTest, OnlyAStrictlyBetterFillTurns) {
  EXPECT_TRUE(TurningFillsBetter(300, 400, 400, 300));
  EXPECT_FALSE(TurningFillsBetter(400, 300, 400, 300));
  EXPECT_FALSE(TurningFillsBetter(100, 100, 400, 300));
  EXPECT_FALSE(TurningFillsBetter(300, 400, 300, 300));
}

TEST(PictureGeometryTest, BorderPixelsBecomeTransparent) {
  TBitmap32 bitmap = Filled(4, 3);
  ClearBorderPixels(bitmap);
  for (int y = 0; y < 3; ++y) {
    for (int x = 0; x < 4; ++x) {
      const bool inner = x > 0 && x < 3 && y == 1;
      EXPECT_EQ(AlphaComponent(bitmap.Pixel(x, y)), inner ? 255 : 0) << x << "," << y;
      EXPECT_EQ(bitmap.Pixel(x, y) & 0xFFFFFF, 0x336699u);
    }
  }
}

TEST(PictureGeometryTest, UnturnedPicturesFillOrFitTheBox) {
  TBitmap32 source = Filled(400, 300);
  TBitmap32 output;
  TPictureGeometry g = FitAndTurn(source, output, 200, 200, true, 0, 1, TResamplingFilter::Lanczos);
  EXPECT_EQ(output.Width(), 200);
  EXPECT_EQ(output.Height(), 150);
  EXPECT_EQ(g.ScaledWidth, 200);
  EXPECT_EQ(g.ScaledHeight, 150);
  EXPECT_EQ(g.Transformation.GetTransformedBounds(), (TRect{0, 0, 200, 150}));

  g = FitAndTurn(source, output, 200, 200, false, 0, 1, TResamplingFilter::Lanczos);
  EXPECT_EQ(output.Width(), 200);
  EXPECT_EQ(output.Height(), 200);
}

TEST(PictureGeometryTest, TurnedOutputSizesFollowTheFitMode) {
  TBitmap32 output;
  TBitmap32 source = Filled(201, 101);
  // Mode 0: exactly the box.
  FitAndTurn(source, output, 150, 120, true, 30, 0, TResamplingFilter::Lanczos);
  EXPECT_EQ(output.Width(), 150);
  EXPECT_EQ(output.Height(), 120);
  // Mode 1: the turned bounds, which for a quarter turn are the turned picture scaled into the
  // box: 101 × 201 into 300 × 300 scales by 300 / 200; the span of 301 pixel centres where it
  // touches the box is kept to the box.
  source = Filled(201, 101);
  TPictureGeometry g = FitAndTurn(source, output, 300, 300, true, 90, 1, TResamplingFilter::Lanczos);
  EXPECT_EQ(output.Width(), 151);
  EXPECT_EQ(output.Height(), 300);
  EXPECT_EQ(g.ScaledWidth, 302);
  EXPECT_EQ(g.ScaledHeight, 152);
  // Mode 2: scaled as if unturned (by 300 / 201), so the turned height stays within the box.
  source = Filled(201, 101);
  FitAndTurn(source, output, 300, 300, true, 90, 2, TResamplingFilter::Lanczos);
  EXPECT_NEAR(output.Width(), 151, 1);
  EXPECT_NEAR(output.Height(), 300, 1);
  // Any other mode: nothing.
  source = Filled(201, 101);
  FitAndTurn(source, output, 300, 300, true, 90, 7, TResamplingFilter::Lanczos);
  EXPECT_TRUE(output.Empty());
}

TEST(PictureGeometryTest, AShearedOutputIsCutToTheReachWithEveryPixelInPlace) {
  // 300 × 3 in a 60 × 60 box without the aspect, turned by 45 degrees in fit mode 2: scaled by
  // 0.2 × 20 after the turn, the picture becomes a streak over 4000 pixels high.
  const auto turn = [](TPictureReach reach, TBitmap32& output) {
    TBitmap32 source(300, 3);
    for (int x = 0; x < 300; ++x) {
      for (int y = 0; y < 3; ++y) source.SetPixel(x, y, 0xFF000000 | (x * 0x010305 + y * 0x50));
    }
    return FitAndTurn(source, output, 60, 60, false, 45, 2, TResamplingFilter::Lanczos, reach);
  };
  TBitmap32 whole;
  const TPictureGeometry wholeGeometry = turn({}, whole);
  TBitmap32 cut;
  const TPictureGeometry cutGeometry = turn({100, 100}, cut);
  ASSERT_GT(whole.Height(), 4000);
  EXPECT_EQ(cut.Width(), whole.Width());  // narrower than the reach
  EXPECT_LE(cut.Height(), 201);
  const int cutY = (whole.Height() - cut.Height()) / 2;
  TRect moved = wholeGeometry.Transformation.GetTransformedBounds();
  moved.Top -= cutY;
  moved.Bottom -= cutY;
  EXPECT_EQ(cutGeometry.Transformation.GetTransformedBounds(), moved);
  int differing = 0;
  for (int y = 0; y < cut.Height(); ++y) {
    for (int x = 0; x < cut.Width(); ++x) differing += cut.Pixel(x, y) != whole.Pixel(x, y + cutY);
  }
  EXPECT_EQ(differing, 0);
}

TEST(PictureGeometryTest, PlaceholderIsAWhiteBoxWithABlackFrameAndCross) {
  const TBitmap32 box = PicturePlaceholder(9, 5);
  EXPECT_EQ(box.Pixel(0, 2), kColor32Black);
  EXPECT_EQ(box.Pixel(4, 4), kColor32Black);
  EXPECT_EQ(box.Pixel(4, 2), kColor32Black);  // where the diagonals cross
  EXPECT_EQ(box.Pixel(2, 2), kColor32White);
  EXPECT_EQ(box.Pixel(6, 2), kColor32White);
  EXPECT_TRUE(PicturePlaceholder(0, 5).Empty());
}

// A missing photo's placeholder names it on a white band across the cross; the name is cut where
// the box ends and leaves the frame whole.
TEST(PictureGeometryTest, MissingPhotosPlaceholderNamesTheFileOverTheCross) {
  const TBitmap32 plain = PicturePlaceholder(240, 160);
  const TBitmap32 named = PicturePlaceholder(240, 160, "C:\\Bilder\\Urlaub/fehlt.jpg");
  const auto inkIn = [](const TBitmap32& box, int top, int bottom) {
    int ink = 0;
    for (int y = top; y < bottom; ++y) {
      for (int x = 1; x < box.Width() - 1; ++x) ink += box.Pixel(x, y) != kColor32White;
    }
    return ink;
  };
  // The band hides the cross at the centre; the name's ink is there instead.
  EXPECT_GT(inkIn(named, 70, 90), 20);
  EXPECT_NE(inkIn(named, 70, 90), inkIn(plain, 70, 90));
  // Away from the band the two are the same picture.
  for (const int y : {0, 20, 140, 159}) {
    for (int x = 0; x < 240; ++x) ASSERT_EQ(named.Pixel(x, y), plain.Pixel(x, y)) << x << "," << y;
  }
  const TBitmap32 longName = PicturePlaceholder(40, 30, std::string(200, 'W') + ".jpg");
  for (int x = 0; x < 40; ++x) {
    ASSERT_EQ(longName.Pixel(x, 0), kColor32Black);
    ASSERT_EQ(longName.Pixel(x, 29), kColor32Black);
  }
}

}  // namespace
}  // namespace nimbra
