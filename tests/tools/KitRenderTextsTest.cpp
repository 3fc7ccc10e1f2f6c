// Texts on rendered pages, through nimbra-kit render: black ink on a white page, inside each text
// element's box only, against the side its alignment names; the alternating page number on the
// outer side of each page; a caption of the photo's file name.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

#include "KitRenderTestShow.h"
#include "KitRunner.h"
#include "TempFolder.h"
#include "TextTestSupport.h"
#include "elements/PageNumberTextPosition.h"
#include "elements/PrintPageElementPageNumberText.h"
#include "elements/PrintPageElementPicture.h"
#include "elements/PrintPageElementPictureText.h"
#include "elements/PrintPageElementUserText.h"
#include "nimbra-kit/KitStartup.h"
#include "raster/Bitmap32Graphic.h"
#include "raster/PictureFormatRegistration.h"
#include "storage/FileAccess.h"
#include "templates/PageTemplateProject.h"

namespace nimbra {
namespace {

using test::ChangedArea;
using test::TempFolder;

constexpr TColor32 kWhite = kColor32White;

// One text element: its box on the 400 × 300 page (in pixels; fractions of the page in the
// template) and what its ink must show there.
struct TextBox {
  std::function<std::unique_ptr<TPrintPageElementAlignedText>()> make;
  std::string text;
  uint8_t horz;
  uint8_t vert;
  TRect box;
  std::function<void(const TRect& ink)> check;
};

std::unique_ptr<TPrintPageElementAlignedText> UserText() {
  return std::make_unique<TPrintPageElementUserText>();
}

const std::vector<TextBox>& Boxes() {
  static const std::vector<TextBox> boxes = {
      {UserText, "Links oben", kAlignLeft, kAlignTop, {20, 15, 180, 90},
       [](const TRect& ink) {
         EXPECT_LE(ink.Left, 23);
         EXPECT_LE(ink.Top, 25);
       }},
      // The last of two lines sits on the box's bottom edge.
      {UserText, "Rechts\nunten", kAlignRight, kAlignBottom, {220, 15, 380, 90},
       [](const TRect& ink) {
         EXPECT_GE(ink.Right, 377);
         EXPECT_GE(ink.Bottom, 82);
         EXPECT_GT(ink.Height(), 30);
       }},
      {UserText, "Mitte", kAlignCenter, kAlignMiddle, {120, 105, 280, 180},
       [](const TRect& ink) {
         EXPECT_NEAR((ink.Left + ink.Right) / 2.0, 200, 3);
         EXPECT_NEAR((ink.Top + ink.Bottom) / 2.0, 142, 5);
       }},
      {[] {
         auto caption = std::make_unique<TPrintPageElementPictureText>();
         caption->PictureTextProperties().SetPictureNumber(1);
         return caption;
       },
       "%filename%", kAlignLeft, kAlignTop, {20, 195, 180, 240},
       // "weiss2.png" is wider than it is tall.
       [](const TRect& ink) { EXPECT_GT(ink.Width(), 2 * ink.Height()); }},
  };
  return boxes;
}

// The page number's box as designed (odd pages) and mirrored (even pages).
constexpr TRect kNumberLeft{20, 255, 60, 285};
constexpr TRect kNumberRight{340, 255, 380, 285};

TDoubleRect Fractions(const TRect& r) {
  return {r.Left / 400.0, r.Top / 300.0, r.Right / 400.0, r.Bottom / 300.0};
}

template <typename Element>
Element& Styled(Element& element, const TRect& box) {
  element.SetBounds(Fractions(box));
  element.TextProperties().SetFont(TFontRecord{0, test::TestFontFace(), 16, 0});
  return element;
}

// White photos in a white picture box in the corner: only the texts leave ink.
std::string WriteTextProject(const TempFolder& folder) {
  const kit::TKitSession session;
  TPrintWizardPageTemplateProject project;
  auto& page = dynamic_cast<TPrintWizardPageTemplate&>(*project.FirstTemplate());
  page.WizardProperties().SetBackColor(kWhite);
  auto picture = std::make_unique<TPrintPageElementPicture>();
  picture->SetBounds(Fractions({380, 0, 400, 15}));
  page.Elements().Add(std::move(picture));
  for (const TextBox& box : Boxes()) {
    std::unique_ptr<TPrintPageElementAlignedText> text = box.make();
    Styled(*text, box.box);
    text->TextProperties().SetText(box.text);
    text->AlignedProperties().SetHorzAlignment(box.horz);
    text->AlignedProperties().SetVertAlignment(box.vert);
    page.Elements().Add(std::move(text));
  }
  auto number = std::make_unique<TPrintPageElementPageNumberText>();
  Styled(*number, kNumberLeft);
  number->PageNumberProperties().SetPosition(
      std::make_unique<TPrintPageElementPageNumberTextPositionJumping>());
  page.Elements().Add(std::move(number));
  test::RepeatUntilTheShowEnds(project, page);
  const std::string path = folder.File("texte.pwt");
  EXPECT_TRUE(project.SaveToFile(path));
  return path;
}

TBitmap32 ReadBack(const std::string& name) {
  RegisterPictureFormats();
  TFileAccess access;
  std::unique_ptr<TGraphic> graphic = LoadGraphic(access, name, TDecodeHint{});
  auto* pixels = dynamic_cast<TBitmap32Graphic*>(graphic.get());
  return pixels != nullptr ? std::move(pixels->Bitmap()) : TBitmap32();
}

// The part of the page inside the box, as a bitmap of its own.
TBitmap32 Cut(const TBitmap32& page, const TRect& box) {
  TBitmap32 part(box.Width(), box.Height());
  for (int y = 0; y < box.Height(); ++y) {
    for (int x = 0; x < box.Width(); ++x) {
      part.SetPixel(x, y, page.Pixel(box.Left + x, box.Top + y));
    }
  }
  return part;
}

TRect InkIn(const TBitmap32& page, const TRect& box) {
  const TRect ink = ChangedArea(Cut(page, box), kWhite);
  if (ink.IsEmpty()) return ink;
  return {ink.Left + box.Left, ink.Top + box.Top, ink.Right + box.Left, ink.Bottom + box.Top};
}

TEST(KitRenderTextsTest, TextsAreInkedInsideTheirBoxesAsAlignedAndTheNumberAlternates) {
  TempFolder folder;
  std::vector<std::string> photos;
  for (int i = 1; i <= 3; ++i) {
    photos.push_back(folder.File("weiss" + std::to_string(i) + ".png"));
    test::WriteColourPicture(photos.back(), 20, 15, kWhite);
  }
  test::WriteNamedPictureShow(folder.File("show.kvt"), photos);
  const std::string output = folder.File("Seiten");
  const test::KitResult result =
      test::RunKitCommand({"render", "-p", folder.File("show.kvt"), "-t",
                           WriteTextProject(folder), "-o", output, "--size", "400x300"});
  ASSERT_EQ(result.exitCode, 0) << result.err;

  for (int number : {2, 3}) {
    SCOPED_TRACE(number);
    const TBitmap32 page = ReadBack(output + "/Bild0000" + std::to_string(number) + ".png");
    ASSERT_EQ(page.Width(), 400);
    // Every inked pixel lies in a box, and it is black or grey.
    std::vector<TRect> boxes = {kNumberLeft, kNumberRight};
    for (const TextBox& box : Boxes()) boxes.push_back(box.box);
    for (int y = 0; y < page.Height(); ++y) {
      for (int x = 0; x < page.Width(); ++x) {
        const TColor32 pixel = page.Pixel(x, y);
        if (pixel == kWhite) continue;
        ASSERT_TRUE(std::any_of(boxes.begin(), boxes.end(),
                                [&](const TRect& box) { return box.Contains(x, y); }))
            << x << "," << y;
        ASSERT_TRUE(RedComponent(pixel) == GreenComponent(pixel) &&
                    GreenComponent(pixel) == BlueComponent(pixel));
      }
    }
    for (const TextBox& box : Boxes()) {
      SCOPED_TRACE(box.text);
      const TRect ink = InkIn(page, box.box);
      ASSERT_FALSE(ink.IsEmpty());
      box.check(ink);
    }
    // Page 2 carries its number on the right, page 3 on the left, and only there.
    const TRect outer = number == 2 ? kNumberRight : kNumberLeft;
    const TRect inner = number == 2 ? kNumberLeft : kNumberRight;
    EXPECT_FALSE(InkIn(page, outer).IsEmpty());
    EXPECT_TRUE(InkIn(page, inner).IsEmpty());
  }
}

}  // namespace
}  // namespace nimbra
