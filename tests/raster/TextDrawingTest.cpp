#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TextTestSupport.h"
#include "raster/TextDrawing.h"
#include "raster/WindowsColor.h"

namespace nimbra {
namespace {

using test::ChangedArea;

constexpr TColor32 kWhite = kColor32White;

TTextFont TestFont(int32_t height = -20) {
  TTextFont font;
  font.Face = test::TestFontFace();
  font.Height = height;
  return font;
}

// The text drawn into rect on a white 300 × 200 bitmap.
TBitmap32 Drawn(const std::string& text, const TRect& rect, uint32_t format,
                const TTextFont& font = TestFont()) {
  TBitmap32 bitmap(300, 200);
  bitmap.Clear(kWhite);
  TTextBlock(text, font, rect.Width(), format).Draw(bitmap, rect);
  return bitmap;
}

TEST(TextDrawingTest, AlignmentPutsTheInkAgainstItsEdgeOfTheRectangle) {
  const TRect box{50, 40, 250, 160};
  struct Case {
    uint32_t format;
    // Where the ink must lie: its left and right edge within these columns, its top and bottom
    // within these rows.
    int minLeft, maxLeft, minRight, maxRight, minTop, maxTop, minBottom, maxBottom;
  };
  const std::vector<Case> cases = {
      {0, 50, 53, 70, 120, 40, 48, 50, 64},
      {kDrawTextRight, 180, 230, 246, 250, 40, 48, 50, 64},
      {kDrawTextCenter, 100, 140, 160, 200, 40, 48, 50, 64},
      // A single line centred vertically: its ink around the middle row 100.
      {kDrawTextSingleLine | kDrawTextVCenter, 50, 53, 70, 120, 88, 96, 100, 112},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.format);
    const TRect ink = ChangedArea(Drawn("Hallo", box, c.format), kWhite);
    EXPECT_GE(ink.Left, c.minLeft);
    EXPECT_LE(ink.Left, c.maxLeft);
    EXPECT_GE(ink.Right, c.minRight);
    EXPECT_LE(ink.Right, c.maxRight);
    EXPECT_GE(ink.Top, c.minTop);
    EXPECT_LE(ink.Top, c.maxTop);
    EXPECT_GE(ink.Bottom, c.minBottom);
    EXPECT_LE(ink.Bottom, c.maxBottom);
  }
  // Centred, the ink's middle is the box's middle.
  const TRect centred = ChangedArea(Drawn("Hallo", box, kDrawTextCenter), kWhite);
  EXPECT_NEAR((centred.Left + centred.Right) / 2.0, 150, 3);
}

TEST(TextDrawingTest, LinesBreakAtLineBreaksAndWithWordBreakAtTheWidth) {
  const TTextFont font = TestFont();
  const int lineHeight = TTextBlock("x", font, 100, 0).Height();
  ASSERT_GT(lineHeight, 20);
  struct Case {
    std::string text;
    int32_t width;
    uint32_t format;
    int32_t lines;
  };
  const std::vector<Case> cases = {
      {"eins\nzwei\r\ndrei\rvier", 300, 0, 4},
      {"eins\nzwei", 300, kDrawTextSingleLine, 1},
      {"eins zwei drei vier fünf sechs", 80, 0, 1},
      {"eins zwei drei vier fünf sechs", 30, kDrawTextWordBreak, 6},
      // A word wider than the rectangle stays whole.
      {"Donaudampfschifffahrt", 40, kDrawTextWordBreak, 1},
      {"", 100, kDrawTextWordBreak, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const TTextBlock block(c.text, font, c.width, c.format);
    EXPECT_EQ(block.LineCount(), c.lines);
    EXPECT_EQ(block.Height(), c.lines * lineHeight);
  }
  // Wrapped lines never reach past the rectangle; unclipped, a long word does.
  const TRect narrow{20, 10, 120, 190};
  const TRect wrapped =
      ChangedArea(Drawn("eins zwei drei vier fünf sechs", narrow, kDrawTextWordBreak), kWhite);
  EXPECT_LE(wrapped.Right, narrow.Right);
  EXPECT_GT(wrapped.Bottom, narrow.Top + 2 * lineHeight);
  EXPECT_LE(ChangedArea(Drawn("Donaudampfschifffahrt", narrow, 0), kWhite).Right, narrow.Right);
  EXPECT_GT(ChangedArea(Drawn("Donaudampfschifffahrt", narrow, kDrawTextNoClip), kWhite).Right,
            narrow.Right + 20);
  // Measuring draws nothing.
  EXPECT_TRUE(ChangedArea(Drawn("Hallo", narrow, kDrawTextCalcRect), kWhite).IsEmpty());
}

TEST(TextDrawingTest, TextIsTransparentOverThePageInItsColourAndStyle) {
  TBitmap32 bitmap(120, 40);
  for (int y = 0; y < 40; ++y) {
    for (int x = 0; x < 120; ++x) bitmap.SetPixel(x, y, Color32(uint8_t(x * 2), 90, uint8_t(y)));
  }
  const TBitmap32 before = bitmap;
  TTextFont font = TestFont(-30);
  font.Colour = Color32(255, 255, 0);
  TTextBlock("IIII", font, 120, 0).Draw(bitmap, {0, 0, 120, 40});
  int yellow = 0;
  int changed = 0;
  for (int y = 0; y < 40; ++y) {
    for (int x = 0; x < 120; ++x) {
      yellow += bitmap.Pixel(x, y) == font.Colour;
      changed += bitmap.Pixel(x, y) != before.Pixel(x, y);
    }
  }
  EXPECT_GT(yellow, 40);             // the stems are solid yellow
  EXPECT_LT(changed, 120 * 40 / 2);  // the rest of the page shows through
  // Bold ink is wider than regular; underlining adds ink below the baseline.
  TTextFont bold = TestFont(-30);
  bold.Bold = true;
  TTextFont underlined = TestFont(-30);
  underlined.Underline = true;
  const TRect box{10, 10, 290, 190};
  EXPECT_GT(ChangedArea(Drawn("mmmm", box, 0, bold), kWhite).Width(),
            ChangedArea(Drawn("mmmm", box, 0, TestFont(-30)), kWhite).Width());
  EXPECT_GT(ChangedArea(Drawn("mmmm", box, 0, underlined), kWhite).Bottom,
            ChangedArea(Drawn("mmmm", box, 0, TestFont(-30)), kWhite).Bottom);
}

TEST(TextDrawingTest, BadInputDrawsWhatFitsAndNeverFails) {
  struct Case {
    std::string name;
    std::string text;
    TTextFont font;
    TRect rect;
    uint32_t format;
  };
  TTextFont missing = TestFont();
  missing.Face = "Keine Schrift dieses Namens";
  const std::string longText = std::string(100000, 'W');
  std::string longWords;
  for (int i = 0; i < 20000; ++i) longWords += "Wort ";
  const std::vector<Case> cases = {
      {"100,000 characters on one line", longText, TestFont(), {0, 0, 300, 200}, 0},
      {"unclipped", longText, TestFont(), {0, 0, 300, 200}, kDrawTextNoClip | kDrawTextSingleLine},
      {"100,000 characters broken into words", longWords, TestFont(), {0, 0, 300, 200},
       kDrawTextWordBreak},
      {"a face nobody has", "Hallo", missing, {0, 0, 300, 200}, 0},
      {"height 0", "Hallo", TestFont(0), {0, 0, 300, 200}, 0},
      {"5000 points at 300 dpi", "Hallo", TestFont(-20833), {0, 0, 300, 200}, kDrawTextWordBreak},
      {"a cell height", "Hallo", TestFont(40), {0, 0, 300, 200}, 0},
      {"no width", "Hallo Welt", TestFont(), {100, 0, 100, 200}, kDrawTextWordBreak},
      {"upside down", "Hallo", TestFont(), {200, 150, 100, 50}, 0},
      {"outside the bitmap", "Hallo", TestFont(), {-5000, -5000, -4000, -4900}, kDrawTextNoClip},
      {"broken UTF-8", "Hal\xff\xfelo\xc3", TestFont(), {0, 0, 300, 200}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TBitmap32 bitmap(300, 200);
    bitmap.Clear(kWhite);
    const TTextBlock block(c.text, c.font, c.rect.Width(), c.format);
    block.Draw(bitmap, c.rect);
    EXPECT_GE(block.Height(), 0);
    const TRect ink = ChangedArea(bitmap, kWhite);
    if (!(c.format & kDrawTextNoClip)) {
      EXPECT_TRUE(ink.IsEmpty() || (ink.Left >= c.rect.Left && ink.Right <= c.rect.Right));
    }
  }
  // The default height and a cell height still draw.
  EXPECT_FALSE(ChangedArea(Drawn("Hallo", {0, 0, 300, 200}, 0, TestFont(0)), kWhite).IsEmpty());
  EXPECT_FALSE(ChangedArea(Drawn("Hallo", {0, 0, 300, 200}, 0, missing), kWhite).IsEmpty());
}

TEST(TextDrawingTest, StoredColoursAreBlueGreenRedAndSystemColoursTheSchemesValues) {
  const std::vector<std::pair<uint32_t, TColor32>> cases = {
      {0x000000FF, Color32(255, 0, 0)},    {0x00FF8000, Color32(0, 128, 255)},
      {0x80000008, kColor32Black},         // window text
      {0x80000005, kColor32White},         // window
      {0x8000000D, Color32(51, 153, 255)},  // highlight
      {0x800000FF, kColor32Black},         // no such system colour
  };
  for (const auto& [stored, colour] : cases) {
    EXPECT_EQ(WindowsColorToColor32(static_cast<int32_t>(stored)), colour) << std::hex << stored;
  }
}

}  // namespace
}  // namespace nimbra
