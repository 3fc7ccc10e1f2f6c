#include <gtest/gtest.h>

#include "LayoutTestSupport.h"
#include "elements/PageTemplateVariable.h"
#include "elements/PrintPageElementGeometric.h"
#include "elements/PrintPageElementPageNumberText.h"
#include "elements/PrintPageElementPicture.h"
#include "elements/PrintPageElementPictureText.h"
#include "elements/PrintPageElementUserText.h"
#include "elements/PrintWizardPictureEffectCollage.h"
#include "elements/PrintWizardPictureEffectColorize.h"
#include "elements/PrintWizardPictureEffectList.h"
#include "elements/PrintWizardPictureEffectShadow.h"
#include "elements/PrintWizardPictureEffectSimpleBorder.h"
#include "layouts/LayoutJson.h"
#include "layouts/LayoutReader.h"
#include "storage/MemoryStream.h"
#include "templates/PageTemplateProject.h"
#include "templates/StructureElements.h"
#include "templates/StructureEvent.h"

namespace nimbra::test {
namespace {

using TLayoutReaderTest = TLayoutTest;
using TBorderBag = TPrintWizardPictureEffectSimpleBorderProperties;
using TShadowBag = TPrintWizardPictureEffectShadowProperties;
using TColorizeBag = TPrintWizardPictureEffectColorizeProperties;
using TCollageBag = TPrintWizardPictureEffectCollageProperties;

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
          "transparency": 40, "fill": "cover", "blurredBackground": true },
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
  EXPECT_TRUE(pictureBag.CoversBox());
  EXPECT_TRUE(pictureBag.BlurredBackground());
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
  EXPECT_FALSE(fixed.PictureProperties().CoversBox());
  EXPECT_FALSE(fixed.PictureProperties().BlurredBackground());
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

const char* const kTextLayout = R"({
  "name": "texte",
  "variables": [ { "name": "Ort", "value": "Berlin" }, { "name": "Gruß", "value": "Hallo\nWelt" } ],
  "templates": [ { "name": "T", "size": [30, 20], "elements": [
    { "type": "picture", "rect": [0, 0, 0.5, 0.8] },
    { "type": "picture", "rect": [0.5, 0, 1, 0.8], "file": "Logo.png" },
    { "type": "picture", "rect": [0.5, 0, 1, 0.8] },
    { "type": "text", "rect": [0, 0.8, 1, 0.9], "text": "Urlaub in %Ort%", "font": "Liberation Serif",
      "size": 24, "bold": true, "color": "#102030", "align": "centred", "verticalAlign": "bottom" },
    { "type": "caption", "rect": [0.5, 0.8, 1, 0.9], "picture": 2, "text": "%capturedate%",
      "italic": true, "align": "right", "verticalAlign": "middle" },
    { "type": "pageNumber", "rect": [0.9, 0.9, 1, 1], "position": "alternating" },
    { "type": "pageNumber", "rect": [0, 0.9, 0.1, 1], "position": "centred", "text": "Seite %SEITENNR%" },
    { "type": "text", "rect": [0, 0.9, 0.2, 1] }
  ] } ],
  "structure": [ { "loop": [ { "page": "T" } ] } ]
})";

struct TTextCase {
  int32_t Element;
  const char* Class;
  std::string Text;
  TFontRecord Font;
  uint8_t Horz;
  uint8_t Vert;
};

