#include "slideshow/BitmapSlideShowObject.h"

#include <exception>

#include "framework/Properties.h"
#include "slideshow/RandomTransitionPlugin.h"
#include "storage/CSFStreamWinTypes.h"
#include "storage/StoredBytes.h"

namespace nimbra {

NIMBRA_DEFINE_PLUGIN(TVisibleSlideShowObject, TPlayableSlideShowObject)
NIMBRA_DEFINE_PLUGIN(TPreviewEditorSlideShowObject, TVisibleSlideShowObject)
NIMBRA_DEFINE_PLUGIN(TBaseBitmapSlideShowObject, TPreviewEditorSlideShowObject)
NIMBRA_DEFINE_PLUGIN(TBaseExtBitmapSlideShowObject, TBaseBitmapSlideShowObject)

namespace {

void WriteDoubleRect(TCSFStream& stream, const TDoubleRect& rect) {
  stream.WriteDouble(rect.Left);
  stream.WriteDouble(rect.Top);
  stream.WriteDouble(rect.Right);
  stream.WriteDouble(rect.Bottom);
}

TDoubleRect ReadDoubleRect(TCSFStream& stream) {
  TDoubleRect rect;
  rect.Left = stream.ReadDouble();
  rect.Top = stream.ReadDouble();
  rect.Right = stream.ReadDouble();
  rect.Bottom = stream.ReadDouble();
  return rect;
}

}  // namespace

const std::string& AbsentCurveData() {
  static const std::string bytes(4, '\0');
  return bytes;
}

void WriteSubChunkBytes(TCSFStream& stream, const std::string& bytes) {
  TWriteSubChunk chunk(stream);
  stream.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
  chunk.End();
}

std::string ReadSubChunkBytes(TCSFStream& stream) {
  TReadSubChunk chunk(stream);
  return ReadRemainingBytes(stream);
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

bool TBaseBitmapSlideShowObject::WriteToStream(TCSFStream& stream) const {
  if (!TPreviewEditorSlideShowObject::WriteToStream(stream)) return false;
  try {
    stream.WriteBoolean(keepAspectRatio_);
    stream.WriteByte(alignment_);
    WriteDoubleRect(stream, placementRect_);
    stream.WriteBoolean(scaleToRect_);
    stream.WriteBoolean(fillBackground_);
    stream.WriteCardinal(backgroundColor_);
    stream.WriteByte(combineMode_);
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

bool TBaseBitmapSlideShowObject::ReadFromStream(TCSFStream& stream) {
  if (!TPreviewEditorSlideShowObject::ReadFromStream(stream)) return false;
  try {
    keepAspectRatio_ = stream.ReadBoolean();
    alignment_ = stream.ReadByte();
    placementRect_ = ReadDoubleRect(stream);
    scaleToRect_ = stream.ReadBoolean();
    fillBackground_ = stream.ReadBoolean();
    backgroundColor_ = stream.ReadCardinal();
    combineMode_ = stream.ReadByte();
    return true;
  } catch (const std::exception&) {
    return false;
  }
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

bool TBaseExtBitmapSlideShowObject::WriteToStream(TCSFStream& stream) const {
  if (!TBaseBitmapSlideShowObject::WriteToStream(stream)) return false;
  try {
    for (const std::string& curve : curveData_) WriteSubChunkBytes(stream, curve);
    WriteSubChunkBytes(stream, transitionData_);
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

bool TBaseExtBitmapSlideShowObject::ReadFromStream(TCSFStream& stream) {
  if (!TBaseBitmapSlideShowObject::ReadFromStream(stream)) return false;
  try {
    for (std::string& curve : curveData_) curve = ReadSubChunkBytes(stream);
    transitionData_ = ReadSubChunkBytes(stream);
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

}  // namespace nimbra
