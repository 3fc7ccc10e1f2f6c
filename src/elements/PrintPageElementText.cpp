#include "elements/PrintPageElementText.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "framework/FieldMap.h"
#include "raster/WindowsColor.h"
#include "storage/Check.h"

namespace nimbra {

NIMBRA_DEFINE_PLUGIN(TPrintPageElementTextProperties, TVisiblePageElementProperties)
NIMBRA_DEFINE_PLUGIN(TPrintPageElementText, TPrintablePageElement)
NIMBRA_DEFINE_PLUGIN(TPrintPageElementAlignedTextProperties, TPrintPageElementTextProperties)
NIMBRA_DEFINE_PLUGIN(TPrintPageElementAlignedText, TPrintPageElementText)

namespace {

// a × b / c rounded to the nearest whole number, halves away from zero, within ±INT32_MAX.
int32_t MulDiv(int32_t a, int32_t b, int32_t c) {
  const int64_t product = static_cast<int64_t>(a) * b;
  // Clamped, so that negating the result never overflows.
  const int64_t quotient = std::min<int64_t>(
      (std::llabs(product) + std::llabs(c) / 2) / std::llabs(c), INT32_MAX);
  return static_cast<int32_t>((product < 0) != (c < 0) ? -quotient : quotient);
}

// The element draws for one mode for as long as the scope lasts, then goes back to its own.
class TRenderModeScope {
 public:
  TRenderModeScope(TPrintWizardElement& element, TRenderMode mode)
      : element_(element), ownMode_(element.RenderMode()) {
    element_.SetRenderMode(mode);
  }
  ~TRenderModeScope() { element_.SetRenderMode(ownMode_); }
  TRenderModeScope(const TRenderModeScope&) = delete;
  TRenderModeScope& operator=(const TRenderModeScope&) = delete;

 private:
  TPrintWizardElement& element_;
  TRenderMode ownMode_;
};

// Whatever moved the element for one drawing, its designed rectangle comes back afterwards.
class TBoundsRestorer {
 public:
  explicit TBoundsRestorer(TVisiblePageElement& element)
      : element_(element), bounds_(element.GetBounds()) {}
  ~TBoundsRestorer() { element_.SetBounds(bounds_); }
  TBoundsRestorer(const TBoundsRestorer&) = delete;
  TBoundsRestorer& operator=(const TBoundsRestorer&) = delete;