// Every text field lands in the element's bag and survives the stored project, as make-project
// writes it; the colour turns round to 0x00BBGGRR.
TEST_F(TLayoutReaderTest, TextElementsAndVariablesCarryEveryField) {
  const TLayout layout = ReadLayout(kTextLayout);
  TMemoryStream stored;
  ASSERT_TRUE(layout.Project->SaveToStream(stored));
  stored.SetPosition(0);
  TPrintWizardPageTemplateProject project;
  ASSERT_TRUE(project.LoadFromStream(stored));
  const TPageTemplate& page = *project.Templates().Items(0);
  const TTextCase cases[] = {
      {3,
       "TPrintPageElementUserText",
       "Urlaub in %Ort%",
       {0x302010, "Liberation Serif", 24, kFontStyleBold},
       kAlignCenter,
       kAlignBottom},
      {4,
       "TPrintPageElementPictureText",
       "%capturedate%",
       {0, "Arial", 10, kFontStyleItalic},
       kAlignRight,
       kAlignMiddle},
      {5, "TPrintPageElementPageNumberText", "", {0, "Arial", 10, 0}, kAlignLeft, kAlignTop},
      {6,
       "TPrintPageElementPageNumberText",
       "Seite %SEITENNR%",
       {0, "Arial", 10, 0},
       kAlignLeft,
       kAlignTop},
      {7, "TPrintPageElementUserText", "Ihr Text", {0, "Arial", 10, 0}, kAlignLeft, kAlignTop},
  };
  for (const TTextCase& expected : cases) {
    SCOPED_TRACE(expected.Element);
    auto& text =
        dynamic_cast<TPrintPageElementAlignedText&>(*page.Elements().Items(expected.Element));
    EXPECT_EQ(text.ClassName(), expected.Class);
    const TPrintPageElementAlignedTextProperties& bag = text.AlignedProperties();
    EXPECT_EQ(bag.Text(), expected.Text);
    EXPECT_EQ(bag.Font(), expected.Font);
    EXPECT_EQ(bag.HorzAlignment(), expected.Horz);
    EXPECT_EQ(bag.VertAlignment(), expected.Vert);
  }
  auto& caption = dynamic_cast<TPrintPageElementPictureText&>(*page.Elements().Items(4));
  EXPECT_EQ(caption.PictureTextProperties().PictureNumber(), 2);
  auto position = [&](int32_t index) {
    return dynamic_cast<TPrintPageElementPageNumberText&>(*page.Elements().Items(index))
        .PageNumberProperties()
        .Position()
        ->ClassName();
  };
  EXPECT_EQ(position(5), "TPrintPageElementPageNumberTextPositionJumping");
  EXPECT_EQ(position(6), "TPrintPageElementPageNumberTextPositionCentered");

  const auto& variables =
      dynamic_cast<TPageTemplateVariableProperties&>(*project.ProjectProperties()->Variables())
          .Variables();
  ASSERT_EQ(variables.Count(), 2);
  EXPECT_EQ(variables.Items(0).ClassName(), "TPageTemplateStringVariable");
  EXPECT_EQ(variables.Items(0).VariableName(), "Ort");
  EXPECT_EQ(variables.Items(0).GetValueText(), "Berlin");
  EXPECT_EQ(variables.Items(1).ClassName(), "TPageTemplateTextVariable");
  EXPECT_EQ(variables.Items(1).GetValueText(), "Hallo\r\nWelt");
}

