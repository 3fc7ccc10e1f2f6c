#include "slideshow/TextSlideShowObject.h"

#include "framework/FieldMap.h"

namespace nimbra {

NIMBRA_DEFINE_PLUGIN(TSimpleTextSlideShowObject, TPreviewEditorSlideShowObject)
NIMBRA_DEFINE_PLUGIN(TTextSlideShowObject, TSimpleTextSlideShowObject)

TFontRecord DefaultTextFont() {
  TFontRecord font;
  font.Name = "Arial";
  font.Size = 20;
  return font;
}

void MapTextAndFormat(TFieldMap& map, std::string& text, TTextFormat& format) {
  map.String("text", text);
  map.Font("font", format.Font);
  map.Color("textColor", format.TextColor);
  map.Color("secondColor", format.SecondColor);
  map.Byte("textStyle", format.Style);
  map.Byte("textAlignment", format.Alignment);
  map.Boolean("smooth", format.Smooth);
  map.Byte("textPosition", format.Position);
  map.Rect("freeRect", format.FreeRect);
}

// ---- TSimpleTextSlideShowObject ----

void TSimpleTextSlideShowObject::CopyFrom(const TSlideShowObject& other) {
  TPreviewEditorSlideShowObject::CopyFrom(other);
  const auto* source = dynamic_cast<const TSimpleTextSlideShowObject*>(&other);
  if (source == nullptr) return;
  text_ = source->text_;
  format_ = source->format_;
}

std::string TSimpleTextSlideShowObject::PropertyFrameClassName() const {
  return "TTextSlideShowObjectPropertyFrame";
}

void TSimpleTextSlideShowObject::MapFields(TFieldMap& map) {
  TPreviewEditorSlideShowObject::MapFields(map);
  MapTextAndFormat(map, text_, format_);
}

// ---- TTextSlideShowObject ----

void TTextSlideShowObject::CopyFrom(const TSlideShowObject& other) {
  TSimpleTextSlideShowObject::CopyFrom(other);
  const auto* source = dynamic_cast<const TTextSlideShowObject*>(&other);
  if (source == nullptr) return;
  curveData_ = source->curveData_;
  effectData_ = source->effectData_;
}

void TTextSlideShowObject::MapFields(TFieldMap& map) {
  TSimpleTextSlideShowObject::MapFields(map);
  MapCurves(map, curveData_);
  map.SubChunkBytes("effect", effectData_);
}

}  // namespace nimbra
