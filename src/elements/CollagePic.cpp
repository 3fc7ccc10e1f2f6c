#include "elements/CollagePic.h"

#include "elements/DrawingRandom.h"
#include "framework/FieldMap.h"

namespace nimbra {

NIMBRA_DEFINE_CLASS(TCollagePic, TObject)

// A fresh seed per picture, so each picture keeps choosing the same of its files.
TCollagePic::TCollagePic() : seed_(DrawingRandomNumber()) {}

TCollagePic::~TCollagePic() = default;

TBitmap32* TCollagePic::GetBitmap() { return bitmap_.get(); }

void TCollagePic::FreeBitmap() { bitmap_.reset(); }

void TCollagePic::MapFields(TFieldMap& map) {
  map.Rect("bounds", bounds_);
  map.Byte("placement", placement_);
  map.Double("width", width_);
  map.Double("height", height_);
  map.Double("offsetX", offsetX_);
  map.Double("offsetY", offsetY_);
  map.Boolean("fromResource", fromResource_);
  map.String("fileNames", fileNames_);
  map.Boolean("keepAspectRatio", keepAspectRatio_);
  map.Boolean("scaleWithPicture", scaleWithPicture_);
  map.Double("angle", angle_);
  map.Integer("centerX", centerX_);
  map.Integer("centerY", centerY_);
  map.Double("angleRange", angleRange_);
  // Older writers stopped here.
  if (!map.More()) return;
  for (size_t i = 0; i < reserved_.size(); ++i) {
    map.Double("reserved" + std::to_string(i), reserved_[i]);
  }
  map.Boolean("reservedFlag", reservedFlag_);
}

bool TCollagePic::WriteToStream(TCSFStream& stream) const {
  return WriteFields(stream, *this);
}

bool TCollagePic::ReadFromStream(TCSFStream& stream) {
  return ReadFields(stream, *this);
}

void TCollagePic::DescribeFields(TFieldWriter& fields) const {
  DescribeFieldsOf(fields, *this);
}

TCollagePic& TCollagePicsList::Add(std::unique_ptr<TCollagePic> picture) {
  items_.push_back(std::move(picture));
  return *items_.back();
}

}  // namespace nimbra
