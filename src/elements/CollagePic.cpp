#include "elements/CollagePic.h"

#include <algorithm>

#include "elements/DrawingRandom.h"
#include "framework/FieldMap.h"
#include "framework/FileNameResolution.h"
#include "framework/Properties.h"
#include "templates/Bitmap32Cache.h"

namespace nimbra {

namespace {

// How long a collage picture stays cached after its last use.
constexpr uint32_t kCacheValidity = 30000;

}  // namespace

NIMBRA_DEFINE_CLASS(TCollagePic, TObject)

// A fresh seed per picture, so each picture keeps choosing the same of its files.
TCollagePic::TCollagePic() : seed_(DrawingRandomNumber()) {}

TCollagePic::~TCollagePic() = default;

const TBitmap32* TCollagePic::GetBitmap() {
  if (bitmap_ || fromResource_) return bitmap_.get();
  const std::string stored = ChosenFileName();
  if (stored.empty()) return nullptr;
  const std::string name = ResolveTemplateFileName(stored, {});
  if (name.empty()) return nullptr;
  bitmap_ = CachedOrDecodedBitmap32(name, kCacheValidity);
  return bitmap_.get();
}

std::string TCollagePic::ChosenFileName() const {
  std::vector<std::string> names;
  for (std::string& line : SplitLines(fileNames_)) {
    if (!line.empty()) names.push_back(std::move(line));
  }
  if (names.empty()) return {};
  // A generator of the picture's own, not the thread's: the choice never depends on what else
  // drew chance before, and pictures drawn on different threads share nothing.
  TDrawingRandom random(seed_);
  const auto index = static_cast<size_t>(random.Fraction() * static_cast<double>(names.size()));
  return names[std::min(index, names.size() - 1)];
}

void TCollagePic::FreeBitmap() {
  bitmap_.reset();
}

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
