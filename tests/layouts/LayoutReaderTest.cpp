#include <gtest/gtest.h>

#include "LayoutTestSupport.h"
#include "elements/PrintPageElementGeometric.h"
#include "elements/PrintPageElementPicture.h"
#include "layouts/LayoutJson.h"
#include "layouts/LayoutReader.h"
#include "storage/MemoryStream.h"
#include "templates/PageTemplateProject.h"
#include "templates/StructureElements.h"
#include "templates/StructureEvent.h"

namespace nimbra::test {
namespace {

using TLayoutReaderTest = TLayoutTest;

const char* const kLayout = R"({
  "name": "probe",
  "title": "Probe",
  "author": "Jana",
  "templates": [
    {
      "name": "Groß",
      "size": [30, 20],
      "background": "#102030",
      "backgroundPicture": "Papier.jpg",
      "backgroundMode": "tiled",
      "side": "odd",
      "elements": [
        { "type": "rectangle", "rect": [0, 0, 1, 0.5], "fill": "#80FF0000", "border": false },
        { "type": "picture", "rect": [0.1, 0.2, 0.9, 0.8], "rotation": -3, "fit": "unrotated",
          "randomRotation": true, "autoRotate": true, "keepAspectRatio": false,
          "transparency": 40 },
        { "type": "ellipse", "rect": [0.4, 0.4, 0.6, 0.6], "circle": true }
      ]
    },
    {
      "name": "Vier",
      "size": [32, 18],
      "elements": [
        { "type": "picture", "rect": [0, 0, 0.5, 0.5], "takesPhoto": false },
        { "type": "picture", "rect": [0.5, 0, 1, 0.5] },
        { "type": "picture", "rect": [0, 0.5, 0.5, 1], "file": "Logo.png" }
      ]
    }
  ],
  "structure": [
    { "page": "Groß" },
    { "loop": [
        { "event": "chapter", "do": [ { "page": "Groß" } ] },
        { "page": "Vier" }
      ],
      "until": "listEnd", "check": "after" }
  ]
})";

TEST_F(TLayoutReaderTest, TemplatesAndElementsCarryEveryField) {
  const TLayout layout = ReadLayout(kLayout);
  EXPECT_EQ(layout.Name, "probe");
  const TPrintWizardPageTemplateProject& project = *layout.Project;
  EXPECT_EQ(project.ProjectProperties()->Title(), "Probe");
  EXPECT_EQ(project.ProjectProperties()->Author(), "Jana");
  ASSERT_EQ(project.Templates().Count(), 2);

  auto& first = dynamic_cast<TPrintWizardPageTemplate&>(*project.Templates().Items(0));
  EXPECT_EQ(first.ID(), 1u);
  EXPECT_EQ(first.Properties().Name(), "Groß");
  EXPECT_EQ(first.Properties().Side(), kPageSideOdd);
  const TPrintWizardPageTemplateProperties& bag = first.WizardProperties();
  EXPECT_EQ(bag.PageWidth(), 30.0);
  EXPECT_EQ(bag.PageHeight(), 20.0);
  EXPECT_EQ(first.Properties().Width(), 300);
  EXPECT_EQ(bag.BackColor(), 0xFF102030u);
  EXPECT_EQ(bag.BackgroundFile(), "Papier.jpg");
  EXPECT_EQ(bag.BackgroundMode(), kBackgroundTiled);
  ASSERT_EQ(first.Elements().Count(), 3);

  auto& rect = dynamic_cast<TPrintPageElementRect&>(*first.Elements().Items(0));
  EXPECT_EQ(rect.GetBounds(), (TDoubleRect{0, 0, 1, 0.5}));
  EXPECT_EQ(rect.GeometricProperties().DrawFlags(), kDrawFill);
  EXPECT_EQ(rect.GeometricProperties().FillColor(), 0x80FF0000u);

  auto& picture = dynamic_cast<TPrintPageElementPicture&>(*first.Elements().Items(1));
  const TPrintPageElementPictureProperties& pictureBag = picture.PictureProperties();
  EXPECT_EQ(picture.GetBounds(), (TDoubleRect{0.1, 0.2, 0.9, 0.8}));
  EXPECT_EQ(pictureBag.RotationAngle(), -3.0);
  EXPECT_EQ(pictureBag.FitMode(), kFitAsUnrotated);
  EXPECT_TRUE(pictureBag.RandomRotation());
  EXPECT_TRUE(pictureBag.AutoRotate());
  EXPECT_FALSE(pictureBag.KeepAspectRatio());
  EXPECT_EQ(pictureBag.Transparency(), 40);
  EXPECT_TRUE(picture.TakesObject());

  auto& ellipse = dynamic_cast<TPrintPageElementEllipse&>(*first.Elements().Items(2));
  EXPECT_TRUE(ellipse.EllipseProperties().Circle());
  EXPECT_EQ(ellipse.GeometricProperties().DrawFlags(), kDrawFill | kDrawBorder);

  const TPageTemplate& second = *project.Templates().Items(1);
  EXPECT_EQ(second.ID(), 2u);
  auto& shared = dynamic_cast<TPrintPageElementPicture&>(*second.Elements().Items(0));
  auto& fixed = dynamic_cast<TPrintPageElementPicture&>(*second.Elements().Items(2));
  EXPECT_FALSE(shared.TakesObject());
  EXPECT_TRUE(shared.PictureProperties().UseSlideShowPicture());
  EXPECT_FALSE(fixed.TakesObject());
  EXPECT_EQ(fixed.PictureProperties().FileName(), "Logo.png");
}

