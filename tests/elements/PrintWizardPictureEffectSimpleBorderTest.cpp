// The simple border's pixels: where the frame lies around the picture, what each style draws,
// stored widths, styles and pattern counts that make no sense, and the frame on a rendered page.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <functional>
#include <limits>
#include <memory>
#include <optional>
#include <vector>

#include "DrawingTestSupport.h"
#include "elements/PrintPageElementPicture.h"
#include "elements/PrintWizardPictureEffectSimpleBorder.h"
#include "raster/Blend.h"

namespace nimbra {
namespace {

using TBag = TPrintWizardPictureEffectSimpleBorderProperties;
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr TColor32 kBlue = 0xFF0000FF;
constexpr TColor32 kRed = 0xFFFF0000;

// A 200 × 100 picture with a different colour in nearly every pixel.
TBitmap32 Picture() {
  TBitmap32 picture(200, 100);
  for (int y = 0; y < 100; ++y) {
    for (int x = 0; x < 200; ++x) picture.SetPixel(x, y, Color32(x, y * 2, 255 - x));
  }
  return picture;
}

// The picture with a border of the style, at 254 dpi: a tenth of a centimetre is ten pixels.
TBitmap32 Framed(uint8_t style, double width, const std::function<void(TBag&)>& set) {
  TPrintWizardPictureEffectSimpleBorder border;
  border.BorderProperties().SetStyle(style);
  border.BorderProperties().SetBorderWidth(width);
  set(border.BorderProperties());
  TBitmap32 bitmap = Picture();
  border.Apply(bitmap, {0, 0, 200, 100}, 254, nullptr, 1, 1);
  return bitmap;
}

// Both colours black, so that every style's frame is one colour and only its place shows.
TEST(SimpleBorderTest, FrameFillsExactlyItsSidesAroundTheUntouchedPicture) {
  struct TCase {
    uint8_t Style;
    double Width;
    std::optional<std::array<double, 4>> Sides;  // left, top, right, bottom
    int32_t PatternCount;
    uint8_t Transparency;
    TRect Inside;  // the picture's place
    int GrownWidth, GrownHeight;
  };
  const int32_t most = std::numeric_limits<int32_t>::max();
  const TCase cases[] = {
      {0, 0.1, std::array{0.1, 0.2, 0.3, 0.4}, 2, 0, {10, 20, 210, 120}, 240, 160},
      {0, 0.1, {}, 2, 0, {10, 10, 210, 110}, 220, 120},
      {0, 0.1, {}, 2, 100, {10, 10, 210, 110}, 220, 120},
      // Past the largest picture an effect may make (20200 × 20100 pixels) the border is left out.
      {0, 100, {}, 2, 0, {0, 0, 200, 100}, 200, 100},
      {1, kInf, {}, 2, 0, {0, 0, 200, 100}, 200, 100},
      {2, std::numeric_limits<double>::quiet_NaN(), {}, 2, 0, {1, 1, 201, 101}, 202, 102},
      {5, -kInf, {}, 2, 0, {1, 1, 201, 101}, 202, 102},
      // Styles that always take the common width, here far wider than the whole bitmap.
      {2, 1e6, std::array{0.0, 0.0, 0.0, 0.0}, 2, 0, {1, 1, 201, 101}, 202, 102},
      {1, 1e6, std::array{0.0, 0.0, 0.0, 0.0}, most, 0, {1, 1, 201, 101}, 202, 102},
  };
  const TBitmap32 picture = Picture();
  for (const TCase& c : cases) {
    const TBitmap32 framed = Framed(c.Style, c.Width, [&](TBag& bag) {
      bag.SetColor2(kColor32Black);
      bag.SetPatternCount(c.PatternCount);
      bag.SetTransparency(c.Transparency);
      bag.SetIndividualSides(c.Sides.has_value());
      const auto sides = c.Sides.value_or(std::array{0.0, 0.0, 0.0, 0.0});
      bag.SetLeftWidth(sides[0]);
      bag.SetTopWidth(sides[1]);
      bag.SetRightWidth(sides[2]);
      bag.SetBottomWidth(sides[3]);
    });
    ASSERT_EQ(framed.Width(), c.GrownWidth) << "style " << +c.Style << ", width " << c.Width;
    ASSERT_EQ(framed.Height(), c.GrownHeight) << "style " << +c.Style << ", width " << c.Width;
    TBitmap32 expected(c.GrownWidth, c.GrownHeight);
    expected.Clear(ColorWithAlpha(kColor32Black, 255 - c.Transparency));
    DrawBitmap(expected, c.Inside.Left, c.Inside.Top, picture, TDrawMode::Opaque);
    EXPECT_TRUE(framed == expected) << "style " << +c.Style << ", width " << c.Width;
  }
  // A border left out says so, for the element to report.
  TPrintWizardPictureEffectSimpleBorder huge;
  huge.BorderProperties().SetBorderWidth(100);
  TBitmap32 bitmap = Picture();
  huge.Apply(bitmap, {0, 0, 200, 100}, 254, nullptr, 1, 1);
  EXPECT_TRUE(huge.Skipped());
}

// Blue to red, ten pixels wide around 200 × 100: a 220 × 120 bitmap.
TEST(SimpleBorderTest, EveryStyleDrawsItsColoursWhereTheyBelong) {
  struct TCase {
    uint8_t Style;
    int32_t PatternCount;
    std::vector<std::array<int, 2>> At;
    std::vector<TColor32> Colours;
  };
  const TCase cases[] = {
      {0, 2, {{0, 0}, {219, 119}, {9, 60}}, {kBlue, kBlue, kBlue}},
      // Eight patterns: the top line runs through four entries (blue, red, blue, red), the left
      // line through two (3.67 and 1.09, made even); without patterns the lines stay blue.
      {1, 8, {{0, 0}, {55, 0}, {110, 0}, {0, 60}, {0, 15}}, {kBlue, kRed, kBlue, kRed, 0xFF4000BF}},
      {1, -8, {{55, 0}, {0, 60}}, {kBlue, kBlue}},
      {2, 2, {{0, 0}, {8, 60}, {110, 2}}, {kBlue, 0xFFCC0033, 0xFF3300CC}},
      {3, 2, {{0, 60}, {219, 60}, {110, 5}}, {kBlue, 0xFFFE0001, 0xFF800080}},
      {4, 2, {{5, 0}, {5, 119}, {215, 60}}, {kBlue, 0xFFFD0002, 0xFF800080}},
      // Light from the top left; the corners split on the diagonal.
      {5, 2, {{9, 60}, {110, 0}, {219, 60}, {110, 119}, {219, 0}, {210, 9}, {215, 8}, {0, 119}},
       {kBlue, kBlue, kRed, kRed, kBlue, kBlue, kRed, kRed}},
      {255, 2, {{0, 0}, {219, 119}, {9, 60}}, {kBlue, kBlue, kBlue}},
  };
  for (const TCase& c : cases) {
    const TBitmap32 framed = Framed(c.Style, 0.1, [&](TBag& bag) {
      bag.SetColor1(kBlue);
      bag.SetColor2(kRed);
      bag.SetPatternCount(c.PatternCount);
    });
    ASSERT_EQ(framed.Width(), 220);
    std::vector<TColor32> colours;
    for (const auto& [x, y] : c.At) colours.push_back(framed.Pixel(x, y));
    EXPECT_EQ(colours, c.Colours) << "style " << +c.Style;
  }
}

class SimpleBorderPageTest : public test::TDrawingTest {};

// The border is added before the picture is fitted into its box, so it shrinks with the picture.
TEST_F(SimpleBorderPageTest, FrameIsScaledWithThePicture) {
  constexpr TColor32 kPhoto = 0xFFC86432;
  TPrintPageElementPicture element;
  auto border = std::make_unique<TPrintWizardPictureEffectSimpleBorder>();
  border->BorderProperties().SetBorderWidth(20 * 2.54 / 96);  // 20 pixels at 96 dpi
  element.PictureProperties().Effects().Add(std::move(border));
  element.PictureProperties().SetUseSlideShowPicture(false);
  element.SetFileName(SavePicture("photo.png", test::Uniform(400, 200, kPhoto)));
  element.SetBounds({0, 0, 1, 1});
  TBitmap32 page = test::Uniform(200, 200, 0xFF1E3250);
  test::RenderLikeTheEngine(element, page);
  // 440 × 240 with the frame, fitted as 200 × 109 from row 45: a frame nine pixels wide.
  EXPECT_EQ(page.Pixel(4, 100), kColor32Black);
  EXPECT_EQ(page.Pixel(195, 100), kColor32Black);
  EXPECT_EQ(page.Pixel(100, 50), kColor32Black);
  EXPECT_EQ(page.Pixel(14, 100), kPhoto);
  EXPECT_EQ(page.Pixel(100, 60), kPhoto);
}

}  // namespace
}  // namespace nimbra
