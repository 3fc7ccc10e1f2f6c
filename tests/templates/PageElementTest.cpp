#include <gtest/gtest.h>

#include <filesystem>

#include "TempFolder.h"
#include "TemplateTestClasses.h"
#include "framework/Plugins.h"
#include "framework/VariablePlugin.h"
#include "storage/CSFStreamWinTypes.h"
#include "storage/MemoryStream.h"
#include "templates/PageElement.h"
#include "templates/PageTemplateProject.h"

namespace nimbra {
namespace {

using test::TPlainTestElement;
using test::TTestElement;

// The page number of a page template, and the title of a template project.
class TTestPageNumberVariable : public TVariablePlugin {
  NIMBRA_DECLARE_VARIABLE_PLUGIN()

 public:
  static std::string ClassKeyList(TObject*) { return "seitennr\r\npagenr"; }
  static const TMetaClass* ClassContextClass() { return &TPrintWizardPageTemplate::StaticClass(); }
  static std::string ClassGetValue(TObject* object, const std::string&) {
    return std::to_string(dynamic_cast<TPageTemplate&>(*object).PageNumber());
  }
};

class TTestTitleVariable : public TVariablePlugin {
  NIMBRA_DECLARE_VARIABLE_PLUGIN()

 public:
  static std::string ClassKeyList(TObject*) { return "vorlagentitel"; }
  static const TMetaClass* ClassContextClass() {
    return &TPrintWizardPageTemplateProject::StaticClass();
  }
  static std::string ClassGetValue(TObject* object, const std::string&) {
    return dynamic_cast<TPrintWizardPageTemplateProject&>(*object).ProjectProperties()->Title();
  }
};

}  // namespace

NIMBRA_DEFINE_VARIABLE_PLUGIN(TTestPageNumberVariable, TVariablePlugin)
NIMBRA_DEFINE_VARIABLE_PLUGIN(TTestTitleVariable, TVariablePlugin)

namespace {

std::string Store(const TPageElement& element) {
  TMemoryStream buffer;
  TCSFStreamWinTypes stream(buffer, CSFMode::Headerless);
  EXPECT_TRUE(element.WriteToStream(stream));
  stream.Release();
  return buffer.ToString();
}

bool Load(TPageElement& element, const std::string& bytes) {
  TMemoryStream buffer(bytes);
  TCSFStreamWinTypes stream(buffer, CSFMode::HeaderlessRead);
  return element.ReadFromStream(stream);
}

void Fill(TTestElement& element) {
  element.SetBounds({0.125, 0.25, 0.75, 0.875});
  element.Bag().Label = "Grüße";
  element.Bag().Colour = 0x80102030;
}

TEST(PageElementTest, NewElementsCoverTheirDefaultSize) {
  EXPECT_EQ(TPlainTestElement().GetBounds(), (TDoubleRect{0, 0, 0.1, 0.1}));
  EXPECT_EQ(TTestElement().GetBounds(), (TDoubleRect{0, 0, 0.2, 0.1}));
  EXPECT_EQ(TPlainTestElement().PixelBounds({0, 0, 1024, 768}), (TPixelRect{0, 0, 102, 77}));
}

TEST(PageElementTest, EveryBagFieldReadsBackEqual) {
  TTestElement source;
  Fill(source);
  TTestElement copy;
  ASSERT_TRUE(Load(copy, Store(source)));
  EXPECT_EQ(copy.GetBounds(), source.GetBounds());
  EXPECT_EQ(copy.Bag().Label, "Grüße");
  EXPECT_EQ(copy.Bag().Colour, 0x80102030u);
  EXPECT_EQ(Store(copy), Store(source));
}

TEST(PageElementTest, StoredFormIsASubChunkAroundTheBag) {
  const std::string bytes = Store(TPlainTestElement());
  // element sub-chunk (4) + bounds sub-chunk (4 + 4 × 8)
  ASSERT_EQ(bytes.size(), 40u);
  EXPECT_EQ(static_cast<unsigned char>(bytes[0]), 40);
  EXPECT_EQ(static_cast<unsigned char>(bytes[4]), 36);
}

TEST(PageElementTest, TruncatedDataFailsAndKeepsWhatWasRead) {
  TTestElement filled;
  Fill(filled);
  const std::string bytes = Store(filled);
  TTestElement element;
  element.Bag().Label = "unverändert";
  // Cut inside the label: the element sub-chunk's length no longer fits.
  EXPECT_FALSE(Load(element, bytes.substr(0, bytes.size() - 6)));
  EXPECT_EQ(element.Bag().Label, "unverändert");
  EXPECT_FALSE(Load(element, ""));
}

TEST(PageElementTest, CloneAndAssignCopyTheBag) {
  TTestElement source;
  Fill(source);
  std::unique_ptr<TPageElement> clone = source.Clone();
  ASSERT_NE(clone, nullptr);
  EXPECT_EQ(&clone->ClassType(), &TTestElement::StaticClass());
  EXPECT_EQ(Store(*clone), Store(source));

  TTestElement target;
  target.Assign(source);
  EXPECT_EQ(target.Bag().Label, "Grüße");
  // Anything but an element leaves it alone.
  target.Assign(TProperties());
  EXPECT_EQ(target.GetBounds(), source.GetBounds());
}

TEST(PageElementTest, DoChangeRaisesOnChange) {
  TTestElement element;
  element.DoChange(1, 2);  // unassigned: nothing happens
  TObject* sender = nullptr;
  int32_t a = 0;
  uint8_t b = 0;
  element.OnChange = [&](TObject* s, int32_t changeA, uint8_t changeB) {
    sender = s;
    a = changeA;
    b = changeB;
  };
  element.DoChange(-7, 200);
  EXPECT_EQ(sender, &element);
  EXPECT_EQ(a, -7);
  EXPECT_EQ(b, 200);
  EXPECT_EQ(element.DisplayName(), "Testelement");
  EXPECT_EQ(element.Category(), "");
  EXPECT_EQ(element.GetGlyph(), nullptr);
}

TEST(PageElementTest, ElementFindsTemplateAndProjectThroughItsOwners) {
  test::TTestClassRegistration registration;
  TTestElement loose;
  EXPECT_EQ(loose.PageTemplate(), nullptr);
  EXPECT_EQ(loose.TemplateProject(), nullptr);
  EXPECT_EQ(loose.Resolution(), 96.0);

  test::TempFolder folder;
  folder.Write("bild.jpg", "x");
  TPrintWizardPageTemplateProject project;
  project.SetFileName(folder.File("album.pwt"));
  TPageTemplate* first = project.FirstTemplate();
  auto* pageTemplate = dynamic_cast<TPrintWizardPageTemplate*>(first);
  ASSERT_NE(pageTemplate, nullptr);
  pageTemplate->WizardProperties().SetResolution(300);
  first->Elements().Add(std::make_unique<TTestElement>());
  auto* element = dynamic_cast<TTestElement*>(first->Elements().Items(0));
  ASSERT_NE(element, nullptr);

  EXPECT_EQ(element->GetElementList(), &first->Elements());
  EXPECT_EQ(element->PageTemplate(), pageTemplate);
  EXPECT_EQ(element->TemplateProject(), &project);
  EXPECT_EQ(element->Resolution(), 300.0);
  EXPECT_EQ(std::filesystem::path(element->ResolveFileName("bild.jpg")),
            std::filesystem::path(folder.File("bild.jpg")));
}

TEST(PageElementTest, VariablesExpandWithProjectThenTemplate) {
  test::TTestClassRegistration registration;
  TemplatePlugins()->Register(TTestPageNumberVariable::StaticClass());
  TemplatePlugins()->Register(TTestTitleVariable::StaticClass());
  TPrintWizardPageTemplateProject project;
  project.ProjectProperties()->SetTitle("Urlaub");
  TPageTemplate& page = *project.FirstTemplate();
  page.SetPageNumber(4);
  page.Elements().Add(std::make_unique<TTestElement>());
  const auto& element = dynamic_cast<const TTestElement&>(*page.Elements().Items(0));

  EXPECT_EQ(element.ExpandVariables("%Vorlagentitel%, Seite %SEITENNR% von %unbekannt%: 100%%"),
            "Urlaub, Seite 4 von %unbekannt%: 100%");
  // The project alone knows no page number.
  EXPECT_EQ(project.ExpandVariables("%pagenr% %vorlagentitel%"), "%pagenr% Urlaub");
  TTestElement loose;
  EXPECT_EQ(loose.ExpandVariables("%seitennr%"), "%seitennr%");
}

TEST(PageElementTest, RenderUsesTheBoundsOnThePageRectangle) {
  TTestElement element;
  element.SetBounds({0.5, 0, 1, 0.5});
  element.Bag().Colour = 0xFFFF0000;
  TBitmap32 bitmap(12, 6);
  ASSERT_TRUE(element.Render(bitmap, {2, 2, 12, 6}));  // 10 × 4 page at (2, 2)
  EXPECT_EQ(bitmap.Pixel(7, 2), 0xFFFF0000u);
  EXPECT_EQ(bitmap.Pixel(11, 3), 0xFFFF0000u);
  EXPECT_EQ(bitmap.Pixel(6, 2), 0u);
  EXPECT_EQ(bitmap.Pixel(7, 4), 0u);
}

}  // namespace
}  // namespace nimbra
