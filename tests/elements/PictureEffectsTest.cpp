// The effect list and every effect: defaults, stored layouts, copies, unknown effects, collage
// pictures of older and larger lists, file references and the hand-over by stage.
#include <gtest/gtest.h>

#include "ElementTestSupport.h"
#include "elements/PrintPageElementPicture.h"
#include "elements/PrintWizardPictureEffectCollage.h"
#include "elements/PrintWizardPictureEffectColorize.h"
#include "elements/PrintWizardPictureEffectList.h"
#include "elements/PrintWizardPictureEffectShadow.h"
#include "elements/PrintWizardPictureEffectSimpleBorder.h"
#include "storage/CSFStreamWinTypes.h"
#include "storage/MemoryStream.h"

namespace nimbra {
namespace {

using test::WriteBag;

class PictureEffectsTest : public test::TElementsTest {};

template <typename Write>
std::string Bytes(Write write) {
  TMemoryStream bytes;
  TCSFStreamWinTypes csf(bytes, CSFMode::Headerless);
  write(csf);
  csf.Release();
  return bytes.ToString();
}

std::string WriteList(const TPrintWizardPictureEffectList& list) {
  return Bytes([&](TCSFStreamWinTypes& csf) { EXPECT_TRUE(list.WriteToStream(csf)); });
}

bool ReadList(TPrintWizardPictureEffectList& list, const std::string& bytes) {
  TMemoryStream stream(bytes);
  TCSFStreamWinTypes csf(stream, CSFMode::HeaderlessRead);
  return list.ReadFromStream(csf);
}

template <typename T>
T& AddEffect(TPrintWizardPictureEffectList& list) {
  auto effect = std::make_unique<T>();
  T& added = *effect;
  list.Add(std::unique_ptr<TObject>(std::move(effect)));
  return added;
}

// A list with every effect, each with values other than its defaults.
void FillList(TPrintWizardPictureEffectList& list) {
  list.SetListName("Rahmen und Schatten");
  auto& shadow = AddEffect<TPrintWizardPictureEffectShadow>(list).ShadowProperties();
  shadow.SetDistance(0.35);
  shadow.SetAngle(180);
  shadow.SetBlur(0);
  shadow.SetTransparency(9);
  auto& single = AddEffect<TPrintWizardPictureEffectUserCollage1Pic>(list);
  single.CollageProperties().SetFollowPicture(false);
  TCollagePic& pin = single.CollageProperties().Pictures().Items(0);
  pin.SetBounds({0.1, 0.2, 0.3, 0.4});
  pin.SetPlacement(kPlacementBottomRight);
  pin.SetWidth(2.5);
  pin.SetHeight(3.5);
  pin.SetOffsetX(-0.5);
  pin.SetOffsetY(0.25);
  pin.SetFromResource(true);
  pin.SetFileNames("Pin\r\nNadel");
  pin.SetKeepAspectRatio(false);
  pin.SetScaleWithPicture(false);
  pin.SetAngle(12);
  pin.SetAngleRange(4);
  pin.SetCenterX(-7);
  pin.SetCenterY(8);
  pin.SetReserved(0, 1.5);
  pin.SetReserved(3, -2.5);
  pin.SetReservedFlag(true);
  auto& four = AddEffect<TPrintWizardPictureEffectUserCollage4Pic>(list);
  four.CollageProperties().Pictures().Items(3).SetFileNames("C:\\Bilder\\vier.jpg");
  auto& border = AddEffect<TPrintWizardPictureEffectSimpleBorder>(list).BorderProperties();
  border.SetColor1(0x11223344);
  border.SetColor2(0x55667788);
  border.SetBorderWidth(0.4);
  border.SetTransparency(30);
  border.SetStyle(kBorderStyleRelief);
  border.SetPatternCount(6);
  border.SetIndividualSides(true);
  border.SetLeftWidth(0.1);
  border.SetTopWidth(0.2);
  border.SetRightWidth(0.3);
  border.SetBottomWidth(0.4);
  auto& colorize = AddEffect<TPrintWizardPictureEffectColorize>(list).ColorizeProperties();
  colorize.SetReplaceColor(true);
  colorize.SetHue(360);
  colorize.SetSaturation(-20);
}

TEST_F(PictureEffectsTest, NewEffectsHaveTheirDefaultsAndStages) {
  TPrintWizardPictureEffectShadow shadow;
  EXPECT_EQ(shadow.Stage(), kEffectStageAfterGeometry);
  EXPECT_EQ(shadow.ShadowProperties().Distance(), 0.2);
  EXPECT_EQ(shadow.ShadowProperties().Angle(), 45);
  EXPECT_EQ(shadow.ShadowProperties().Blur(), 0.1);
  EXPECT_EQ(shadow.ShadowProperties().Transparency(), 76);

  TPrintWizardPictureEffectSimpleBorder border;
  const auto& frame = border.BorderProperties();
  EXPECT_EQ(border.Stage(), kEffectStageBeforeGeometry);
  EXPECT_EQ(frame.Color1(), 0xFF000000u);
  EXPECT_EQ(frame.Color2(), 0xFFFF0000u);
  EXPECT_EQ(frame.BorderWidth(), 0.1);
  EXPECT_EQ(frame.Transparency(), 0);
  EXPECT_EQ(frame.Style(), kBorderStyleSolid);
  EXPECT_EQ(frame.PatternCount(), 2);
  EXPECT_FALSE(frame.IndividualSides());
  for (double width : {frame.LeftWidth(), frame.TopWidth(), frame.RightWidth(),
                       frame.BottomWidth()}) {
    EXPECT_EQ(width, 0.1);
  }

  TPrintWizardPictureEffectColorize colorize;
  EXPECT_EQ(colorize.Stage(), kEffectStageAfterGeometry);
  EXPECT_FALSE(colorize.ColorizeProperties().ReplaceColor());
  EXPECT_EQ(colorize.ColorizeProperties().Hue(), 0);
  EXPECT_EQ(colorize.ColorizeProperties().Saturation(), 0);

  TPrintWizardPictureEffectUserCollage1Pic one;
  TPrintWizardPictureEffectUserCollage4Pic four;
  EXPECT_EQ(one.Stage(), kEffectStageAfterGeometry);
  EXPECT_EQ(one.CollageProperties().Pictures().Count(), 1);
  EXPECT_EQ(four.CollageProperties().Pictures().Count(), 4);
  EXPECT_TRUE(four.CollageProperties().FollowPicture());
  const TCollagePic& pic = four.CollageProperties().Pictures().Items(2);
  EXPECT_EQ(pic.Bounds(), (TDoubleRect{0, 0, 1, 1}));
  EXPECT_EQ(pic.Placement(), kPlacementFitted);
  EXPECT_EQ(pic.Width(), 1);
  EXPECT_EQ(pic.Height(), 1);
  EXPECT_TRUE(pic.KeepAspectRatio());
  EXPECT_TRUE(pic.ScaleWithPicture());
  EXPECT_EQ(pic.FileNames(), "");
  EXPECT_EQ(one.Caption(), "Collage");
  EXPECT_EQ(four.Caption(), "Collage (4 Bilder)");
}

TEST_F(PictureEffectsTest, BorderSubChunkHoldsItsFieldsInStoredOrder) {
  TPrintWizardPictureEffectList list;
  FillList(list);
  const auto& border = *list.Effects(3)->PropertiesAs<TPrintWizardPictureEffectSimpleBorderProperties>();
  EXPECT_EQ(WriteBag(border), Bytes([](TCSFStreamWinTypes& csf) {
              csf.BeginSubChunk();
              csf.WriteDouble(0.4);
              csf.WriteByte(30);
              csf.WriteCardinal(0x11223344);
              csf.WriteCardinal(0x55667788);
              csf.WriteByte(kBorderStyleRelief);
              csf.WriteInteger(6);
              csf.WriteByte(1);
              csf.WriteDouble(0.1);  // left
              csf.WriteDouble(0.2);  // top
              csf.WriteDouble(0.3);  // right
              csf.WriteDouble(0.4);  // bottom
              csf.EndSubChunk();
            }));
}

TEST_F(PictureEffectsTest, ShadowAndColorizeLayouts) {
  TPrintWizardPictureEffectList list;
  FillList(list);
  EXPECT_EQ(WriteBag(*list.Effects(0)->Properties()), Bytes([](TCSFStreamWinTypes& csf) {
              csf.BeginSubChunk();
              csf.WriteDouble(180);   // angle
              csf.WriteDouble(0.35);  // distance
              csf.WriteDouble(0);     // blur
              csf.WriteByte(9);
              csf.EndSubChunk();
            }));
  EXPECT_EQ(WriteBag(*list.Effects(4)->Properties()), Bytes([](TCSFStreamWinTypes& csf) {
              csf.BeginSubChunk();
              csf.WriteByte(1);
              csf.WriteInteger(360);
              csf.WriteInteger(-20);
              csf.EndSubChunk();
            }));
}

TEST_F(PictureEffectsTest, ListEntriesAreClassNameAndBagInSubChunks) {
  TPrintWizardPictureEffectList list;
  list.SetListName("L");
  AddEffect<TPrintWizardPictureEffectColorize>(list);
  EXPECT_EQ(WriteList(list), Bytes([](TCSFStreamWinTypes& csf) {
              csf.WriteString("L");
              csf.WriteInteger(1);
              csf.BeginSubChunk();
              csf.WriteString("TPrintWizardPictureEffectColorize");
              csf.BeginSubChunk();
              csf.BeginSubChunk();
              csf.WriteByte(0);
              csf.WriteInteger(0);
              csf.WriteInteger(0);
              csf.EndSubChunk();
              csf.EndSubChunk();
              csf.EndSubChunk();
            }));
}

TEST_F(PictureEffectsTest, EveryEffectAndItsBagSurviveTheStoredForm) {
  TPrintWizardPictureEffectList list;
  FillList(list);
  const std::string bytes = WriteList(list);

  TPrintWizardPictureEffectList copy;
  AddEffect<TPrintWizardPictureEffectShadow>(copy);  // reading replaces what was there
  ASSERT_TRUE(ReadList(copy, bytes));
  ASSERT_EQ(copy.Count(), 5);
  EXPECT_EQ(copy.ListName(), "Rahmen und Schatten");
  for (int32_t i = 0; i < 5; ++i) {
    EXPECT_EQ(copy.Effects(i)->ClassName(), list.Effects(i)->ClassName());
  }
  EXPECT_EQ(WriteList(copy), bytes);

  const TCollagePic& pin = dynamic_cast<TPrintWizardPictureEffectCollage&>(*copy.Effects(1))
                               .CollageProperties()
                               .Pictures()
                               .Items(0);
  EXPECT_EQ(pin.Bounds(), (TDoubleRect{0.1, 0.2, 0.3, 0.4}));
  EXPECT_EQ(pin.Placement(), kPlacementBottomRight);
  EXPECT_EQ(pin.OffsetX(), -0.5);
  EXPECT_EQ(pin.FileNames(), "Pin\r\nNadel");
  EXPECT_TRUE(pin.FromResource());
  EXPECT_EQ(pin.AngleRange(), 4);
  EXPECT_EQ(pin.CenterY(), 8);
  EXPECT_EQ(pin.Reserved(3), -2.5);
  EXPECT_TRUE(pin.ReservedFlag());
  EXPECT_EQ(copy.Effects(4)->PropertiesAs<TPrintWizardPictureEffectColorizeProperties>()->Hue(),
            360);
}

TEST_F(PictureEffectsTest, EffectListTravelsWithItsPictureElement) {
  TPrintPageElementPicture picture;
  FillList(picture.PictureProperties().Effects());
  const std::unique_ptr<TPageElement> clone = picture.Clone();
  const auto& copy = dynamic_cast<TPrintPageElementPicture&>(*clone);
  EXPECT_EQ(copy.PictureProperties().Effects().Count(), 5);
  EXPECT_EQ(WriteBag(copy.Properties()), WriteBag(picture.Properties()));
}

TEST_F(PictureEffectsTest, UnknownEffectIsPassedOverAndTheRestRead) {
  const std::string bytes = Bytes([](TCSFStreamWinTypes& csf) {
    csf.WriteString("");
    csf.WriteInteger(3);
    csf.BeginSubChunk();
    csf.WriteString("TPrintWizardPictureEffectSepia");
    csf.BeginSubChunk();
    csf.WriteString("unbekannte Daten");
    csf.EndSubChunk();
    csf.EndSubChunk();
    csf.BeginSubChunk();
    csf.WriteString("TPrintPageElementRect");  // a known class, but no effect
    csf.BeginSubChunk();
    csf.EndSubChunk();
    csf.EndSubChunk();
    csf.BeginSubChunk();
    csf.WriteString("TPrintWizardPictureEffectColorize");
    csf.BeginSubChunk();
    csf.BeginSubChunk();
    csf.WriteByte(1);
    csf.WriteInteger(120);
    csf.WriteInteger(50);
    csf.EndSubChunk();
    csf.EndSubChunk();
    csf.EndSubChunk();
  });
  TPrintWizardPictureEffectList list;
  ASSERT_TRUE(ReadList(list, bytes));
  ASSERT_EQ(list.Count(), 1);
  const auto* colorize = list.Effects(0)->PropertiesAs<TPrintWizardPictureEffectColorizeProperties>();
  ASSERT_NE(colorize, nullptr);
  EXPECT_EQ(colorize->Hue(), 120);
  EXPECT_EQ(colorize->Saturation(), 50);
}

TEST_F(PictureEffectsTest, DamagedListFailsWithoutAllocatingForItsCount) {
  const std::string bytes = Bytes([](TCSFStreamWinTypes& csf) {
    csf.WriteString("");
    csf.WriteInteger(0x7FFFFFFF);
  });
  TPrintWizardPictureEffectList list;
  EXPECT_FALSE(ReadList(list, bytes));
  EXPECT_EQ(list.Count(), 0);

  TPrintWizardPictureEffectList full;
  FillList(full);
  const std::string good = WriteList(full);
  TPrintWizardPictureEffectList cut;
  EXPECT_FALSE(ReadList(cut, good.substr(0, good.size() - 20)));
}

// A collage bag with the given pictures; short ones end after AngleRange, as older writers did.
std::string CollageBag(int32_t count, bool shortPictures) {
  return Bytes([&](TCSFStreamWinTypes& csf) {
    csf.BeginSubChunk();
    csf.WriteBoolean(false);
    csf.EndSubChunk();
    csf.BeginSubChunk();
    csf.WriteInteger(count);
    for (int32_t i = 0; i < count; ++i) {
      csf.BeginSubChunk();
      csf.WriteString("TCollagePic");
      csf.WriteDoubleRect({0, 0, 0.5, 0.5});
      csf.WriteByte(static_cast<uint8_t>(i));
      for (int k = 0; k < 4; ++k) csf.WriteDouble(2);
      csf.WriteBoolean(false);
      csf.WriteString("Bild" + std::to_string(i) + ".jpg");
      csf.WriteBoolean(true);
      csf.WriteBoolean(true);
      csf.WriteDouble(30);
      csf.WriteInteger(1);
      csf.WriteInteger(2);
      csf.WriteDouble(10);
      if (!shortPictures) {
        for (int k = 0; k < 4; ++k) csf.WriteDouble(9);
        csf.WriteBoolean(true);
      }
      csf.EndSubChunk();
    }
    csf.EndSubChunk();
  });
}

TEST_F(PictureEffectsTest, FourPictureCollageKeepsFourOfSixStoredPictures) {
  TPrintWizardPictureEffectUserCollage4Pic collage;
  ASSERT_TRUE(test::ReadBag(*collage.Properties(), CollageBag(6, false)));
  const TCollagePicsList& pictures = collage.CollageProperties().Pictures();
  ASSERT_EQ(pictures.Count(), 4);
  EXPECT_FALSE(collage.CollageProperties().FollowPicture());
  EXPECT_EQ(pictures.Items(3).Placement(), 3);
  EXPECT_EQ(pictures.Items(3).FileNames(), "Bild3.jpg");
  EXPECT_EQ(pictures.Items(0).Reserved(2), 9);
  EXPECT_TRUE(pictures.Items(0).ReservedFlag());
}

TEST_F(PictureEffectsTest, OlderCollagePicturesKeepTheDefaultsOfTheLastFields) {
  TPrintWizardPictureEffectUserCollage4Pic collage;
  ASSERT_TRUE(test::ReadBag(*collage.Properties(), CollageBag(2, true)));
  const TCollagePicsList& pictures = collage.CollageProperties().Pictures();
  EXPECT_EQ(pictures.Items(1).AngleRange(), 10);
  EXPECT_EQ(pictures.Items(1).CenterX(), 1);
  EXPECT_EQ(pictures.Items(1).Reserved(0), 0);
  EXPECT_FALSE(pictures.Items(1).ReservedFlag());
  // Pictures the data does not name stay as they were.
  EXPECT_EQ(pictures.Items(2).FileNames(), "");
  EXPECT_EQ(pictures.Items(2).Placement(), kPlacementFitted);
}

TEST_F(PictureEffectsTest, FileReferencesGatherTheCollagePictures) {
  TPrintPageElementPicture picture;
  picture.PictureProperties().SetUseSlideShowPicture(false);
  picture.SetFileName("haupt.jpg");
  TPrintWizardPictureEffectList& effects = picture.PictureProperties().Effects();
  AddEffect<TPrintWizardPictureEffectShadow>(effects);
  auto& four = AddEffect<TPrintWizardPictureEffectUserCollage4Pic>(effects);
  TCollagePicsList& pictures = four.CollageProperties().Pictures();
  pictures.Items(0).SetFileNames("a.jpg\r\n\r\nb.jpg");
  pictures.Items(1).SetFileNames("Stern");
  pictures.Items(1).SetFromResource(true);
  pictures.Items(3).SetFileNames("a.jpg");

  EXPECT_EQ(four.GetStoredFileNames(), (std::vector<std::string>{"a.jpg", "b.jpg", "Stern", "a.jpg"}));
  EXPECT_EQ(four.GetStoredFileName(), "a.jpg");
  EXPECT_EQ(four.FileCount(), 4);
  EXPECT_EQ(picture.GetStoredFileNames(),
            (std::vector<std::string>{"haupt.jpg", "a.jpg", "b.jpg", "Stern", "a.jpg"}));
  EXPECT_EQ(picture.GetFileNames().size(), 5u);
  EXPECT_EQ(effects.FileCount(), 0);
  EXPECT_EQ(effects.GetStoredFileName(), "");

  // Renaming reaches the element's own file and every collage picture not taken from resources.
  picture.ReplaceFileName("a.jpg", "c.jpg");
  picture.ReplaceFileName("Stern", "Mond");
  picture.ReplaceFileName("haupt.jpg", "neu.jpg");
  EXPECT_EQ(picture.GetStoredFileNames(),
            (std::vector<std::string>{"neu.jpg", "c.jpg", "b.jpg", "Stern", "c.jpg"}));
}

TEST_F(PictureEffectsTest, EffectsAreHandedThePictureOfTheirStageOnly) {
  TPrintWizardPictureEffectList list;
  FillList(list);
  TBitmap32 bitmap(2, 2);
  list.ApplyEffects(bitmap, {0, 0, 2, 2}, 96, nullptr, 1, 1, kEffectStageBeforeGeometry, true);
  for (int32_t i = 0; i < list.Count(); ++i) {
    const TPrintWizardPictureEffect& effect = *list.Effects(i);
    EXPECT_EQ(effect.Preview(), effect.Stage() == kEffectStageBeforeGeometry) << effect.ClassName();
  }
}

}  // namespace
}  // namespace nimbra
