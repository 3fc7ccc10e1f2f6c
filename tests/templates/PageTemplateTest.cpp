#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "TemplateTestClasses.h"
#include "storage/CSFStreamWinTypes.h"
#include "storage/MemoryStream.h"
#include "templates/ChunkScope.h"
#include "templates/PageTemplate.h"

namespace nimbra {
namespace {

using test::TPlainTestElement;
using test::TTestElement;

std::string Store(const TPageTemplate& pageTemplate) {
  TMemoryStream buffer;
  TCSFStreamWinTypes stream(buffer, CSFMode::Headerless);
  EXPECT_TRUE(pageTemplate.WriteToStream(stream));
  stream.Release();
  return buffer.ToString();
}

bool Load(TPageTemplate& pageTemplate, const std::string& bytes) {
  TMemoryStream buffer(bytes);
  TCSFStreamWinTypes stream(buffer, CSFMode::HeaderlessRead);
  return pageTemplate.ReadFromStream(stream);
}

TTestElement& AddTestElement(TPageTemplate& pageTemplate, const std::string& label) {
  auto element = std::make_unique<TTestElement>();
  TTestElement& added = *element;
  added.Bag().Label = label;
  pageTemplate.Elements().Add(std::move(element));
  return added;
}

std::vector<std::string> Labels(const TPageTemplate& pageTemplate) {
  std::vector<std::string> labels;
  for (int32_t i = 0; i < pageTemplate.Elements().Count(); ++i) {
    auto* element = dynamic_cast<TTestElement*>(pageTemplate.Elements().Items(i));
    labels.push_back(element != nullptr ? element->Bag().Label : "-");
  }
  return labels;
}

void FillBag(TPrintWizardPageTemplateProperties& bag) {
  // The centimetre sizes first: in a template their change callbacks set the whole-number sizes.
  bag.SetPageWidth(33.5);
  bag.SetPageHeight(26.5);
  bag.SetHeight(-5);
  bag.SetWidth(1234567);
  bag.SetName("Titelseite");
  bag.SetID(0xFFFFFFF0u);
  bag.SetSide(65);
  bag.SetResolution(300);
  bag.SetBackColor(0x7F010203);
  bag.SetReserved(true);
  bag.SetBackgroundFile("Bilder\\Hintergrund.jpg");
  bag.SetBackgroundMode(kBackgroundTiled);
  bag.SetBackgroundWidth(10);
  bag.SetBackgroundHeight(7.5);
  bag.SetBackgroundAlpha(128);
}

TEST(PageTemplateTest, EveryBagFieldReadsBackEqual) {
  test::TTestClassRegistration registration;
  TPrintWizardPageTemplate source;
  FillBag(source.WizardProperties());
  TPrintWizardPageTemplate copy;
  ASSERT_TRUE(Load(copy, Store(source)));
  const TPrintWizardPageTemplateProperties& bag = copy.WizardProperties();
  EXPECT_EQ(bag.Height(), -5);
  EXPECT_EQ(bag.Width(), 1234567);
  EXPECT_EQ(bag.Name(), "Titelseite");
  EXPECT_EQ(bag.ID(), 0xFFFFFFF0u);
  EXPECT_EQ(bag.Side(), 65);  // kept as stored, used as any side
  EXPECT_EQ(bag.EffectiveSide(), kPageSideAny);
  EXPECT_EQ(bag.PageWidth(), 33.5);
  EXPECT_EQ(bag.PageHeight(), 26.5);
  EXPECT_EQ(bag.Resolution(), 300);
  EXPECT_EQ(bag.BackColor(), 0x7F010203u);
  EXPECT_TRUE(bag.Reserved());
  EXPECT_EQ(bag.BackgroundFile(), "Bilder\\Hintergrund.jpg");
  EXPECT_EQ(bag.BackgroundMode(), kBackgroundTiled);
  EXPECT_EQ(bag.BackgroundWidth(), 10);
  EXPECT_EQ(bag.BackgroundHeight(), 7.5);
  EXPECT_EQ(bag.BackgroundAlpha(), 128);
  EXPECT_EQ(Store(copy), Store(source));
}

TEST(PageTemplateTest, PageSizeChangesKeepTheWholeNumberSize) {
  TPrintWizardPageTemplate pageTemplate;
  pageTemplate.WizardProperties().SetPageWidth(33.5);
  pageTemplate.WizardProperties().SetPageHeight(26.5);
  EXPECT_EQ(pageTemplate.Properties().Width(), 34);
  EXPECT_EQ(pageTemplate.Properties().Height(), 26);
}

TEST(PageTemplateTest, CaptionIsTheNameOrTheID) {
  TPageTemplate pageTemplate;
  pageTemplate.SetID(8);
  EXPECT_EQ(pageTemplate.Caption(), "Seite ID: 8");
  pageTemplate.Properties().SetName("Rückseite");
  EXPECT_EQ(pageTemplate.Caption(), "Rückseite");
}

TEST(PageTemplateTest, ElementsReadBackInOrderAndUnknownClassesAreSkipped) {
  test::TTestClassRegistration registration;
  TPrintWizardPageTemplate source;
  AddTestElement(source, "eins").SetBounds({0.1, 0.2, 0.3, 0.4});
  source.Elements().Add(std::make_unique<TPlainTestElement>());
  AddTestElement(source, "drei");
  const std::string bytes = Store(source) + Store(source);

  TPrintWizardPageTemplate copy;
  ASSERT_TRUE(Load(copy, bytes));
  EXPECT_EQ(Labels(copy), (std::vector<std::string>{"eins", "-", "drei"}));
  EXPECT_EQ(dynamic_cast<TTestElement&>(*copy.Elements().Items(0)).GetBounds(),
            (TDoubleRect{0.1, 0.2, 0.3, 0.4}));

  // Without the middle class, its element is skipped and the stream stays in step: a second
  // template stored behind the first reads whole.
  UnregisterClass(TPlainTestElement::StaticClass());
  TMemoryStream buffer(bytes);
  TCSFStreamWinTypes stream(buffer, CSFMode::HeaderlessRead);
  TPrintWizardPageTemplate first;
  TPrintWizardPageTemplate second;
  EXPECT_TRUE(first.ReadFromStream(stream));
  EXPECT_TRUE(second.ReadFromStream(stream));
  EXPECT_EQ(Labels(first), (std::vector<std::string>{"eins", "drei"}));
  EXPECT_EQ(Labels(second), (std::vector<std::string>{"eins", "drei"}));
  EXPECT_EQ(stream.Position(), static_cast<int64_t>(bytes.size()));
}

TEST(PageTemplateTest, ElementChunksOfOtherIdsAreSkipped) {
  test::TTestClassRegistration registration;
  TMemoryStream buffer;
  {
    TCSFStreamWinTypes stream(buffer, CSFMode::Create);
    {
      TWriteChunk foreign(stream, 300);
      stream.WriteString("TTestElement");
      foreign.End();
    }
    TTestElement element;
    element.Bag().Label = "danach";
    TPageElementList list;
    ASSERT_TRUE(list.WriteItem(stream, element, 0));
    stream.Release();
  }
  TCSFStreamWinTypes stream(buffer, CSFMode::Read);
  TPageElementList list;
  EXPECT_TRUE(list.ReadItems(stream));
  ASSERT_EQ(list.Count(), 1);
  EXPECT_EQ(dynamic_cast<TTestElement&>(*list.Items(0)).Bag().Label, "danach");
}

TEST(PageTemplateTest, DamagedDataFailsWithoutCrashing) {
  test::TTestClassRegistration registration;
  TPrintWizardPageTemplate source;
  AddTestElement(source, "a");
  AddTestElement(source, "b");
  const std::string bytes = Store(source);
  for (size_t cut = 0; cut < bytes.size(); ++cut) {
    TPrintWizardPageTemplate copy;
    EXPECT_FALSE(Load(copy, bytes.substr(0, cut))) << cut;
  }
  // Every byte flipped in turn: reading may fail but must stay within the data.
  for (size_t at = 0; at < bytes.size(); ++at) {
    std::string damaged = bytes;
    damaged[at] = static_cast<char>(damaged[at] ^ 0xFF);
    TPrintWizardPageTemplate copy;
    Load(copy, damaged);
  }
}

TEST(PageTemplateTest, CloneCopiesBagAndElementsButNotPageState) {
  test::TTestClassRegistration registration;
  TPrintWizardPageTemplate source;
  FillBag(source.WizardProperties());
  AddTestElement(source, "x");
  source.SetPageNumber(4);
  source.OnElementsChanged = [](TObject*) {};
  std::unique_ptr<TPageTemplate> clone = source.Clone();
  ASSERT_NE(clone, nullptr);
  EXPECT_EQ(&clone->ClassType(), &TPrintWizardPageTemplate::StaticClass());
  EXPECT_EQ(Store(*clone), Store(source));
  EXPECT_EQ(clone->PageNumber(), -1);
  EXPECT_FALSE(clone->OnElementsChanged);

  // Assign replaces the elements rather than adding to them.
  TPrintWizardPageTemplate target;
  AddTestElement(target, "alt");
  target.Assign(source);
  EXPECT_EQ(Labels(target), (std::vector<std::string>{"x"}));
}

TEST(PageTemplateTest, ElementEventsReachTheTemplate) {
  TPageTemplate pageTemplate;
  int added = 0;
  int deleted = 0;
  int changed = 0;
  std::vector<std::tuple<TObject*, int32_t, TPageElement*, uint8_t>> changes;
  pageTemplate.OnElementAdded = [&](TObject* sender) { added += sender == &pageTemplate; };
  pageTemplate.OnElementDeleted = [&](TObject* sender) { deleted += sender == &pageTemplate; };
  pageTemplate.OnElementsChanged = [&](TObject* sender) { changed += sender == &pageTemplate; };
  pageTemplate.OnElementChange = [&](TObject* sender, int32_t a, TPageElement* element, uint8_t b) {
    changes.emplace_back(sender, a, element, b);
  };

  TTestElement& element = AddTestElement(pageTemplate, "a");
  EXPECT_EQ(added, 1);
  EXPECT_EQ(changed, 1);
  element.DoChange(3, 9);
  ASSERT_EQ(changes.size(), 1u);
  EXPECT_EQ(changes[0], std::make_tuple(static_cast<TObject*>(&pageTemplate), 3, &element,
                                        static_cast<uint8_t>(9)));
  pageTemplate.Elements().Delete(0);
  EXPECT_EQ(deleted, 1);
  EXPECT_EQ(changed, 2);
}

TEST(PageTemplateTest, ElementsMoveAndCopyBetweenTemplates) {
  test::TTestClassRegistration registration;
  TPageTemplate from;
  TPageTemplate to;
  TTestElement& a = AddTestElement(from, "a");
  AddTestElement(from, "b");
  AddTestElement(to, "x");
  int deletedFromSource = 0;
  from.OnElementDeleted = [&](TObject*) { ++deletedFromSource; };

  ASSERT_TRUE(to.Elements().AddElements(from.Elements(), 0, false));
  EXPECT_EQ(Labels(to), (std::vector<std::string>{"a", "b", "x"}));
  EXPECT_EQ(from.Elements().Count(), 0);
  EXPECT_EQ(deletedFromSource, 2);
  EXPECT_EQ(a.GetElementList(), &to.Elements());
  // Changes of a moved element now reach its new template only.
  int changes = 0;
  to.OnElementChange = [&](TObject*, int32_t, TPageElement*, uint8_t) { ++changes; };
  a.DoChange(0, 0);
  EXPECT_EQ(changes, 1);

  // Within one list: every element moves behind the position it had.
  ASSERT_TRUE(to.Elements().AddElements(to.Elements(), 3, false));
  EXPECT_EQ(Labels(to), (std::vector<std::string>{"a", "b", "x"}));
  ASSERT_TRUE(from.Elements().AddElements(to.Elements(), -1, true));
  EXPECT_EQ(Labels(from), (std::vector<std::string>{"a", "b", "x"}));
  EXPECT_EQ(Labels(to), (std::vector<std::string>{"a", "b", "x"}));
  EXPECT_NE(from.Elements().Items(0), to.Elements().Items(0));
  EXPECT_FALSE(to.Elements().AddElements(from.Elements(), 5, false));
}

TEST(PageTemplateTest, BackgroundFileReferences) {
  TPrintWizardPageTemplate pageTemplate;
  pageTemplate.SetFileName("Hintergrund.jpg");
  IFileReferences& references = pageTemplate;
  EXPECT_EQ(references.GetStoredFileName(), "Hintergrund.jpg");
  EXPECT_EQ(references.GetStoredFileNames(), (std::vector<std::string>{"Hintergrund.jpg"}));
  EXPECT_EQ(references.FileCount(), 1);
  references.ReplaceFileName("Anderes.jpg", "Neu.jpg");
  EXPECT_EQ(pageTemplate.GetRawFileName(), "Hintergrund.jpg");
  references.ReplaceFileName("Hintergrund.jpg", "Neu.jpg");
  EXPECT_EQ(pageTemplate.GetRawFileName(), "Neu.jpg");
  references.SetFileNameAt(0, "Dritte.png");
  EXPECT_EQ(pageTemplate.WizardProperties().BackgroundFile(), "Dritte.png");
}

TEST(PageTemplateTest, BackgroundColourFillsThePageRectangle) {
  TPrintWizardPageTemplate pageTemplate;
  pageTemplate.WizardProperties().SetBackColor(0xFF00FF00);
  TBitmap32 bitmap(6, 4);
  pageTemplate.DrawBackground(bitmap, {2, 1, 10, 3});  // reaches past the right edge
  EXPECT_EQ(bitmap.Pixel(2, 1), 0xFF00FF00u);
  EXPECT_EQ(bitmap.Pixel(5, 2), 0xFF00FF00u);
  EXPECT_EQ(bitmap.Pixel(1, 1), 0u);
  EXPECT_EQ(bitmap.Pixel(2, 3), 0u);
}

}  // namespace
}  // namespace nimbra
