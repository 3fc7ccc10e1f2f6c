// Drawing rectangles and ellipses: translucent colours blended once over the page, in final
// rendering and in the design view; opaque ellipses hard-edged, translucent ones antialiased.
#include <gtest/gtest.h>

#include <set>

#include "DrawingTestSupport.h"
#include "elements/PrintPageElementGeometric.h"
#include "raster/Blend.h"

namespace nimbra {
namespace {

using test::ChangedArea;
using test::RenderLikeTheEngine;
using test::Uniform;

constexpr TColor32 kPage = 0xFF1E3250;  // (30, 50, 80)
constexpr TColor32 kHalfRed = 0x80FF0000;
constexpr TColor32 kRedOverPage = 0xFF8F1928;  // (143, 25, 40): blended once

class ShapeDrawingTest : public test::TElementsTest {};

void Style(TPrintPageElementGeometric& shape, uint8_t flags, TColor32 fill, TColor32 border,
           const TDoubleRect& bounds = {0.1, 0.1, 0.9, 0.9}) {
  shape.GeometricProperties().SetDrawFlags(flags);
  shape.GeometricProperties().SetFillColor(fill);
  shape.GeometricProperties().SetBorderColor(border);
  shape.SetBounds(bounds);
}

TEST_F(ShapeDrawingTest, TranslucentRectangleIsBlendedOnceOverThePage) {
  TPrintPageElementRect rect;
  Style(rect, kDrawFill | kDrawBorder, kHalfRed, 0x8000FF00);
  TBitmap32 page = Uniform(100, 50, kPage);
  RenderLikeTheEngine(rect, page);
  EXPECT_EQ(page.Pixel(50, 25), kRedOverPage);
  // The border blends over the fill, once: E is (10, 5)–(90, 45).
  const TColor32 border = BlendColors(0x8000FF00, kRedOverPage);
  EXPECT_EQ(page.Pixel(10, 5), border);
  EXPECT_EQ(page.Pixel(89, 44), border);
  EXPECT_EQ(page.Pixel(50, 5), border);
  EXPECT_EQ(page.Pixel(11, 6), kRedOverPage);
  EXPECT_EQ(ChangedArea(page, kPage), (TRect{10, 5, 90, 45}));

  // The design view draws the same pixels, under its grey frame.
  TBitmap32 design = Uniform(100, 50, kPage);
  rect.SetRendering(0);
  ASSERT_TRUE(rect.Render(design, {0, 0, 100, 50}));
  EXPECT_EQ(design.Pixel(50, 25), kRedOverPage);
  EXPECT_EQ(design.Pixel(10, 5), BlendColors(TPrintablePageElement::kDesignFrameColor, border));
}

TEST_F(ShapeDrawingTest, RectangleWithoutFillOrBorderLeavesThePage) {
  TPrintPageElementRect rect;
  Style(rect, 0, kHalfRed, kHalfRed);
  TBitmap32 page = Uniform(40, 40, kPage);
  page.SetPixel(20, 20, kColor32White);
  RenderLikeTheEngine(rect, page);
  EXPECT_EQ(page.Pixel(20, 20), kColor32White);
  page.SetPixel(20, 20, kPage);
  EXPECT_EQ(ChangedArea(page, kPage), TRect{});
}

TEST_F(ShapeDrawingTest, RectangleDrawnUpsideDownIsNormalised) {
  TPrintPageElementRect rect;
  Style(rect, kDrawFill, kColor32White, kColor32Black, {0.9, 0.9, 0.1, 0.1});
  TBitmap32 page = Uniform(100, 50, kPage);
  RenderLikeTheEngine(rect, page);
  EXPECT_EQ(ChangedArea(page, kPage), (TRect{10, 5, 90, 45}));
}

TEST_F(ShapeDrawingTest, TranslucentEllipseIsAntialiasedAndBlendedOnce) {
  TPrintPageElementEllipse ellipse;
  Style(ellipse, kDrawFill, kHalfRed, kColor32Black, {0, 0, 1, 1});
  TBitmap32 page = Uniform(101, 61, kPage);
  RenderLikeTheEngine(ellipse, page);
  EXPECT_EQ(page.Pixel(50, 30), kRedOverPage);
  EXPECT_EQ(page.Pixel(0, 0), kPage);
  EXPECT_EQ(page.Pixel(100, 60), kPage);
  // Antialiased: along the edge some pixels lie between the page and the blended fill.
  std::set<TColor32> colours;
  for (int x = 0; x < 101; ++x) colours.insert(page.Pixel(x, 10));
  EXPECT_GT(colours.size(), 2u);

  // The design view gives the same result.
  TBitmap32 design = Uniform(101, 61, kPage);
  ellipse.SetRendering(0);
  ASSERT_TRUE(ellipse.Render(design, {0, 0, 101, 61}));
  EXPECT_EQ(design.Pixel(50, 30), kRedOverPage);
  EXPECT_EQ(design.Pixel(30, 10), page.Pixel(30, 10));
}

TEST_F(ShapeDrawingTest, OpaqueEllipseIsHardEdgedAndAlmostOpaqueOneIsNot) {
  const TColor32 fill = 0xFFFFFF00;
  TPrintPageElementEllipse ellipse;
  Style(ellipse, kDrawFill | kDrawBorder, fill, kColor32Black, {0, 0, 1, 1});
  TBitmap32 page = Uniform(80, 50, kPage);
  RenderLikeTheEngine(ellipse, page);
  const std::set<TColor32> allowed{kPage, fill, kColor32Black};
  for (int y = 0; y < page.Height(); ++y) {
    for (int x = 0; x < page.Width(); ++x) {
      ASSERT_TRUE(allowed.contains(page.Pixel(x, y))) << x << "," << y;
    }
  }
  EXPECT_EQ(page.Pixel(40, 25), fill);
  EXPECT_EQ(page.Pixel(40, 0), kColor32Black);
  EXPECT_EQ(page.Pixel(0, 0), kPage);

  ellipse.GeometricProperties().SetFillColor(ColorWithAlpha(fill, 254));
  page.Clear(kPage);
  RenderLikeTheEngine(ellipse, page);
  bool between = false;
  for (int y = 0; y < page.Height(); ++y) {
    for (int x = 0; x < page.Width(); ++x) between = between || !allowed.contains(page.Pixel(x, y));
  }
  EXPECT_TRUE(between);
}

TEST_F(ShapeDrawingTest, CircleIsCentredInItsRectangle) {
  TPrintPageElementEllipse ellipse;
  ellipse.EllipseProperties().SetCircle(true);
  Style(ellipse, kDrawFill, kHalfRed, kColor32Black, {0, 0, 1, 1});
  TBitmap32 page = Uniform(200, 100, kPage);
  RenderLikeTheEngine(ellipse, page);
  // Diameter 100, from column 50 to 149.
  const TRect changed = ChangedArea(page, kPage);
  EXPECT_EQ(changed.Left, 50);
  EXPECT_EQ(changed.Right, 150);
  EXPECT_EQ(changed.Top, 0);
  EXPECT_EQ(changed.Bottom, 100);
  EXPECT_EQ(page.Pixel(100, 50), kRedOverPage);
  EXPECT_EQ(page.Pixel(52, 50), kRedOverPage);
}

TEST_F(ShapeDrawingTest, ShapesSkipTheEnginesSecondPass) {
  TPrintPageElementRect rect;
  TPrintPageElementEllipse ellipse;
  for (TPrintPageElementGeometric* shape :
       std::initializer_list<TPrintPageElementGeometric*>{&rect, &ellipse}) {
    auto* pass = Supports<ICanvasPassControl>(shape);
    ASSERT_NE(pass, nullptr) << shape->ClassName();
    EXPECT_TRUE(pass->SkipsCanvasPass());
  }
}

}  // namespace
}  // namespace nimbra
