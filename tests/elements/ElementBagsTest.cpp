// Every element kind: its bag's defaults, its stored layout, and copies that keep every field.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <string_view>

#include "ElementTestSupport.h"
#include "elements/PrintPageElementGeometric.h"
#include "elements/PrintPageElementPageNumberText.h"
#include "elements/PrintPageElementPicture.h"
#include "elements/PrintPageElementPictureText.h"
#include "elements/PrintPageElementUserText.h"
#include "elements/PrintWizardPictureEffectShadow.h"
#include "framework/FieldWriter.h"
#include "storage/CSFStreamWinTypes.h"
#include "storage/MemoryStream.h"

namespace nimbra {
namespace {

using test::ReadBag;
using test::ReadElement;
using test::WriteBag;
using test::WriteElement;

class ElementBagsTest : public test::TElementsTest {};

const TDoubleRect kBounds{0.125, 0.25, 0.625, 0.875};
const TFontRecord kFont{0x00336699, "Liberation Serif", 17, kFontStyleBold | kFontStyleItalic};

// The bytes a sequence of writes produces, for layouts spelled out field by field.
template <typename Write>
std::string Bytes(Write write) {
  TMemoryStream bytes;
  TCSFStreamWinTypes csf(bytes, CSFMode::Headerless);
  write(csf);
  csf.Release();
  return bytes.ToString();
}

void WriteRectChunk(TCSFStreamWinTypes& csf, const TDoubleRect& bounds) {
  csf.BeginSubChunk();
  csf.WriteDoubleRect(bounds);
  csf.EndSubChunk();
}

void WriteTextChunks(TCSFStreamWinTypes& csf, const TFontRecord& font, const std::string& text,
                     uint8_t horz, uint8_t vert) {
  csf.BeginSubChunk();
  csf.WriteFont(font);
  csf.WriteString(text);
  csf.EndSubChunk();
  csf.BeginSubChunk();
  csf.WriteByte(horz);
  csf.WriteByte(vert);
  csf.EndSubChunk();
}

template <typename T>
std::unique_ptr<T> CloneAs(const T& element) {
  std::unique_ptr<TPageElement> clone = element.Clone();
  EXPECT_NE(clone, nullptr);
  auto* typed = dynamic_cast<T*>(clone.get());
  EXPECT_NE(typed, nullptr);
  clone.release();
  return std::unique_ptr<T>(typed);
}

// ---- text elements ----

TEST_F(ElementBagsTest, NewTextElementsHaveTheirDefaults) {
  TPrintPageElementUserText user;
  EXPECT_EQ(user.TextProperties().Text(), "Ihr Text");
  EXPECT_EQ(user.TextProperties().Font(), (TFontRecord{0, "Arial", 10, 0}));
  EXPECT_EQ(user.AlignedProperties().HorzAlignment(), kAlignLeft);
  EXPECT_EQ(user.AlignedProperties().VertAlignment(), kAlignTop);
  EXPECT_EQ(user.GetBounds(), (TDoubleRect{0, 0, 0.1, 0.1}));
  EXPECT_EQ(user.DrawFormat(), 0u);
  EXPECT_EQ(user.Category(), "Allgemein");
  EXPECT_EQ(user.Caption(), "Text");

  TPrintPageElementPictureText pictureText;
  EXPECT_EQ(pictureText.TextProperties().Text(), "");
  EXPECT_EQ(pictureText.PictureTextProperties().PictureNumber(), 0);
  EXPECT_EQ(pictureText.Caption(), "Bildbeschreibung");

  TPrintPageElementPageNumberText pageNumber;
  EXPECT_EQ(pageNumber.TextProperties().Text(), "");
  EXPECT_EQ(pageNumber.GetBounds(), (TDoubleRect{0, 0, 0.09523809523809523, 0.02586206896551724}));
  ASSERT_NE(pageNumber.PageNumberProperties().Position(), nullptr);
  EXPECT_EQ(pageNumber.PageNumberProperties().Position()->ClassName(),
            "TPrintPageElementPageNumberTextPositionAsDesigned");
  EXPECT_EQ(pageNumber.Caption(), "Seitennummer");
}

TEST_F(ElementBagsTest, UserTextBagIsRectangleThenFontAndTextThenAlignments) {
  TPrintPageElementUserText element;
  element.SetBounds(kBounds);
  element.TextProperties().SetFont(kFont);
  element.TextProperties().SetText("Grüße %seitennr%");
  element.AlignedProperties().SetHorzAlignment(kAlignRight);
  element.AlignedProperties().SetVertAlignment(kAlignBottom);

  // The free text adds no sub-chunk of its own.
  EXPECT_EQ(WriteBag(element.Properties()), Bytes([](TCSFStreamWinTypes& csf) {
              WriteRectChunk(csf, kBounds);
              WriteTextChunks(csf, kFont, "Grüße %seitennr%", kAlignRight, kAlignBottom);
            }));

  const std::unique_ptr<TPrintPageElementUserText> clone = CloneAs(element);
  EXPECT_EQ(clone->GetBounds(), kBounds);
  EXPECT_EQ(clone->TextProperties().Font(), kFont);
  EXPECT_EQ(clone->TextProperties().Text(), "Grüße %seitennr%");
  EXPECT_EQ(clone->AlignedProperties().HorzAlignment(), kAlignRight);
  EXPECT_EQ(clone->AlignedProperties().VertAlignment(), kAlignBottom);
}

TEST_F(ElementBagsTest, StoredNoFontKeepsTheBagsFont) {
  const std::string bytes = Bytes([](TCSFStreamWinTypes& csf) {
    WriteRectChunk(csf, kBounds);
    csf.BeginSubChunk();
    csf.WriteFont(std::nullopt);
    csf.WriteString("ohne Schrift");
    csf.EndSubChunk();
    csf.BeginSubChunk();
    csf.WriteByte(1);
    csf.WriteByte(2);
    csf.EndSubChunk();
  });
  TPrintPageElementUserTextProperties bag;
  ASSERT_TRUE(ReadBag(bag, bytes));
  EXPECT_EQ(bag.Font(), (TFontRecord{0, "Arial", 10, 0}));
  EXPECT_EQ(bag.Text(), "ohne Schrift");
  EXPECT_EQ(bag.VertAlignment(), 2);
}

TEST_F(ElementBagsTest, PictureTextKeepsItsPictureNumber) {
  TPrintPageElementPictureText element;
  element.SetBounds(kBounds);
  element.TextProperties().SetText("%text%");
  element.PictureTextProperties().SetPictureNumber(-3);
  element.AlignedProperties().SetHorzAlignment(kAlignCenter);

  EXPECT_EQ(WriteBag(element.Properties()), Bytes([](TCSFStreamWinTypes& csf) {
              WriteRectChunk(csf, kBounds);
              WriteTextChunks(csf, TFontRecord{0, "Arial", 10, 0}, "%text%", 1, 0);
              csf.BeginSubChunk();
              csf.WriteInteger(-3);
              csf.EndSubChunk();
            }));
  const std::unique_ptr<TPrintPageElementPictureText> clone = CloneAs(element);
  EXPECT_EQ(clone->PictureTextProperties().PictureNumber(), -3);
  EXPECT_EQ(clone->TextProperties().Text(), "%text%");
  EXPECT_EQ(clone->DisplayName(), "Bildbeschreibung: %text% (-3)");
}

TEST_F(ElementBagsTest, PageNumberStoresItsPositionByClassName) {
  TPrintPageElementPageNumberText element;
  element.SetBounds(kBounds);
  element.PageNumberProperties().SetPosition(
      std::make_unique<TPrintPageElementPageNumberTextPositionJumping>());

  EXPECT_EQ(WriteBag(element.Properties()), Bytes([](TCSFStreamWinTypes& csf) {
              WriteRectChunk(csf, kBounds);
              WriteTextChunks(csf, TFontRecord{0, "Arial", 10, 0}, "", 0, 0);
              csf.BeginSubChunk();
              csf.WriteString("TPrintPageElementPageNumberTextPositionJumping");
              csf.EndSubChunk();
            }));

  // The copy gets a position of its own, moving the copy.
  const std::unique_ptr<TPrintPageElementPageNumberText> clone = CloneAs(element);
  TPrintPageElementPageNumberTextPosition* position = clone->PageNumberProperties().Position();
  ASSERT_NE(position, nullptr);
  EXPECT_NE(position, element.PageNumberProperties().Position());
  EXPECT_EQ(position->ClassName(), "TPrintPageElementPageNumberTextPositionJumping");
  EXPECT_EQ(position->Owner(), clone.get());
}

TEST_F(ElementBagsTest, PageNumberKeepsItsPositionForAnEmptyOrUnknownName) {
  for (const std::string name : {"", "TPrintPageElementPicture", "TUnbekanntePosition"}) {
    const std::string bytes = Bytes([&](TCSFStreamWinTypes& csf) {
      WriteRectChunk(csf, kBounds);
      WriteTextChunks(csf, kFont, "Seite", 0, 0);
      csf.BeginSubChunk();
      csf.WriteString(name);
      csf.EndSubChunk();
    });
    TPrintPageElementPageNumberText element;
    element.PageNumberProperties().SetPosition(
        std::make_unique<TPrintPageElementPageNumberTextPositionCentered>());
    ASSERT_TRUE(ReadBag(element.Properties(), bytes)) << name;
    ASSERT_NE(element.PageNumberProperties().Position(), nullptr);
    EXPECT_EQ(element.PageNumberProperties().Position()->ClassName(),
              "TPrintPageElementPageNumberTextPositionCentered")
        << name;
    EXPECT_EQ(element.TextProperties().Text(), "Seite");
  }
}

// ---- picture ----

TEST_F(ElementBagsTest, NewPictureElementHasItsDefaults) {
  TPrintPageElementPicture element;
  const TPrintPageElementPictureProperties& bag = element.PictureProperties();
  EXPECT_EQ(element.GetBounds(), (TDoubleRect{0, 0, 0.2, 0.1}));
  EXPECT_EQ(bag.FileName(), "");
  EXPECT_TRUE(bag.KeepAspectRatio());
  EXPECT_TRUE(bag.SecondFlag());
  EXPECT_TRUE(bag.UseSlideShowPicture());
  EXPECT_TRUE(bag.TakesNextObject());
  EXPECT_EQ(bag.Transparency(), 0);
  EXPECT_EQ(bag.RotationAngle(), 0);
  EXPECT_FALSE(bag.RandomRotation());
  EXPECT_EQ(bag.Effects().Count(), 0);
  EXPECT_FALSE(bag.AutoRotate());
  EXPECT_EQ(bag.FitMode(), kFitRotatedBounds);
  EXPECT_EQ(element.Category(), "Allgemein");
  EXPECT_EQ(element.DisplayName(), "Bild (Bild aus Vistra)");
  EXPECT_EQ(element.BoundObject(), nullptr);
  EXPECT_FALSE(element.GetBoundObject());
}

TEST_F(ElementBagsTest, PictureBagLayoutFollowsItsFieldOrder) {
  TPrintPageElementPicture element;
  element.SetBounds(kBounds);
  TPrintPageElementPictureProperties& bag = element.PictureProperties();
  bag.SetKeepAspectRatio(false);
  bag.SetSecondFlag(false);
  bag.SetUseSlideShowPicture(false);
  bag.SetTakesNextObject(false);
  bag.SetRotationAngle(-12.5);
  bag.SetTransparency(200);
  bag.SetRandomRotation(true);
  bag.SetAutoRotate(true);
  bag.SetFitMode(kFitAsUnrotated);
  bag.SetFileName("Bilder\\Rahmen.png");
  bag.Effects().SetListName("Liste");

  EXPECT_EQ(WriteBag(bag), Bytes([](TCSFStreamWinTypes& csf) {
              WriteRectChunk(csf, kBounds);
              csf.BeginSubChunk();
              for (uint8_t flag : {0, 0, 0, 0}) csf.WriteByte(flag);
              csf.WriteDouble(-12.5);
              csf.WriteByte(200);
              csf.WriteByte(1);
              csf.WriteByte(1);
              csf.WriteByte(kFitAsUnrotated);
              csf.WriteString("Bilder\\Rahmen.png");
              csf.BeginSubChunk();
              csf.WriteString("Liste");
              csf.WriteInteger(0);
              csf.EndSubChunk();
              csf.EndSubChunk();
            }));

  const std::unique_ptr<TPrintPageElementPicture> clone = CloneAs(element);
  const TPrintPageElementPictureProperties& copy = clone->PictureProperties();
  EXPECT_FALSE(copy.KeepAspectRatio());
  EXPECT_FALSE(copy.SecondFlag());
  EXPECT_FALSE(copy.UseSlideShowPicture());
  EXPECT_FALSE(copy.TakesNextObject());
  EXPECT_EQ(copy.RotationAngle(), -12.5);
  EXPECT_EQ(copy.Transparency(), 200);
  EXPECT_TRUE(copy.RandomRotation());
  EXPECT_TRUE(copy.AutoRotate());
  EXPECT_EQ(copy.FitMode(), kFitAsUnrotated);
  EXPECT_EQ(copy.FileName(), "Bilder\\Rahmen.png");
  EXPECT_EQ(copy.Effects().ListName(), "Liste");
  EXPECT_EQ(clone->DisplayName(), "Bild (Bilder\\Rahmen.png)");
}

TEST_F(ElementBagsTest, PictureBagStoresCoverAndBackdropAfterTheEffectsOnlyWhenSet) {
  TPrintPageElementPictureProperties bag;
  const std::string plain = WriteBag(bag);
  bag.SetBoxFill(kPictureCoversBox);
  bag.SetBlurredBackground(true);
  const std::string extended = WriteBag(bag);
  // The same bytes and two more at the end of the bag's sub-chunk, whose length grows by two.
  ASSERT_EQ(extended.size(), plain.size() + 2);
  EXPECT_EQ(extended.substr(extended.size() - 2), std::string("\x01\x01", 2));
  EXPECT_EQ(extended.substr(40, plain.size() - 40), plain.substr(40));

  TPrintPageElementPictureProperties copy;
  ASSERT_TRUE(ReadBag(copy, extended));
  EXPECT_TRUE(copy.CoversBox());
  EXPECT_TRUE(copy.BlurredBackground());
  // A bag stored without them reads as fitting without a backdrop, whatever was there before.
  ASSERT_TRUE(ReadBag(copy, plain));
  EXPECT_EQ(copy.BoxFill(), kPictureFitsBox);
  EXPECT_FALSE(copy.BlurredBackground());
}

// The texts a bag describes, by name.
class TTextFields : public TFieldWriter {
 public:
  std::map<std::string, std::string, std::less<>> texts;
  void Integer(std::string_view, int64_t) override {}
  void Number(std::string_view, double) override {}
  void Boolean(std::string_view, bool) override {}
  void Text(std::string_view name, std::string_view value) override {
    texts[std::string(name)] = value;
  }
  void Bytes(std::string_view, std::string_view) override {}
  void Color(std::string_view, uint32_t) override {}
};

TEST_F(ElementBagsTest, PictureOfTheSlideShowForgetsItsFileNameOnlyWhenWritten) {
  TPrintPageElementPictureProperties bag;
  ASSERT_TRUE(bag.UseSlideShowPicture());
  bag.SetFileName("C:\\Fotos\\gebunden.jpg");
  TTextFields described;
  bag.DescribeFields(described);
  EXPECT_EQ(described.texts["fileName"], "C:\\Fotos\\gebunden.jpg");
  EXPECT_EQ(bag.FileName(), "C:\\Fotos\\gebunden.jpg");

  const std::string bytes = WriteBag(bag);
  EXPECT_EQ(bag.FileName(), "");
  TPrintPageElementPictureProperties copy;
  copy.SetFileName("vorher.jpg");
  ASSERT_TRUE(ReadBag(copy, bytes));
  EXPECT_EQ(copy.FileName(), "");
}

TEST_F(ElementBagsTest, PictureBagOfANewerWriterStillReads) {
  TPrintPageElementPicture source;
  source.PictureProperties().SetFitMode(0);
  source.PictureProperties().Effects().Add(std::make_unique<TPrintWizardPictureEffectShadow>());
  std::string bytes = WriteBag(source.Properties());
  // A field appended to the bag's sub-chunk by a later version: four more bytes in it.
  const size_t second = 4 + 32;
  int32_t length = 0;
  std::memcpy(&length, bytes.data() + second, 4);
  bytes.insert(second + static_cast<size_t>(length), "NEU!");
  length += 4;
  std::memcpy(bytes.data() + second, &length, 4);

  TPrintPageElementPictureProperties bag;
  ASSERT_TRUE(ReadBag(bag, bytes));
  EXPECT_EQ(bag.FitMode(), 0);
  EXPECT_EQ(bag.Effects().Count(), 1);
}

TEST_F(ElementBagsTest, PictureBagWithoutEffectListFailsAndKeepsWhatWasRead) {
  const std::string bytes = Bytes([](TCSFStreamWinTypes& csf) {
    WriteRectChunk(csf, kBounds);
    csf.BeginSubChunk();
    for (uint8_t flag : {0, 1, 0, 1}) csf.WriteByte(flag);
    csf.WriteDouble(90);
    csf.WriteByte(5);
    csf.WriteByte(1);
    csf.WriteByte(0);
    csf.WriteByte(2);
    csf.WriteString("alt.jpg");
    csf.EndSubChunk();
  });
  TPrintPageElementPictureProperties bag;
  EXPECT_FALSE(ReadBag(bag, bytes));
  EXPECT_FALSE(bag.KeepAspectRatio());
  EXPECT_FALSE(bag.UseSlideShowPicture());
  EXPECT_EQ(bag.RotationAngle(), 90);
  EXPECT_EQ(bag.FileName(), "alt.jpg");

  // A length that reaches past the data is refused before anything is taken from it.
  TPrintPageElementPicture source;
  source.PictureProperties().SetKeepAspectRatio(false);
  const std::string whole = WriteBag(source.Properties());
  TPrintPageElementPictureProperties cut;
  EXPECT_FALSE(ReadBag(cut, whole.substr(0, whole.size() - 6)));
  EXPECT_TRUE(cut.KeepAspectRatio());
}

// ---- geometric ----

TEST_F(ElementBagsTest, GeometricBagsHaveTheirDefaultsAndLayout) {
  TPrintPageElementRect rect;
  EXPECT_EQ(rect.GetBounds(), (TDoubleRect{0, 0, 0.1, 0.1}));
  EXPECT_EQ(rect.GeometricProperties().BorderColor(), 0xFF000000u);
  EXPECT_EQ(rect.GeometricProperties().FillColor(), 0xFFFFFFFFu);
  EXPECT_EQ(rect.GeometricProperties().BorderWidth(), 1);
  EXPECT_EQ(rect.GeometricProperties().DrawFlags(), kDrawFill | kDrawBorder);
  EXPECT_EQ(rect.Caption(), "Rechteck");
  EXPECT_EQ(rect.Category(), "Allgemein");
  EXPECT_EQ(rect.TargetBitmap(), nullptr);

  TPrintPageElementEllipse ellipse;
  ellipse.SetBounds(kBounds);
  EXPECT_FALSE(ellipse.EllipseProperties().Circle());
  ellipse.EllipseProperties().SetDrawFlags(kDrawBorder);
  ellipse.EllipseProperties().SetBorderColor(0x80112233);
  ellipse.EllipseProperties().SetFillColor(0x01445566);
  ellipse.EllipseProperties().SetBorderWidth(7);
  ellipse.EllipseProperties().SetCircle(true);

  EXPECT_EQ(WriteBag(ellipse.Properties()), Bytes([](TCSFStreamWinTypes& csf) {
              WriteRectChunk(csf, kBounds);
              csf.BeginSubChunk();
              csf.WriteByte(kDrawBorder);
              csf.WriteCardinal(0x80112233);
              csf.WriteCardinal(0x01445566);
              csf.WriteInteger(7);
              csf.EndSubChunk();
              csf.BeginSubChunk();
              csf.WriteByte(1);
              csf.EndSubChunk();
            }));
  const std::unique_ptr<TPrintPageElementEllipse> clone = CloneAs(ellipse);
  EXPECT_EQ(WriteElement(*clone), WriteElement(ellipse));
  EXPECT_TRUE(clone->EllipseProperties().Circle());
  EXPECT_EQ(clone->EllipseProperties().BorderColor(), 0x80112233u);
}

TEST_F(ElementBagsTest, ElementReadFailsOnAForeignStreamAndOnDamagedBytes) {
  TPrintPageElementUserText element;
  const std::string bytes = WriteElement(element);
  TPrintPageElementUserText target;
  EXPECT_TRUE(ReadElement(target, bytes));
  EXPECT_FALSE(ReadElement(target, bytes.substr(0, bytes.size() / 2)));
  // A font needs the stream with the Windows record types.
  TMemoryStream plain;
  TCSFStream csf(plain, CSFMode::Headerless);
  EXPECT_FALSE(element.Properties().WriteToStream(csf));
}

}  // namespace
}  // namespace nimbra
