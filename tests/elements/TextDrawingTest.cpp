// Drawing the text elements: the page number's positions, the font's colour and size, and a text
// drawn once however the engine passes over it. (Where aligned texts put their ink is shown
// through nimbra-kit render.)
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "DrawingTestSupport.h"
#include "elements/PageNumberTextPosition.h"
#include "elements/PrintPageElementPageNumberText.h"
#include "elements/PrintPageElementUserText.h"
#include "templates/PageTemplate.h"

namespace nimbra {
namespace {

using test::ChangedArea;
using test::RenderLikeTheEngine;
using test::Uniform;

constexpr TColor32 kPage = kColor32White;
// The element's box on the 400 × 300 page: (40, 30)–(360, 270).
constexpr TDoubleRect kBox{0.1, 0.1, 0.9, 0.9};

class TextDrawingTest : public test::TElementsTest {};

template <typename Element>
Element& AddText(TPrintWizardPageTemplate& page, const std::string& text) {
  // The engine gives the page its own resolution; 20 points are 27 pixels at 96.
  page.WizardProperties().SetResolution(96);
  page.Elements().Add(std::make_unique<Element>());
  auto& element = dynamic_cast<Element&>(*page.Elements().Items(page.Elements().Count() - 1));
  element.SetBounds(kBox);
  element.TextProperties().SetText(text);
  element.TextProperties().SetFont(TFontRecord{0, test::TestFontFace(), 20, 0});
  return element;
}

TRect Rendered(TPageElement& element, TBitmap32 page = Uniform(400, 300, kPage)) {
  RenderLikeTheEngine(element, page);
  return ChangedArea(page, kPage);
}

TEST_F(TextDrawingTest, PageNumbersGoWhereTheirPositionSaysForThatPageOnly) {
  struct Case {
    std::string name;
    std::function<std::unique_ptr<TPrintPageElementPageNumberTextPosition>()> position;
    int32_t pageNumber;
    TRenderMode mode;
    std::function<void(const TRect& ink)> check;
  };
  const auto jumping = [] {
    return std::make_unique<TPrintPageElementPageNumberTextPositionJumping>();
  };
  const auto centred = [] {
    return std::make_unique<TPrintPageElementPageNumberTextPositionCentered>();
  };
  // Designed at 0.1–0.45 (40–180): odd pages there, left-aligned; even ones mirrored to
  // 0.55–0.9 (220–360) and right-aligned.
  const std::vector<Case> cases = {
      {"alternating, page 3", jumping, 3, TRenderMode::FinalRendering,
       [](const TRect& ink) {
         EXPECT_NEAR(ink.Left, 40, 3);
         EXPECT_LT(ink.Right, 60);
       }},
      {"alternating, page 2", jumping, 2, TRenderMode::FinalRendering,
       [](const TRect& ink) {
         EXPECT_NEAR(ink.Right, 360, 3);
         EXPECT_GT(ink.Left, 340);
       }},
      {"centred", centred, 2, TRenderMode::FinalRendering,
       [](const TRect& ink) {
         EXPECT_NEAR((ink.Left + ink.Right) / 2.0, 200, 3);
         EXPECT_LT(ink.Width(), 16);
       }},
      // The design view shows "<Seitennummer>" centred in the designed box, unclipped.
      {"design view", jumping, 2, TRenderMode::DesignView,
       [](const TRect& ink) {
         EXPECT_NEAR((ink.Left + ink.Right) / 2.0, 110, 3);
         EXPECT_GT(ink.Width(), 100);
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TPrintWizardPageTemplate page;
    page.SetPageNumber(c.pageNumber);
    auto& number = AddText<TPrintPageElementPageNumberText>(page, "");
    // 12 points: "<Seitennummer>" fits on the page, unclipped.
    number.TextProperties().SetFont(TFontRecord{0, test::TestFontFace(), 12, 0});
    const TDoubleRect designed{0.1, 0.8, 0.45, 0.9};
    number.SetBounds(designed);
    number.PageNumberProperties().SetPosition(c.position());
    TBitmap32 bitmap = Uniform(400, 300, kPage);
    TRenderContext context;
    context.Mode = c.mode;
    context.Canvas = &bitmap;
    context.TargetBitmap = &bitmap;
    context.PageRect = {0, 0, 400, 300};
    number.PrintWith(context);
    const TRect ink = ChangedArea(bitmap, kPage);
    ASSERT_FALSE(ink.IsEmpty());
    c.check(ink);
    // Vertically centred on the box's middle row, 255.
    EXPECT_NEAR((ink.Top + ink.Bottom) / 2.0, 255, 4);
    // The move lasted for this drawing only.
    EXPECT_EQ(number.GetBounds(), designed);
  }
}

TEST_F(TextDrawingTest, TheFontGivesColourAndSizeAndTheTextIsDrawnOnce) {
  TPrintWizardPageTemplate page;
  auto& text = AddText<TPrintPageElementUserText>(page, "Hallo");
  // Stored as 0x00BBGGRR: pure red.
  text.TextProperties().SetFont(TFontRecord{0x000000FF, test::TestFontFace(), 20, 0});
  TBitmap32 drawnByEngine = Uniform(400, 300, kPage);
  RenderLikeTheEngine(text, drawnByEngine);
  int red = 0;
  for (int y = 0; y < 300; ++y) {
    for (int x = 0; x < 400; ++x) red += drawnByEngine.Pixel(x, y) == Color32(255, 0, 0);
  }
  EXPECT_GT(red, 20);
  // The engine's pass onto the page bitmap, which is the canvas here, adds nothing: the edges
  // are those of one drawing.
  TBitmap32 printedOnce = Uniform(400, 300, kPage);
  text.Print(&printedOnce, {0, 0, 400, 300});
  EXPECT_TRUE(drawnByEngine == printedOnce);
  // 20 points on a page of 96 dots per inch are 27 pixels; at 192 the text is twice as tall.
  const int height96 = ChangedArea(printedOnce, kPage).Height();
  page.WizardProperties().SetResolution(192);
  const int height192 = Rendered(text).Height();
  EXPECT_NEAR(height192, 2 * height96, 3);
}

}  // namespace
}  // namespace nimbra
