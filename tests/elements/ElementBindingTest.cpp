// How elements meet the renderer and the page: which consume slideshow objects, what binding
// does, how a description finds its picture, and how page numbers are placed and formatted.
#include <gtest/gtest.h>

#include "ElementTestSupport.h"
#include "elements/CollagePic.h"
#include "elements/DrawingRandom.h"
#include "elements/FitRect.h"
#include "elements/PrintPageElementGeometric.h"
#include "elements/PrintPageElementPageNumberText.h"
#include "elements/PrintPageElementPicture.h"
#include "elements/PrintPageElementPictureText.h"
#include "elements/PrintPageElementUserText.h"
#include "templates/PageTemplate.h"

namespace nimbra {
namespace {

using test::ItemFor;
using test::TTestPicture;
using test::WriteBag;

class ElementBindingTest : public test::TElementsTest {};

template <typename T>
T& AddTo(TPrintWizardPageTemplate& page) {
  auto element = std::make_unique<T>();
  T& added = *element;
  page.Elements().Add(std::unique_ptr<TObject>(std::move(element)));
  return added;
}

TEST_F(ElementBindingTest, OnlyThePictureConsumesObjectsAndOnlyWhenItTakesThem) {
  TPrintPageElementUserText user;
  TPrintPageElementPictureText pictureText;
  TPrintPageElementPageNumberText pageNumber;
  TPrintPageElementRect rect;
  TPrintPageElementEllipse ellipse;
  for (TPageElement* element : std::initializer_list<TPageElement*>{
           &user, &pictureText, &pageNumber, &rect, &ellipse}) {
    EXPECT_EQ(Supports<IObjectConsumer>(element), nullptr) << element->ClassName();
    EXPECT_EQ(Supports<IObjectBoundElement>(element), nullptr) << element->ClassName();
    EXPECT_NE(Supports<IPrintablePageElement>(element), nullptr) << element->ClassName();
  }

  TPrintPageElementPicture picture;
  IObjectConsumer* consumer = Supports<IObjectConsumer>(&picture);
  ASSERT_NE(consumer, nullptr);
  EXPECT_TRUE(consumer->TakesObject());
  picture.PictureProperties().SetTakesNextObject(false);
  EXPECT_FALSE(consumer->TakesObject());
  picture.PictureProperties().SetTakesNextObject(true);
  picture.PictureProperties().SetUseSlideShowPicture(false);
  EXPECT_FALSE(consumer->TakesObject());
}

TEST_F(ElementBindingTest, PrintingInterfacesFollowTheKinds) {
  TPrintPageElementPicture picture;
  TPrintPageElementUserText text;
  TPrintPageElementRect rect;
  ASSERT_NE(Supports<ICanvasPassControl>(&picture), nullptr);
  EXPECT_TRUE(Supports<ICanvasPassControl>(&picture)->SkipsCanvasPass());
  EXPECT_NE(Supports<IRenderNotify>(&picture), nullptr);
  EXPECT_NE(Supports<ITargetBitmapElement>(&picture), nullptr);
  EXPECT_NE(Supports<IBitmapPrintable>(&text), nullptr);
  EXPECT_EQ(Supports<ITargetBitmapElement>(&text), nullptr);
  EXPECT_NE(Supports<ITargetBitmapElement>(&rect), nullptr);
  EXPECT_EQ(Supports<IBitmapPrintable>(&rect), nullptr);

  TBitmap32 page(4, 4);
  Supports<ITargetBitmapElement>(&rect)->SetTargetBitmap(&page);
  EXPECT_EQ(rect.TargetBitmap(), &page);
}

TEST_F(ElementBindingTest, BindingTakesTheResolvedPictureOrElseTheStoredOne) {
  TTestPicture resolved("a.jpg", "/bilder/a.jpg");
  TTestPicture missing("fehlt.jpg", "");
  TPrintPageElementPicture picture;
  const TRef<ITreeItem> item = ItemFor(resolved);

  picture.BindObject(item);
  EXPECT_EQ(picture.GetBoundObject(), item);
  EXPECT_EQ(picture.BoundObject(), &resolved);
  EXPECT_EQ(picture.GetStoredFileName(), "/bilder/a.jpg");
  EXPECT_EQ(picture.DisplayName(), "Bild (Bild aus Vistra - 1)");

  picture.BindObject(ItemFor(missing));
  EXPECT_EQ(picture.BoundObject(), &missing);
  EXPECT_EQ(picture.GetStoredFileName(), "fehlt.jpg");

  // Unbinding forgets the object and its picture.
  picture.BindObject(nullptr);
  EXPECT_FALSE(picture.GetBoundObject());
  EXPECT_EQ(picture.BoundObject(), nullptr);
  EXPECT_EQ(picture.GetStoredFileName(), "");
}

TEST_F(ElementBindingTest, AFixedPictureKeepsItsFileWhenBound) {
  TTestPicture object("a.jpg", "/bilder/a.jpg");
  TPrintPageElementPicture picture;
  picture.PictureProperties().SetUseSlideShowPicture(false);
  picture.SetFileName("Rahmen.png");
  const TRef<ITreeItem> item = ItemFor(object);
  picture.BindObject(item);
  EXPECT_EQ(picture.GetBoundObject(), item);
  EXPECT_EQ(picture.BoundObject(), nullptr);
  EXPECT_EQ(picture.GetStoredFileName(), "Rahmen.png");
}

TEST_F(ElementBindingTest, SavingABoundSlideShowPictureWritesNoFileName) {
  TTestPicture object("a.jpg", "/bilder/a.jpg");
  TPrintPageElementPicture bound;
  bound.BindObject(ItemFor(object));
  ASSERT_EQ(bound.GetStoredFileName(), "/bilder/a.jpg");
  TPrintPageElementPicture unbound;
  EXPECT_EQ(WriteBag(bound.Properties()), WriteBag(unbound.Properties()));
  EXPECT_EQ(bound.Clone()->ClassName(), "TPrintPageElementPicture");
}

TEST_F(ElementBindingTest, RandomAngleStaysWithinFiveDegrees) {
  TPrintPageElementPicture picture;
  bool changed = false;
  double previous = 0;
  for (int i = 0; i < 200; ++i) {
    picture.BeginRender();
    EXPECT_GT(picture.RandomAngle(), -5);
    EXPECT_LE(picture.RandomAngle(), 5);
    changed = changed || (i > 0 && picture.RandomAngle() != previous);
    previous = picture.RandomAngle();
  }
  EXPECT_TRUE(changed);
}

// A page's generator stands in for the thread's while the page is built, so that a collage
// picture made by copying a template draws its seed from the page's chance.
TEST_F(ElementBindingTest, ChanceDrawnInAScopeComesFromItsGenerator) {
  const uint32_t first = TDrawingRandom(5).Number();
  TDrawingRandom page(5);
  SeedDrawingRandom(9);
  {
    const TDrawingRandomScope scope(page);
    EXPECT_EQ(TCollagePic().Seed(), first);
    EXPECT_EQ(&CurrentDrawingRandom(), &page);
  }
  EXPECT_NE(&CurrentDrawingRandom(), &page);
  EXPECT_EQ(TCollagePic().Seed(), TDrawingRandom(9).Number());
}

TEST_F(ElementBindingTest, DescriptionCountsOnlyPicturesThatTakeSlideShowPictures) {
  TPrintWizardPageTemplate page;
  TTestPicture first("1.jpg", "/1.jpg", "Erstes Bild");
  TTestPicture second("2.jpg", "/2.jpg", "Zweites Bild");
  auto& fixed = AddTo<TPrintPageElementPicture>(page);
  fixed.PictureProperties().SetUseSlideShowPicture(false);
  fixed.BindObject(ItemFor(first));
  AddTo<TPrintPageElementPicture>(page).BindObject(ItemFor(first));
  AddTo<TPrintPageElementPicture>(page).BindObject(ItemFor(second));
  auto& description = AddTo<TPrintPageElementPictureText>(page);

  description.PictureTextProperties().SetPictureNumber(2);
  EXPECT_EQ(description.DescribedObject(), &second);
  description.PictureTextProperties().SetPictureNumber(1);
  EXPECT_EQ(description.DescribedObject(), &first);
  description.PictureTextProperties().SetPictureNumber(3);
  EXPECT_EQ(description.DescribedObject(), nullptr);
  description.PictureTextProperties().SetPictureNumber(0);
  EXPECT_EQ(description.DescribedObject(), nullptr);

  TPrintPageElementPictureText alone;
  alone.PictureTextProperties().SetPictureNumber(1);
  EXPECT_EQ(alone.DescribedObject(), nullptr);
}

TEST_F(ElementBindingTest, DescriptionTextFallsBackToTheObjectsText) {
  TPrintWizardPageTemplate page;
  TTestPicture object("1.jpg", "/1.jpg", "Am Strand");
  AddTo<TPrintPageElementPicture>(page).BindObject(ItemFor(object));
  auto& description = AddTo<TPrintPageElementPictureText>(page);
  description.PictureTextProperties().SetPictureNumber(1);

  EXPECT_EQ(description.GetText(), "<Bildbeschreibung>");
  description.SetRendering(1);
  EXPECT_EQ(description.GetText(), "Am Strand");
  description.TextProperties().SetText("Eigener Text");
  EXPECT_EQ(description.GetText(), "Eigener Text");
  description.SetRendering(0);
  EXPECT_EQ(description.GetText(), "Eigener Text");

  // Without a described object and without a text there is nothing to draw.
  description.SetRendering(1);
  description.TextProperties().SetText("");
  description.PictureTextProperties().SetPictureNumber(2);
  EXPECT_EQ(description.GetText(), "");
}

// A caption and the object's own text are each expanded once, so what was written as a literal
// percent sign stays one.
TEST_F(ElementBindingTest, DescriptionTextIsExpandedOnce) {
  TPrintWizardPageTemplate page;
  page.SetPageNumber(4);
  TTestPicture object("1.jpg", "/1.jpg", "Seite %%seitennr% von %seitennr%");
  AddTo<TPrintPageElementPicture>(page).BindObject(ItemFor(object));
  auto& description = AddTo<TPrintPageElementPictureText>(page);
  description.PictureTextProperties().SetPictureNumber(1);
  description.SetRendering(1);

  EXPECT_EQ(description.GetText(), "Seite %seitennr% von 4");
  description.TextProperties().SetText("%%seitennr%: 100%%");
  EXPECT_EQ(description.GetText(), "%seitennr%: 100%");
}

TEST_F(ElementBindingTest, PageNumberTextComesFromItsTemplate) {
  TPrintWizardPageTemplate page;
  auto& number = AddTo<TPrintPageElementPageNumberText>(page);
  page.SetPageNumber(7);
  EXPECT_EQ(number.PageNumber(), 7);
  EXPECT_EQ(number.GetText(), "<Seitennummer>");
  number.SetRendering(1);
  EXPECT_EQ(number.GetText(), "7");

  TPrintPageElementPageNumberText loose;
  loose.SetRendering(1);
  EXPECT_EQ(loose.PageNumber(), 0);
  EXPECT_EQ(loose.GetText(), "0");
}

TEST_F(ElementBindingTest, DesignViewCentresThePageNumberWithoutMovingIt) {
  TPrintPageElementPageNumberText number;
  number.SetBounds({0.1, 0.9, 0.2, 0.95});
  number.PageNumberProperties().SetPosition(
      std::make_unique<TPrintPageElementPageNumberTextPositionJumping>());
  number.PrepareDrawFormat();
  EXPECT_EQ(number.DrawFormat(), 293u);
  EXPECT_EQ(number.GetBounds(), (TDoubleRect{0.1, 0.9, 0.2, 0.95}));
}

TEST_F(ElementBindingTest, AlternatingPositionMirrorsEvenPagesRightAligned) {
  TPrintWizardPageTemplate page;
  auto& number = AddTo<TPrintPageElementPageNumberText>(page);
  number.SetRendering(1);
  number.SetBounds({0.1, 0.9, 0.2, 0.95});
  number.PageNumberProperties().SetPosition(
      std::make_unique<TPrintPageElementPageNumberTextPositionJumping>());

  page.SetPageNumber(2);
  number.PrepareDrawFormat();
  const TDoubleRect moved = number.GetBounds();
  EXPECT_DOUBLE_EQ(moved.Left, 0.8);
  EXPECT_DOUBLE_EQ(moved.Right, 0.9);
  EXPECT_EQ(moved.Top, 0.9);
  EXPECT_EQ(moved.Bottom, 0.95);
  EXPECT_EQ(number.DrawFormat(), 292u | kDrawTextRight);

  number.SetBounds({0.1, 0.9, 0.2, 0.95});
  page.SetPageNumber(3);
  number.PrepareDrawFormat();
  EXPECT_EQ(number.GetBounds(), (TDoubleRect{0.1, 0.9, 0.2, 0.95}));
  EXPECT_EQ(number.DrawFormat(), 292u);

  // From the right half, even pages go back to the left margin.
  number.SetBounds({0.8, 0.9, 0.9, 0.95});
  page.SetPageNumber(4);
  number.PrepareDrawFormat();
  EXPECT_DOUBLE_EQ(number.GetBounds().Left, 0.1);
  EXPECT_DOUBLE_EQ(number.GetBounds().Right, 0.2);
  EXPECT_EQ(number.DrawFormat(), 292u);
}

TEST_F(ElementBindingTest, CentredPositionCentresWhateverTheDesignedWidth) {
  TPrintWizardPageTemplate page;
  auto& number = AddTo<TPrintPageElementPageNumberText>(page);
  number.SetRendering(1);
  number.SetBounds({0.0, 0.5, 0.9, 0.6});
  number.PageNumberProperties().SetPosition(
      std::make_unique<TPrintPageElementPageNumberTextPositionCentered>());
  for (uint8_t alignment : {kAlignLeft, kAlignCenter}) {
    number.AlignedProperties().SetHorzAlignment(alignment);
    number.SetBounds({0.0, 0.5, 0.9, 0.6});
    number.PrepareDrawFormat();
    EXPECT_EQ(number.GetBounds(), (TDoubleRect{0.45, 0.5, 0.55, 0.6}));
    EXPECT_EQ(number.DrawFormat(), 293u);
  }
}

TEST_F(ElementBindingTest, PositionsWithoutOwnerDoNothing) {
  TPrintPageElementPageNumberTextPositionJumping jumping;
  TPrintPageElementPageNumberTextPositionCentered centred;
  jumping.ModifyPosition(2);
  centred.ModifyPosition(2);
  EXPECT_TRUE(jumping.IsElementOnLeft());
  EXPECT_EQ(jumping.SpecialDrawParams(), 0u);
  EXPECT_EQ(centred.SpecialDrawParams(), 0u);
}

TEST_F(ElementBindingTest, FreeTextAndDescriptionWrapAndAlign) {
  TPrintPageElementUserText user;
  user.AlignedProperties().SetHorzAlignment(kAlignRight);
  user.PrepareDrawFormat();
  EXPECT_EQ(user.DrawFormat(), kDrawTextWordBreak | kDrawTextRight);
  TPrintPageElementPictureText description;
  description.AlignedProperties().SetHorzAlignment(kAlignCenter);
  description.PrepareDrawFormat();
  EXPECT_EQ(description.DrawFormat(), kDrawTextWordBreak | kDrawTextCenter);
  EXPECT_EQ(user.DisplayName(), "Text: Ihr Text");
  user.TextProperties().SetText("");
  EXPECT_EQ(user.DisplayName(), "Text");
}

TEST_F(ElementBindingTest, FontScalesToThePagesResolution) {
  TPrintWizardPageTemplate page;
  auto& text = AddTo<TPrintPageElementUserText>(page);
  page.WizardProperties().SetResolution(300);
  EXPECT_EQ(text.ScaleFont(TFontRecord{0, "Arial", 10, 0}), -54);
  TPrintPageElementUserText loose;
  EXPECT_EQ(loose.ScaleFont(TFontRecord{0, "Arial", 10, 0}), -17);
}

TEST_F(ElementBindingTest, TranslucentColoursThatAreDrawnNeedBlending) {
  TPrintPageElementRect rect;
  TPrintPageElementGeometricProperties& bag = rect.GeometricProperties();
  EXPECT_FALSE(rect.NeedsBlending());
  bag.SetFillColor(0xFEFFFFFF);
  EXPECT_TRUE(rect.NeedsBlending());
  bag.SetDrawFlags(kDrawBorder);
  EXPECT_FALSE(rect.NeedsBlending());
  bag.SetBorderColor(0x7F000000);
  EXPECT_TRUE(rect.NeedsBlending());
  bag.SetDrawFlags(0);
  EXPECT_FALSE(rect.NeedsBlending());
}

TEST_F(ElementBindingTest, ShapesAreNormalisedAndCirclesCentred) {
  TPrintPageElementEllipse ellipse;
  ellipse.SetBounds({0.5, 0.5, 0.0, 0.0});
  EXPECT_EQ(ellipse.ShapeRect({0, 0, 400, 200}), (TPixelRect{0, 0, 200, 100}));
  ellipse.EllipseProperties().SetCircle(true);
  EXPECT_EQ(ellipse.ShapeRect({0, 0, 400, 200}), (TPixelRect{50, 0, 150, 100}));
  ellipse.SetBounds({0.5, 0.5, 0.5, 0.5});
  EXPECT_EQ(ellipse.ShapeRect({0, 0, 400, 200}), (TPixelRect{200, 100, 200, 100}));
}

TEST(FitRectTest, KeepsTheAspectInsideTheBox) {
  EXPECT_EQ(FitRect(400, 300, {0, 0, 200, 200}), (TPixelRect{0, 0, 200, 150}));
  EXPECT_EQ(FitRect(300, 400, {10, 20, 210, 220}), (TPixelRect{10, 20, 160, 220}));
  EXPECT_EQ(FitRectCentered(400, 300, {0, 0, 200, 200}), (TPixelRect{0, 25, 200, 175}));
  EXPECT_EQ(FitRect(0, 300, {1, 2, 3, 4}), (TPixelRect{1, 2, 3, 4}));
  EXPECT_EQ(FitRect(10000, 1, {0, 0, 100, 100}), (TPixelRect{0, 0, 100, 1}));
}

}  // namespace
}  // namespace nimbra