// The page's template, or 0 for an item that is no page.
uint32_t TemplateOf(const TRef<ITreeItem>& item) {
  const auto* page = dynamic_cast<const TPageTemplateStructureElementPage*>(item->GetObject());
  return page != nullptr ? page->PageProperties().TemplateID() : 0;
}

void ExpectProbeStructure(const TPrintWizardPageTemplateProject& project) {
  const TRef<ITreeItemList> root = project.Structure().GetItems();
  ASSERT_EQ(root->Count(), 2);
  EXPECT_EQ(TemplateOf(root->GetItem(0)), 1u);
  const auto* loop = dynamic_cast<const TSlideShowPageTemplateStructureElementLoop*>(
      root->GetItem(1)->GetObject());
  ASSERT_NE(loop, nullptr);
  EXPECT_NE(dynamic_cast<const TStructureEventOnListEnd*>(loop->LoopProperties().Event()), nullptr);
  EXPECT_EQ(loop->LoopProperties().Mode(), kLoopChecksAfter);
  const TRef<ITreeItemList> body = root->GetItem(1)->GetChildren();
  ASSERT_EQ(body->Count(), 2);
  const auto* event = dynamic_cast<const TPageTemplateSlideShowStructureElementEvent*>(
      body->GetItem(0)->GetObject());
  ASSERT_NE(event, nullptr);
  EXPECT_NE(dynamic_cast<const TStructureEventOnChapter*>(event->EventProperties().Event()),
            nullptr);
  ASSERT_EQ(body->GetItem(0)->GetChildren()->Count(), 1);
  EXPECT_EQ(TemplateOf(body->GetItem(0)->GetChildren()->GetItem(0)), 1u);
  EXPECT_EQ(TemplateOf(body->GetItem(1)), 2u);
}