 private:
  TVisiblePageElement& element_;
  TDoubleRect bounds_;
};

// The pixel rectangle, its corners kept within ±2^29 so that widths and heights cannot overflow
// for elements stored far outside the page.
constexpr int32_t kFar = 1 << 29;

TRect ToRect(const TPixelRect& r) {
  const auto near = [](int32_t v) { return std::clamp(v, -kFar, kFar); };
  return {near(r.Left), near(r.Top), near(r.Right), near(r.Bottom)};
}

}  // namespace

// ---- TPrintPageElementTextProperties ----

void TPrintPageElementTextProperties::MapFields(TFieldMap& map) {
  TVisiblePageElementProperties::MapFields(map);
  map.SubChunk([&] {
    map.Font("font", font_);
    map.String("text", text_);
  });
}

std::string TPrintPageElementTextProperties::EditorFrameClassNames() const {
  return AppendEditorFrameClassName(TVisiblePageElementProperties::EditorFrameClassNames(),
                                    "TPrintPageElementTextPropertyEditorFrame");
}

// ---- TPrintPageElementText ----

TPrintPageElementText::TPrintPageElementText(const TMetaClass& propertiesClass,
                                             double defaultWidth, double defaultHeight)
    : TPrintablePageElement(propertiesClass, defaultWidth, defaultHeight) {
  NIMBRA_CHECK(PropertiesAs<TPrintPageElementTextProperties>() != nullptr,
               propertiesClass.ClassName() + " is no text element bag");
}

TPrintPageElementTextProperties& TPrintPageElementText::TextProperties() const {
  return static_cast<TPrintPageElementTextProperties&>(Properties());
}

std::string TPrintPageElementText::DisplayName() const {
  const std::string& text = TextProperties().Text();
  return text.empty() ? Caption() : Caption() + ": " + text;
}

void TPrintPageElementText::Print(TBitmap32* canvas, const TPixelRect& pageRect) {
  PrintWith(DocumentedContext(canvas, pageRect));
}

void TPrintPageElementText::PrintWith(const TRenderContext& context) {
  const TRenderModeScope mode(*this, context.Mode);
  const TBoundsRestorer restorer(*this);
  PrepareDrawFormat();
  if (context.Canvas != nullptr) DrawOnto(*context.Canvas, context.PageRect);
}

void TPrintPageElementText::PrintToBitmap(TBitmap32& bitmap, TBitmap32* canvas,
                                          const TPixelRect& pageRect) {
  if (&bitmap == canvas) return;
  DrawOnto(bitmap, pageRect);
}

void TPrintPageElementText::DrawOnto(TBitmap32& bitmap, const TPixelRect& pageRect) {
  // 1. the rectangle in pixels; 2. the bag's font, scaled; 3. the text is always transparent
  TTextCanvas canvas{bitmap, CanvasFont()};
  // 4.
  PaintText(canvas, PixelBounds(pageRect));
}

std::string TPrintPageElementText::GetText() const {
  const std::string& text = TextProperties().Text();
  return FinalRendering() ? ExpandVariables(text) : text;
}

std::string TPrintPageElementText::TextFor(const TRenderContext& context) {
  const TRenderModeScope mode(*this, context.Mode);
  return GetText();
}

int32_t TPrintPageElementText::ScaleFont(const TFontRecord& font) const {
  const int32_t height = -MulDiv(font.Size, kScreenLogicalDpi, 72);
  return RoundHalfToEven(height / 72.0 * Resolution());
}

TTextFont TPrintPageElementText::CanvasFont() const {
  const TFontRecord& record = TextProperties().Font();
  TTextFont font;
  font.Face = record.Name;
  font.Height = ScaleFont(record);
  font.Bold = (record.Style & kFontStyleBold) != 0;
  font.Italic = (record.Style & kFontStyleItalic) != 0;
  font.Underline = (record.Style & kFontStyleUnderline) != 0;
  font.StrikeOut = (record.Style & kFontStyleStrikeOut) != 0;
  font.Colour = WindowsColorToColor32(record.Color);
  return font;
}

void TPrintPageElementText::PaintText(TTextCanvas& canvas, const TPixelRect& rect) {
  const std::string text = GetText();
  if (text.empty()) return;
  const TRect box = ToRect(rect);
  TTextBlock(text, canvas.Font, box.Width(), DrawFormat()).Draw(canvas.Bitmap, box);
}

// ---- TPrintPageElementAlignedTextProperties ----

void TPrintPageElementAlignedTextProperties::MapFields(TFieldMap& map) {
  TPrintPageElementTextProperties::MapFields(map);
  map.SubChunk([&] {
    map.Byte("horzAlignment", horzAlignment_);
    map.Byte("vertAlignment", vertAlignment_);
  });
}

std::string TPrintPageElementAlignedTextProperties::EditorFrameClassNames() const {
  return AppendEditorFrameClassName(TPrintPageElementTextProperties::EditorFrameClassNames(),
                                    "TPrintPageElementAlignedTextPropertyEditorFrame");
}

// ---- TPrintPageElementAlignedText ----

TPrintPageElementAlignedText::TPrintPageElementAlignedText(const TMetaClass& propertiesClass,
                                                           double defaultWidth,
                                                           double defaultHeight)
    : TPrintPageElementText(propertiesClass, defaultWidth, defaultHeight) {
  NIMBRA_CHECK(PropertiesAs<TPrintPageElementAlignedTextProperties>() != nullptr,
               propertiesClass.ClassName() + " is no aligned text bag");
}

TPrintPageElementAlignedTextProperties& TPrintPageElementAlignedText::AlignedProperties() const {
  return static_cast<TPrintPageElementAlignedTextProperties&>(Properties());
}

uint32_t TPrintPageElementAlignedText::AlignmentFormat() const {
  switch (AlignedProperties().HorzAlignment()) {
    case kAlignCenter: return kDrawTextCenter;
    case kAlignRight: return kDrawTextRight;
    default: return 0;
  }
}

void TPrintPageElementAlignedText::PaintText(TTextCanvas& canvas, const TPixelRect& rect) {
  const std::string text = GetText();
  if (text.empty()) return;
  // The text is laid out once: measuring and drawing share the layout.
  TRect moved = ToRect(rect);
  const TTextBlock block(text, canvas.Font, moved.Width(), DrawFormat());
  const int64_t free = int64_t{moved.Height()} - block.Height();
  int64_t down = 0;
  switch (AlignedProperties().VertAlignment()) {
    case kAlignMiddle: down = free / 2; break;
    case kAlignBottom: down = free; break;
    default: break;
  }
  const auto shift = static_cast<int>(std::clamp<int64_t>(down, INT32_MIN / 2, INT32_MAX / 2));
  moved.Top += shift;
  moved.Bottom += shift;
  block.Draw(canvas.Bitmap, moved);
}

}  // namespace nimbra
