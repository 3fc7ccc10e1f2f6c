#include "elements/CollagePic.h"

#include "elements/DrawingRandom.h"
#include "storage/CSFStream.h"

namespace nimbra {

NIMBRA_DEFINE_CLASS(TCollagePic, TObject)

// A fresh seed per picture, so each picture keeps choosing the same of its files.
TCollagePic::TCollagePic() : seed_(DrawingRandomNumber()) {}

TCollagePic::~TCollagePic() = default;

TBitmap32* TCollagePic::GetBitmap() { return bitmap_.get(); }

void TCollagePic::FreeBitmap() { bitmap_.reset(); }

bool TCollagePic::WriteToStream(TCSFStream& stream) const {
  try {
    stream.WriteDouble(bounds_.Left);
    stream.WriteDouble(bounds_.Top);
    stream.WriteDouble(bounds_.Right);
    stream.WriteDouble(bounds_.Bottom);
    stream.WriteByte(placement_);
    stream.WriteDouble(width_);
    stream.WriteDouble(height_);
    stream.WriteDouble(offsetX_);
    stream.WriteDouble(offsetY_);
    stream.WriteBoolean(fromResource_);
    stream.WriteString(fileNames_);
    stream.WriteBoolean(keepAspectRatio_);
    stream.WriteBoolean(scaleWithPicture_);
    stream.WriteDouble(angle_);
    stream.WriteInteger(centerX_);
    stream.WriteInteger(centerY_);
    stream.WriteDouble(angleRange_);
    for (double value : reserved_) stream.WriteDouble(value);
    stream.WriteBoolean(reservedFlag_);
    return true;
  } catch (...) {
    return false;
  }
}

bool TCollagePic::ReadFromStream(TCSFStream& stream) {
  try {
    bounds_.Left = stream.ReadDouble();
    bounds_.Top = stream.ReadDouble();
    bounds_.Right = stream.ReadDouble();
    bounds_.Bottom = stream.ReadDouble();
    placement_ = stream.ReadByte();
    width_ = stream.ReadDouble();
    height_ = stream.ReadDouble();
    offsetX_ = stream.ReadDouble();
    offsetY_ = stream.ReadDouble();
    fromResource_ = stream.ReadBoolean();
    fileNames_ = stream.ReadString();
    keepAspectRatio_ = stream.ReadBoolean();
    scaleWithPicture_ = stream.ReadBoolean();
    angle_ = stream.ReadDouble();
    centerX_ = stream.ReadInteger();
    centerY_ = stream.ReadInteger();
    angleRange_ = stream.ReadDouble();
    // Older writers stopped here.
    if (!stream.MoreInSubChunk()) return true;
    for (double& value : reserved_) value = stream.ReadDouble();
    reservedFlag_ = stream.ReadBoolean();
    return true;
  } catch (...) {
    return false;
  }
}

TCollagePic& TCollagePicsList::Add(std::unique_ptr<TCollagePic> picture) {
  items_.push_back(std::move(picture));
  return *items_.back();
}

}  // namespace nimbra