TEST_F(TLayoutReaderTest, StructureSurvivesTheProjectsStoredForm) {
  const TLayout layout = ReadLayout(kLayout);
  ExpectProbeStructure(*layout.Project);

  TMemoryStream stored;
  ASSERT_TRUE(layout.Project->SaveToStream(stored));
  stored.SetPosition(0);
  TPrintWizardPageTemplateProject reread;
  ASSERT_TRUE(reread.LoadFromStream(stored));
  ExpectProbeStructure(reread);
  ASSERT_EQ(reread.Templates().Count(), 2);
  EXPECT_EQ(reread.Templates().Items(0)->Properties().Name(), "Groß");
  auto& picture =
      dynamic_cast<TPrintPageElementPicture&>(*reread.Templates().Items(0)->Elements().Items(1));
  EXPECT_EQ(picture.PictureProperties().RotationAngle(), -3.0);
}

struct TBadLayout {
  std::string Json;
  int Line;
  std::string Reason;  // a part of the reason
};

TEST_F(TLayoutReaderTest, MistakesAreRefusedWithTheirLine) {
  const std::string head =
      "{\"name\": \"x\",\n\"templates\": [{\"name\": \"T\", \"size\": [32, 18],\n";
  const std::string page = "\"structure\": [{\"loop\": [{\"page\": \"T\"}]}]}";
  const std::string picture =
      "\"elements\": [{\"type\": \"picture\", \"rect\": [0, 0, 1, 1]}]}],\n";
  const TBadLayout cases[] = {
      {"[1]", 1, "the layout should be an object"},
      {"{\"templates\": []}", 1, "the layout needs \"name\""},
      {head +
           "\"elements\": [{\"type\": \"picture\",\n \"rotaton\": 3, \"rect\": [0,0,1,1]}]}],\n" +
           page,
       4, "unknown field \"rotaton\" in a picture element"},
      {head +
           "\"elements\": [{\"type\": \"picture\", \"rect\": [0, 0, 1, 1],\n\"rotation\": "
           "\"3\"}]}],\n" +
           page,
       4, "\"rotation\" of a picture element should be a number, not a text"},
      {head + "\"elements\": [{\"type\": \"rectangle\",\n\"rect\": [0.5, 0, 0.4, 1]}]}],\n" + page,
       4, "left must lie before right"},
      {head + "\"background\": \"#12345\",\n" + picture + page, 3, "should be a colour"},
      {head + "\"elements\": [\n{\"type\": \"star\", \"rect\": [0, 0, 1, 1]}]}],\n" + page, 4,
       "should be one of \"picture\", \"rectangle\", \"ellipse\""},
      {head + picture + "\"structure\": [\n{\"page\": \"Tx\"}]}", 5, "no template is named \"Tx\""},
      {head + "\"elements\": []}],\n\"structure\": [\n{\"loop\": [{\"page\": \"T\"}]}]}", 5,
       "shows none of them"},
      {head + picture + "\"structure\": [\n{\"event\": \"chapter\", \"do\": []}]}", 5,
       "\"do\" of an event is empty"},
      {head + picture + "\"structure\": [\n{\"pages\": \"T\"}]}", 5,
       "needs \"page\", \"loop\" or \"event\""},
      {"{\"name\": \"x\", \"templates\": [\n{\"name\": \"T\", \"size\": [32, 18], \"elements\": "
       "[]},\n"
       "{\"name\": \"T\", \"size\": [32, 18], \"elements\": []}],\n" +
           page,
       3, "two templates are named \"T\""},
      {head + "\"size\": [0, 18]}],\n" + page, 3, "\"size\" is given twice"},
      {"{\"name\": \"x\", \"templates\": [{\"name\": \"T\", \"elements\": [],\n\"size\": [-1, "
       "18]}],\n" +
           page,
       2, "centimetres above 0"},
  };
  for (const TBadLayout& bad : cases) {
    SCOPED_TRACE(bad.Json);
    try {
      ReadLayout(bad.Json);
      ADD_FAILURE() << "accepted";
    } catch (const ELayoutError& error) {
      EXPECT_EQ(error.Line(), bad.Line);
      EXPECT_NE(error.Reason().find(bad.Reason), std::string::npos) << error.Reason();
    }
  }
}

}  // namespace
}  // namespace nimbra::test
