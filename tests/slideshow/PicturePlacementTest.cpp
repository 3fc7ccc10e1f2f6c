// Placing a picture in its area and combining its pixels with the background.
#include <gtest/gtest.h>

#include "slideshow/PicturePlacement.h"

namespace nimbra {
namespace {

constexpr TPixelRect kScreen{0, 0, 1000, 800};

TEST(PicturePlacementTest, RoundsHalvesToEven) {
  EXPECT_EQ(RoundHalfEven(0.5), 0);
  EXPECT_EQ(RoundHalfEven(1.5), 2);
  EXPECT_EQ(RoundHalfEven(2.5), 2);
  EXPECT_EQ(RoundHalfEven(2.5000001), 3);
  EXPECT_EQ(RoundHalfEven(-0.5), 0);
  EXPECT_EQ(RoundHalfEven(-1.5), -2);
  EXPECT_EQ(RoundHalfEven(-2.6), -3);
  EXPECT_EQ(RoundHalfEven(1e12), INT32_MAX);
  // Area edges: 5 × 0.5 = 2.5 goes down to 2, 7 × 0.5 = 3.5 up to 4; the screen's origin is kept.
  EXPECT_EQ(PlacementArea({0.5, 0.5, 1, 1}, {10, 20, 15, 27}), (TPixelRect{12, 24, 15, 27}));
}

TEST(PicturePlacementTest, UnscaledPictureSitsInTheLowerRightCorner) {
  TPlacementSettings settings;
  settings.Scale = false;
  settings.Alignment = static_cast<uint8_t>(TPictureAlignment::BottomRight);
  EXPECT_EQ(PlacePicture(300, 200, settings, kScreen), (TPixelRect{700, 600, 1000, 800}));
}

TEST(PicturePlacementTest, ScaledPictureKeepsItsAspectAndIsCentred) {
  TPlacementSettings settings;
  settings.Rect = {0.25, 0.25, 0.75, 0.75};
  EXPECT_EQ(PlacementArea(settings.Rect, kScreen), (TPixelRect{250, 200, 750, 600}));
  EXPECT_EQ(PlacePicture(400, 300, settings, kScreen), (TPixelRect{250, 212, 750, 587}));
  // Too high at the area's width: as high as the area instead.
  EXPECT_EQ(PlacePicture(300, 600, settings, kScreen), (TPixelRect{400, 200, 600, 600}));
  // Never thinner than a pixel.
  EXPECT_EQ(PlacePicture(10000, 1, settings, kScreen).Height(), 1);
  // Without the aspect the picture fills the area, whatever the alignment.
  settings.KeepAspectRatio = false;
  settings.Alignment = static_cast<uint8_t>(TPictureAlignment::TopRight);
  EXPECT_EQ(PlacePicture(400, 300, settings, kScreen), (TPixelRect{250, 200, 750, 600}));
}

TEST(PicturePlacementTest, AlignmentsPutThePictureAgainstTheirEdges) {
  TPlacementSettings settings;
  settings.Scale = false;
  settings.Rect = {0.1, 0.1, 0.9, 0.9};  // (100, 80) - (900, 720)
  const TPixelRect expected[] = {
      {449, 375, 550, 425},  // centre: (800 - 101) div 2 = 349
      {100, 80, 201, 130},  {799, 80, 900, 130},  {100, 670, 201, 720}, {799, 670, 900, 720},
      {449, 80, 550, 130},  {449, 670, 550, 720}, {100, 375, 201, 425}, {799, 375, 900, 425},
  };
  for (uint8_t alignment = 0; alignment <= 8; ++alignment) {
    settings.Alignment = alignment;
    EXPECT_EQ(PlacePicture(101, 50, settings, kScreen), expected[alignment]) << int{alignment};
  }
  settings.Alignment = 9;  // unknown: where step 2 left it
  EXPECT_EQ(PlacePicture(101, 50, settings, kScreen), (TPixelRect{0, 0, 101, 50}));
}

TEST(PicturePlacementTest, CombineModesWorkPerChannelAndKeepThePicturesAlpha) {
  const TColor32 picture = Color32(200, 100, 50, 0x80);
  const TColor32 background = Color32(100, 150, 250, 0xFF);
  EXPECT_EQ(CombinePixel(picture, background, TCombineMode::Opaque), picture);
  EXPECT_EQ(CombinePixel(picture, background, TCombineMode::Add), Color32(255, 250, 255, 0x80));
  EXPECT_EQ(CombinePixel(picture, background, TCombineMode::Subtract), Color32(100, 0, 0, 0x80));
  EXPECT_EQ(CombinePixel(picture, background, TCombineMode::Multiply), Color32(78, 58, 48, 0x80));
  EXPECT_EQ(CombinePixel(picture, background, TCombineMode::Darken), Color32(100, 100, 50, 0x80));
  EXPECT_EQ(CombinePixel(picture, background, TCombineMode::Lighten), Color32(200, 150, 250, 0x80));
  // Blending: an opaque picture covers, a transparent one lets the background through.
  EXPECT_EQ(CombinePixel(Color32(1, 2, 3), background, TCombineMode::AlphaBlend), Color32(1, 2, 3));
  EXPECT_EQ(CombinePixel(Color32(1, 2, 3, 0), background, TCombineMode::AlphaBlend), background);
  EXPECT_EQ(CombinePixel(Color32(255, 0, 0, 0x80), Color32(0, 0, 0), TCombineMode::AlphaBlend),
            Color32(128, 0, 0));
}

}  // namespace
}  // namespace nimbra
