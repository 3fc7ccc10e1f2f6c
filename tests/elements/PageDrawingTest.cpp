// Whole pages drawn from a template the way the render engine draws them: the background, then
// every element in list order, so that later elements cover earlier ones.
#include <gtest/gtest.h>

#include <memory>

#include "DrawingTestSupport.h"
#include "elements/PrintPageElementGeometric.h"
#include "elements/PrintPageElementPicture.h"
#include "raster/Blend.h"
#include "templates/PageTemplate.h"

namespace nimbra {
namespace {

using test::RenderLikeTheEngine;
using test::Uniform;

constexpr TColor32 kBack = 0xFF1E3250;
constexpr TColor32 kPhoto = 0xFFC86432;
constexpr TColor32 kGreen = 0xFF00C000;

class PageDrawingTest : public test::TDrawingTest {
 protected:
  template <typename T>
  T& Add(const TDoubleRect& bounds) {
    auto element = std::make_unique<T>();
    T& added = *element;
    added.SetBounds(bounds);
    page_.Elements().Add(std::unique_ptr<TObject>(std::move(element)));
    return added;
  }

  TBitmap32 Draw(int width, int height) {
    TBitmap32 bitmap(width, height);
    page_.WizardProperties().SetResolution(96);
    page_.DrawBackground(bitmap, {0, 0, width, height});
    for (int32_t i = 0; i < page_.Elements().Count(); ++i) {
      RenderLikeTheEngine(*page_.Elements().Items(i), bitmap);
    }
    return bitmap;
  }

  TPrintWizardPageTemplate page_;
};

TEST_F(PageDrawingTest, LaterElementsCoverEarlierOnes) {
  page_.WizardProperties().SetBackColor(kBack);
  auto& picture = Add<TPrintPageElementPicture>({0, 0, 0.5, 1});
  picture.PictureProperties().SetUseSlideShowPicture(false);
  picture.SetFileName(SavePicture("photo.png", Uniform(50, 100, kPhoto)));
  auto& rect = Add<TPrintPageElementRect>({0.25, 0.25, 0.75, 0.75});
  rect.GeometricProperties().SetDrawFlags(kDrawFill);
  rect.GeometricProperties().SetFillColor(kGreen);

  TBitmap32 bitmap = Draw(200, 100);
  EXPECT_EQ(bitmap.Pixel(10, 50), kPhoto);
  EXPECT_EQ(bitmap.Pixel(75, 50), kGreen);   // the rectangle over the photo
  EXPECT_EQ(bitmap.Pixel(125, 50), kGreen);
  EXPECT_EQ(bitmap.Pixel(175, 50), kBack);

  page_.Elements().Move(1, 0);
  bitmap = Draw(200, 100);
  EXPECT_EQ(bitmap.Pixel(75, 50), kPhoto);  // now the photo covers the rectangle
  EXPECT_EQ(bitmap.Pixel(125, 50), kGreen);
}

TEST_F(PageDrawingTest, TranslucentShapesTintWhatLiesBeneath) {
  page_.SetFileName(SavePicture("paper.png", Uniform(8, 8, kPhoto)));
  auto& rect = Add<TPrintPageElementRect>({0, 0, 0.5, 1});
  rect.GeometricProperties().SetDrawFlags(kDrawFill);
  rect.GeometricProperties().SetFillColor(0x80FF0000);
  auto& ellipse = Add<TPrintPageElementEllipse>({0.5, 0, 1, 1});
  ellipse.GeometricProperties().SetDrawFlags(kDrawFill);
  ellipse.GeometricProperties().SetFillColor(0x80FF0000);

  const TBitmap32 bitmap = Draw(200, 100);
  const TColor32 tinted = BlendColors(0x80FF0000, kPhoto);
  EXPECT_EQ(bitmap.Pixel(50, 50), tinted);
  EXPECT_EQ(bitmap.Pixel(150, 50), tinted);
  EXPECT_EQ(bitmap.Pixel(101, 1), kPhoto);  // outside the ellipse the background stays
}

}  // namespace
}  // namespace nimbra
