// A page template holding one element of every kind, taken through a project file and a copy.
#include <gtest/gtest.h>

#include "ElementTestSupport.h"
#include "elements/PrintPageElementGeometric.h"
#include "elements/PrintPageElementPageNumberText.h"
#include "elements/PrintPageElementPicture.h"
#include "elements/PrintPageElementPictureText.h"
#include "elements/PrintPageElementUserText.h"
#include "elements/PrintWizardPictureEffectCollage.h"
#include "elements/PrintWizardPictureEffectSimpleBorder.h"
#include "storage/MemoryStream.h"
#include "templates/PageTemplateProject.h"

namespace nimbra {
namespace {

using test::WriteElement;

class ElementListTest : public test::TElementsTest {};

template <typename T>
T& AddTo(TPageTemplate& page) {
  auto element = std::make_unique<T>();
  T& added = *element;
  page.Elements().Add(std::unique_ptr<TObject>(std::move(element)));
  return added;
}

// One element of every kind, each with some values other than its defaults.
void FillPage(TPageTemplate& page) {
  auto& user = AddTo<TPrintPageElementUserText>(page);
  user.SetBounds({0.05, 0.05, 0.95, 0.15});
  user.TextProperties().SetText("%vorlagentitel%");
  user.AlignedProperties().SetHorzAlignment(kAlignCenter);
  auto& number = AddTo<TPrintPageElementPageNumberText>(page);
  number.PageNumberProperties().SetPosition(
      std::make_unique<TPrintPageElementPageNumberTextPositionCentered>());
  auto& description = AddTo<TPrintPageElementPictureText>(page);
  description.PictureTextProperties().SetPictureNumber(1);
  auto& picture = AddTo<TPrintPageElementPicture>(page);
  picture.PictureProperties().SetAutoRotate(true);
  auto border = std::make_unique<TPrintWizardPictureEffectSimpleBorder>();
  border->BorderProperties().SetStyle(kBorderStyleFrameGradient);
  picture.PictureProperties().Effects().Add(std::unique_ptr<TObject>(std::move(border)));
  picture.PictureProperties().Effects().Add(
      std::make_unique<TPrintWizardPictureEffectUserCollage4Pic>());
  auto& rect = AddTo<TPrintPageElementRect>(page);
  rect.GeometricProperties().SetFillColor(0x80FF0000);
  auto& ellipse = AddTo<TPrintPageElementEllipse>(page);
  ellipse.EllipseProperties().SetCircle(true);
}

void ExpectSameElements(const TPageTemplate& read, const TPageTemplate& written) {
  ASSERT_EQ(read.Elements().Count(), written.Elements().Count());
  for (int32_t i = 0; i < written.Elements().Count(); ++i) {
    const TPageElement& expected = *written.Elements().Items(i);
    const TPageElement& actual = *read.Elements().Items(i);
    EXPECT_EQ(actual.ClassName(), expected.ClassName());
    EXPECT_EQ(WriteElement(actual), WriteElement(expected)) << expected.ClassName();
  }
}

TEST_F(ElementListTest, EveryKindSurvivesTheProjectFile) {
  TPrintWizardPageTemplateProject project;
  ASSERT_NE(project.FirstTemplate(), nullptr);
  FillPage(*project.FirstTemplate());
  TMemoryStream file;
  ASSERT_TRUE(project.SaveToStream(file));

  file.SetPosition(0);
  TPrintWizardPageTemplateProject loaded;
  ASSERT_TRUE(loaded.LoadFromStream(file));
  ASSERT_NE(loaded.FirstTemplate(), nullptr);
  ExpectSameElements(*loaded.FirstTemplate(), *project.FirstTemplate());

  // Saved again, the project is the same file.
  TMemoryStream again;
  ASSERT_TRUE(loaded.SaveToStream(again));
  EXPECT_EQ(again.ToString(), file.ToString());

  // The elements know their page and project again.
  const auto* number =
      dynamic_cast<TPrintPageElementPageNumberText*>(loaded.FirstTemplate()->Elements().Items(1));
  ASSERT_NE(number, nullptr);
  EXPECT_EQ(number->TemplateProject(), &loaded);
  EXPECT_EQ(number->PageNumberProperties().Position()->Owner(), number);
}

TEST_F(ElementListTest, TemplateCloneCopiesEveryElement) {
  TPrintWizardPageTemplate page;
  FillPage(page);
  const std::unique_ptr<TPageTemplate> clone = page.Clone();
  ASSERT_NE(clone, nullptr);
  ExpectSameElements(*clone, page);
  for (int32_t i = 0; i < page.Elements().Count(); ++i) {
    EXPECT_NE(clone->Elements().Items(i), page.Elements().Items(i));
  }
}

}  // namespace
}  // namespace nimbra
