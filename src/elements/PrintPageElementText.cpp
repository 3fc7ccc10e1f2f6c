#include "elements/PrintPageElementText.h"

#include <cstdlib>

#include "framework/FieldMap.h"
#include "storage/Check.h"

namespace nimbra {

NIMBRA_DEFINE_PLUGIN(TPrintPageElementTextProperties, TVisiblePageElementProperties)
NIMBRA_DEFINE_PLUGIN(TPrintPageElementText, TPrintablePageElement)
NIMBRA_DEFINE_PLUGIN(TPrintPageElementAlignedTextProperties, TPrintPageElementTextProperties)
NIMBRA_DEFINE_PLUGIN(TPrintPageElementAlignedText, TPrintPageElementText)

namespace {

// a × b / c rounded to the nearest whole number, halves away from zero.
int32_t MulDiv(int32_t a, int32_t b, int32_t c) {
  const int64_t product = static_cast<int64_t>(a) * b;
  const int64_t quotient = (std::llabs(product) + std::llabs(c) / 2) / std::llabs(c);
  return static_cast<int32_t>((product < 0) != (c < 0) ? -quotient : quotient);
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

void TPrintPageElementText::PrintWith(const TRenderContext&) {}

void TPrintPageElementText::PrintToBitmap(TBitmap32&, TBitmap32*, const TPixelRect&) {}

std::string TPrintPageElementText::GetText() const {
  const std::string& text = TextProperties().Text();
  return FinalRendering() ? ExpandVariables(text) : text;
}

std::string TPrintPageElementText::TextFor(const TRenderContext& context) {
  const TRenderMode ownMode = RenderMode();
  SetRenderMode(context.Mode);
  try {
    std::string text = GetText();
    SetRenderMode(ownMode);
    return text;
  } catch (...) {
    SetRenderMode(ownMode);
    throw;
  }
}

int32_t TPrintPageElementText::ScaleFont(const TFontRecord& font) const {
  const int32_t height = -MulDiv(font.Size, kScreenLogicalDpi, 72);
  return RoundHalfToEven(height / 72.0 * Resolution());
}

void TPrintPageElementText::PaintText(TBitmap32&, const TPixelRect&) {}

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

void TPrintPageElementAlignedText::PaintText(TBitmap32&, const TPixelRect&) {}

}  // namespace nimbra
