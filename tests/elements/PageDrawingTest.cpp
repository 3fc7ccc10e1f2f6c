// Whole pages drawn from a template the way the render engine draws them: the background, then
// every element in list order, so that later elements cover earlier ones.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "DrawingTestSupport.h"
#include "elements/PrintPageElementGeometric.h"
#include "elements/PrintPageElementPicture.h"
#include "raster/Blend.h"
#include "templates/PageTemplate.h"
#include "templates/PageTemplateList.h"
#include "templates/PageTemplateProject.h"

namespace nimbra {
namespace {

using test::RenderLikeTheEngine;
using test::Uniform;

constexpr TColor32 kBack = 0xFF1E3250;
constexpr TColor32 kPaper = 0xFFE6DCC8;
constexpr TColor32 kPhoto = 0xFFC86432;
constexpr TColor32 kGreen = 0xFF00C000;
constexpr TColor32 kRed = 0xFFFF0000;
constexpr TColor32 kBlue = 0xFF0000FF;
constexpr TColor32 kHalfRed = 0x80FF0000;
constexpr TColor32 kHalfGreen = 0x8000FF00;

template <typename T>
T& Add(TPrintWizardPageTemplate& page, const TDoubleRect& bounds) {
  auto element = std::make_unique<T>();
  T& added = *element;
  added.SetBounds(bounds);
  page.Elements().Add(std::unique_ptr<TObject>(std::move(element)));
  return added;
}

TPrintPageElementPicture& AddPicture(TPrintWizardPageTemplate& page, const TDoubleRect& bounds,
                                     const std::string& file) {
  auto& picture = Add<TPrintPageElementPicture>(page, bounds);
  picture.PictureProperties().SetUseSlideShowPicture(false);
  picture.SetFileName(file);
  return picture;
}

template <typename T>
T& AddShape(TPrintWizardPageTemplate& page, const TDoubleRect& bounds, TColor32 fill) {
  auto& shape = Add<T>(page, bounds);
  shape.GeometricProperties().SetDrawFlags(kDrawFill);
  shape.GeometricProperties().SetFillColor(fill);
  return shape;
}

// The background and then each element in list order, at 96 dots per inch.
TBitmap32 Draw(TPrintWizardPageTemplate& page, int width, int height) {
  TBitmap32 bitmap(width, height);
  page.WizardProperties().SetResolution(96);
  page.DrawBackground(bitmap, {0, 0, width, height});
  for (int32_t i = 0; i < page.Elements().Count(); ++i) {
    RenderLikeTheEngine(*page.Elements().Items(i), bitmap);
  }
  return bitmap;
}

// A picture whose upper half is one colour and lower half another.
TBitmap32 TwoHalves(int width, int height, TColor32 top, TColor32 bottom) {
  TBitmap32 bitmap = Uniform(width, height, top);
  FillRect(bitmap, {0, height / 2, width, height}, bottom);
  return bitmap;
}

class PageDrawingTest : public test::TDrawingTest {
 protected:
  TPrintWizardPageTemplate page_;
};

TEST_F(PageDrawingTest, LaterElementsCoverEarlierOnes) {
  page_.WizardProperties().SetBackColor(kBack);
  // As large as its box, so that it covers the whole box.
  AddPicture(page_, {0, 0, 0.5, 1}, SavePicture("photo.png", Uniform(100, 100, kPhoto)));
  AddShape<TPrintPageElementRect>(page_, {0.25, 0.25, 0.75, 0.75}, kGreen);

  TBitmap32 bitmap = Draw(page_, 200, 100);
  EXPECT_EQ(bitmap.Pixel(10, 50), kPhoto);
  EXPECT_EQ(bitmap.Pixel(75, 50), kGreen);   // the rectangle over the photo
  EXPECT_EQ(bitmap.Pixel(125, 50), kGreen);
  EXPECT_EQ(bitmap.Pixel(175, 50), kBack);

  page_.Elements().Move(1, 0);
  bitmap = Draw(page_, 200, 100);
  EXPECT_EQ(bitmap.Pixel(75, 50), kPhoto);  // now the photo covers the rectangle
  EXPECT_EQ(bitmap.Pixel(125, 50), kGreen);
}

TEST_F(PageDrawingTest, TranslucentShapesTintWhatLiesBeneath) {
  page_.SetFileName(SavePicture("paper.png", Uniform(8, 8, kPhoto)));
  AddShape<TPrintPageElementRect>(page_, {0, 0, 0.5, 1}, kHalfRed);
  AddShape<TPrintPageElementEllipse>(page_, {0.5, 0, 1, 1}, kHalfRed);

  const TBitmap32 bitmap = Draw(page_, 200, 100);
  const TColor32 tinted = BlendColors(kHalfRed, kPhoto);
  EXPECT_EQ(bitmap.Pixel(50, 50), tinted);
  EXPECT_EQ(bitmap.Pixel(150, 50), tinted);
  EXPECT_EQ(bitmap.Pixel(101, 1), kPhoto);  // outside the ellipse the background stays
}

// A template written into a project file and read back draws the page it describes: its colour
// and centred picture, a fitted photo, a photo turned in fit mode 2, and translucent shapes over
// all of them.
TEST_F(PageDrawingTest, ASavedProjectDrawsThePageItDescribes) {
  const std::string projectFile = folder_.File("album.pwt");
  {
    TPrintWizardPageTemplateProject project;
    auto& page = static_cast<TPrintWizardPageTemplate&>(*project.Templates().Items(0));
    page.WizardProperties().SetBackColor(kBack);
    page.SetFileName(SavePicture("paper.png", Uniform(60, 40, kPaper)));
    page.WizardProperties().SetBackgroundMode(kBackgroundCentred);
    AddPicture(page, {0, 0, 1.0 / 3, 1}, SavePicture("photo.png", Uniform(400, 300, kPhoto)));
    auto& turned = AddPicture(page, {2.0 / 3, 0, 1, 1},
                              SavePicture("halves.png", TwoHalves(200, 100, kRed, kBlue)));
    turned.PictureProperties().SetRotationAngle(90);
    turned.PictureProperties().SetFitMode(kFitAsUnrotated);
    AddShape<TPrintPageElementRect>(page, {0, 0.5, 0.5, 0.75}, kHalfRed);
    AddShape<TPrintPageElementEllipse>(page, {0.5, 0.5, 0.75, 1}, kHalfGreen);
    ASSERT_TRUE(project.SaveToFile(projectFile));
  }
  TPrintWizardPageTemplateProject project;
  ASSERT_TRUE(project.LoadFromFile(projectFile));
  ASSERT_EQ(project.Templates().Count(), 1);
  auto& page = static_cast<TPrintWizardPageTemplate&>(*project.Templates().Items(0));
  ASSERT_EQ(page.Elements().Count(), 4);
  const TBitmap32 bitmap = Draw(page, 300, 200);
  // The colour, and the paper centred at its own size: (120, 80)–(180, 120).
  EXPECT_EQ(bitmap.Pixel(150, 10), kBack);
  EXPECT_EQ(bitmap.Pixel(175, 85), kPaper);
  EXPECT_EQ(bitmap.Pixel(181, 90), kBack);
  // 400 × 300 in the 100 × 200 box at the left: 100 × 75, from row 62 to row 136.
  EXPECT_EQ(bitmap.Pixel(50, 40), kBack);
  EXPECT_EQ(bitmap.Pixel(0, 62), kPhoto);
  EXPECT_EQ(bitmap.Pixel(99, 99), kPhoto);
  // Turned by a quarter counter-clockwise and sized as if upright (by 1/2): 50 × 100 in the
  // middle of the right box, the red upper half on the left.
  EXPECT_EQ(bitmap.Pixel(235, 100), kRed);
  EXPECT_EQ(bitmap.Pixel(265, 100), kBlue);
  EXPECT_EQ(bitmap.Pixel(250, 40), kBack);
  EXPECT_EQ(bitmap.Pixel(215, 60), kBack);
  // The half-red rectangle (0, 100)–(150, 150) tints the photo, the colour and the paper once.
  EXPECT_EQ(bitmap.Pixel(99, 136), BlendColors(kHalfRed, kPhoto));
  EXPECT_EQ(bitmap.Pixel(50, 137), BlendColors(kHalfRed, kBack));
  EXPECT_EQ(bitmap.Pixel(130, 110), BlendColors(kHalfRed, kPaper));
  EXPECT_EQ(bitmap.Pixel(149, 149), BlendColors(kHalfRed, kBack));
  EXPECT_EQ(bitmap.Pixel(50, 150), kBack);
  // The half-green ellipse in (150, 100)–(225, 200) over the paper and the colour.
  EXPECT_EQ(bitmap.Pixel(170, 112), BlendColors(kHalfGreen, kPaper));
  EXPECT_EQ(bitmap.Pixel(200, 160), BlendColors(kHalfGreen, kBack));
  EXPECT_EQ(bitmap.Pixel(160, 100), kPaper);  // beside the ellipse's top
  EXPECT_EQ(bitmap.Pixel(152, 198), kBack);   // the corner it leaves out
}

}  // namespace
}  // namespace nimbra
