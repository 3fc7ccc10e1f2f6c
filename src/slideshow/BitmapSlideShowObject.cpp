#include "slideshow/BitmapSlideShowObject.h"

#include <string_view>

#include "framework/FieldMap.h"
#include "slideshow/RandomTransitionPlugin.h"
#include "storage/CSFStreamWinTypes.h"

namespace nimbra {

NIMBRA_DEFINE_PLUGIN(TVisibleSlideShowObject, TPlayableSlideShowObject)
NIMBRA_DEFINE_PLUGIN(TPreviewEditorSlideShowObject, TVisibleSlideShowObject)
NIMBRA_DEFINE_PLUGIN(TBaseBitmapSlideShowObject, TPreviewEditorSlideShowObject)
NIMBRA_DEFINE_PLUGIN(TBaseExtBitmapSlideShowObject, TBaseBitmapSlideShowObject)

const std::string& AbsentCurveData() {
  static const std::string bytes(4, '\0');
  return bytes;
}

void MapCurves(TFieldMap& map, std::array<std::string, kCurveCount>& curves) {
  static constexpr std::array<std::string_view, kCurveCount> kNames = {
      "opacityCurve", "rotationCurve", "zoomCurve", "positionPath"};
  for (size_t i = 0; i < curves.size(); ++i) map.SubChunkBytes(kNames[i], curves[i]);
}

// ---- TBaseBitmapSlideShowObject ----

TPlacementSettings TBaseBitmapSlideShowObject::Placement() const {
  return {keepAspectRatio_, alignment_, placementRect_, scaleToRect_};
}

TPixelRect TBaseBitmapSlideShowObject::PictureRect(int32_t width, int32_t height,
                                                   const TPixelRect& screen) const {
  return PlacePicture(width, height, Placement(), screen);
}

void TBaseBitmapSlideShowObject::CopyFrom(const TSlideShowObject& other) {
  TPreviewEditorSlideShowObject::CopyFrom(other);
  const auto* source = dynamic_cast<const TBaseBitmapSlideShowObject*>(&other);
  if (source == nullptr) return;
  keepAspectRatio_ = source->keepAspectRatio_;
  alignment_ = source->alignment_;
  placementRect_ = source->placementRect_;
  scaleToRect_ = source->scaleToRect_;
  fillBackground_ = source->fillBackground_;
  backgroundColor_ = source->backgroundColor_;
  combineMode_ = source->combineMode_;
}

std::string TBaseBitmapSlideShowObject::PropertyFrameClassName() const {
  return "TBaseBitmapSlideShowObjectPropertyFrame";
}

void TBaseBitmapSlideShowObject::MapFields(TFieldMap& map) {
  TPreviewEditorSlideShowObject::MapFields(map);
  map.Boolean("keepAspectRatio", keepAspectRatio_);
  map.Byte("alignment", alignment_);
  map.Rect("placementRect", placementRect_);
  map.Boolean("scaleToRect", scaleToRect_);
  map.Boolean("fillBackground", fillBackground_);
  map.Color("backgroundColor", backgroundColor_);
  map.Byte("combineMode", combineMode_);
}

// ---- TBaseExtBitmapSlideShowObject ----

TBaseExtBitmapSlideShowObject::TBaseExtBitmapSlideShowObject()
    : transitionData_(DefaultTransitionEntryBytes()) {
  curveData_.fill(AbsentCurveData());
}

void TBaseExtBitmapSlideShowObject::SetCurveData(TCurveKind kind, std::string bytes) {
  curveData_[static_cast<size_t>(kind)] = bytes.empty() ? AbsentCurveData() : std::move(bytes);
}

bool TBaseExtBitmapSlideShowObject::HasCurve(TCurveKind kind) const {
  const std::string& bytes = CurveData(kind);
  return bytes.size() >= 4 && bytes[0] == 1 && bytes[1] == 0 && bytes[2] == 0 && bytes[3] == 0;
}

std::unique_ptr<TTransitionPlugin> TBaseExtBitmapSlideShowObject::Transition() const {
  return TransitionFromEntryBytes(transitionData_);
}

void TBaseExtBitmapSlideShowObject::SetTransition(const TTransitionPlugin* transition) {
  transitionData_ = TransitionEntryBytes(transition);
}

void TBaseExtBitmapSlideShowObject::CopyFrom(const TSlideShowObject& other) {
  TBaseBitmapSlideShowObject::CopyFrom(other);
  const auto* source = dynamic_cast<const TBaseExtBitmapSlideShowObject*>(&other);
  if (source == nullptr) return;
  curveData_ = source->curveData_;
  transitionData_ = source->transitionData_;
}

std::string TBaseExtBitmapSlideShowObject::PropertyFrameClassName() const {
  return "TBaseExtBitmapSlideShowObjectPropertyFrame";
}

void TBaseExtBitmapSlideShowObject::MapFields(TFieldMap& map) {
  TBaseBitmapSlideShowObject::MapFields(map);
  MapCurves(map, curveData_);
  map.SubChunkBytes("transition", transitionData_);
}

}  // namespace nimbra