TEST_F(TLayoutReaderTest, EffectsTakeTheirSettingsInUsersUnits) {
  const TLayout layout = ReadLayout(R"({"name": "e", "templates": [{"name": "T", "size": [32, 18],
    "elements": [{"type": "picture", "rect": [0.1, 0.1, 0.9, 0.9], "effects": [
      {"type": "border", "width": 0.5, "color": "#FFFFFF", "color2": "#80102030",
       "style": "relief", "patterns": 6, "transparency": 20, "sides": [0.1, 0.2, 0.3, 0.4]},
      {"type": "shadow", "distance": 0.3, "angle": 135, "blur": 0.25, "transparency": 50},
      {"type": "colorize", "mode": "replace", "hue": 30, "saturation": 40},
      {"type": "colorize", "hue": -90, "saturation": -100},
      {"type": "collage1", "followPicture": false, "pictures": [
        {"files": ["Klebeband.png", "Ecke.png"], "placement": "bottomRight", "width": 2,
         "height": 1.5, "offsetX": -0.5, "angle": 10, "angleRange": 20,
         "rect": [-0.1, -0.1, 1.1, 1.1], "keepAspectRatio": false}]}
    ]}]}],
    "structure": [{"loop": [{"page": "T"}]}]})");
  TMemoryStream stored;
  ASSERT_TRUE(layout.Project->SaveToStream(stored));
  stored.SetPosition(0);
  TPrintWizardPageTemplateProject project;
  ASSERT_TRUE(project.LoadFromStream(stored));
  const auto& picture =
      dynamic_cast<TPrintPageElementPicture&>(*project.Templates().Items(0)->Elements().Items(0));
  const TPrintWizardPictureEffectList& effects = picture.PictureProperties().Effects();
  ASSERT_EQ(effects.Count(), 5);

  const auto& border = *effects.Effects(0)->PropertiesAs<TBorderBag>();
  EXPECT_EQ(border.BorderWidth(), 0.5);
  EXPECT_EQ(border.Color1(), 0xFFFFFFFFu);
  EXPECT_EQ(border.Color2(), 0x80102030u);
  EXPECT_EQ(border.Style(), kBorderStyleRelief);
  EXPECT_EQ(border.PatternCount(), 6);
  EXPECT_EQ(border.Transparency(), 51);
  EXPECT_TRUE(border.IndividualSides());
  EXPECT_EQ((std::vector<double>{border.LeftWidth(), border.TopWidth(), border.RightWidth(),
                                 border.BottomWidth()}),
            (std::vector<double>{0.1, 0.2, 0.3, 0.4}));

  const auto& shadow = *effects.Effects(1)->PropertiesAs<TShadowBag>();
  EXPECT_EQ(shadow.Distance(), 0.3);
  EXPECT_EQ(shadow.Angle(), 135);
  EXPECT_EQ(shadow.Blur(), 0.25);
  EXPECT_EQ(shadow.Transparency(), 128);  // 127.5, halves to even

  const auto& replace = *effects.Effects(2)->PropertiesAs<TColorizeBag>();
  EXPECT_TRUE(replace.ReplaceColor());
  EXPECT_EQ(replace.Hue(), 30);
  EXPECT_EQ(replace.Saturation(), 102);
  const auto& shift = *effects.Effects(3)->PropertiesAs<TColorizeBag>();
  EXPECT_FALSE(shift.ReplaceColor());
  EXPECT_EQ(shift.Hue(), -90);
  EXPECT_EQ(shift.Saturation(), -255);

  const auto& collage = *effects.Effects(4)->PropertiesAs<TCollageBag>();
  EXPECT_FALSE(collage.FollowPicture());
  ASSERT_EQ(collage.Pictures().Count(), 1);
  const TCollagePic& pic = collage.Pictures().Items(0);
  EXPECT_EQ(pic.FileNames(), "Klebeband.png\r\nEcke.png");
  EXPECT_EQ(pic.Placement(), kPlacementBottomRight);
  EXPECT_EQ(pic.Bounds(), (TDoubleRect{-0.1, -0.1, 1.1, 1.1}));
  EXPECT_EQ(pic.Width(), 2);
  EXPECT_EQ(pic.Height(), 1.5);
  EXPECT_EQ(pic.OffsetX(), -0.5);
  EXPECT_EQ(pic.Angle(), 10);
  EXPECT_EQ(pic.AngleRange(), 20);
  EXPECT_FALSE(pic.KeepAspectRatio());
  EXPECT_TRUE(pic.ScaleWithPicture());
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
  const auto element = [&](const std::string& type, const std::string& field) {
    return head + "\"elements\": [{\"type\": \"" + type + "\", \"rect\": [0, 0, 1, 1],\n" + field +
           "}]}],\n" + page;
  };
  const auto variables = [&](const std::string& list) {
    return "{\"name\": \"x\", \"variables\": [\n" + list +
           "],\n\"templates\": [{\"name\": \"T\", \"size\": [32, 18],\n" + picture + page;
  };
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
       "needs \"page\", \"loop\", \"event\" or \"choose\""},
      {head + picture + "\"structure\": [\n{\"choose\": []}]}", 5,
       "\"choose\" of a choice is empty"},
      {head + picture +
           "\"structure\": [{\"choose\": [\n{\"page\": \"T\", \"photo\": \"hoch\"}]}]}",
       5, "\"photo\" of an alternative should be one of \"any\", \"portrait\", \"landscape\""},
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
      {element("text", "\"size\": 0"), 4,
       "\"size\" of a text should be a whole number from 1 to 1000"},
      {element("text", "\"color\": \"#80FF0000\""), 4,
       "\"color\" of a text should be a colour \"#RRGGBB\""},
      {element("pageNumber", "\"position\": \"links\""), 4,
       "\"position\" of a page number should be one of \"asDesigned\", \"centred\", "
       "\"alternating\""},
      {element("caption", "\"align\": \"center\""), 4,
       "\"align\" of a caption should be one of \"left\", \"centred\", \"right\""},
      {element("caption", "\"picture\": 1"), 3,
       "a caption describes picture 1 but the template shows 0 of the photos"},
      {variables("{\"name\": \"Ort\", \"value\": \"a\"}, {\"name\": \"ORT\", \"value\": \"b\"}"), 2,
       "two variables are named \"ORT\""},
      {variables("{\"name\": \"%Ort%\", \"value\": \"a\"}"), 2, "without \"%\""},
      {element("picture", "\"effects\": [\n{\"type\": \"glow\"}]"), 5,
       "\"type\" of an effect should be one of \"shadow\", \"border\""},
      {element("picture", "\"effects\": [{\"type\": \"border\",\n\"width\": 0}]"), 5,
       "\"width\" of a border should lie between 0.01 and 50"},
      {element("picture", "\"effects\": [{\"type\": \"shadow\",\n\"blurr\": 1}]"), 5,
       "unknown field \"blurr\" in a shadow"},
      {element("picture", "\"effects\": [{\"type\": \"colorize\", \"mode\": \"replace\",\n"
                          "\"hue\": -10}]"),
       5, "\"hue\" of a colouring should be a whole number from 0 to 360"},
      {element("picture", "\"effects\": [{\"type\": \"collage4\",\n\"pictures\": "
                          "[{\"files\": [\"a.png\"]}]}]"),
       5, "\"pictures\" of a collage should list 4 pictures"},
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
