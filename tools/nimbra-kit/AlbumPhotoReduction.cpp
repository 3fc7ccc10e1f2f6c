#include "nimbra-kit/AlbumPhotoReduction.h"

#include <stdlib.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

#include "raster/CodecError.h"
#include "raster/ExifOrientation.h"
#include "raster/JpegCodec.h"
#include "raster/JpegSegments.h"
#include "raster/PictureFile.h"
#include "raster/PictureFormats.h"
#include "raster/PictureWriters.h"
#include "raster/Resample.h"
#include "storage/FileAccess.h"
#include "storage/FileStream.h"

namespace nimbra::kit {

namespace {

namespace fs = std::filesystem;

// The averaging that precedes the filter keeps twice the target's pixels, which leaves the
// Lanczos kernel enough detail to stay sharp.
constexpr double kDecodeKeepFactor = 2;

bool IsJpeg(const std::string& fileName) {
  const std::optional<TPictureFormat> format = FindPictureFormat(FileExtension(fileName));
  return format && format->OpenReader == &OpenJpegReader;
}

bool HasTransparency(const TBitmap32& bitmap) {
  for (int y = 0; y < bitmap.Height(); ++y) {
    const TColor32* row = bitmap.ScanLine(y);
    for (int x = 0; x < bitmap.Width(); ++x) {
      if (AlphaComponent(row[x]) != 255) return true;
    }
  }
  return false;
}

// The orientation that undoes another: the turns by 90° undo each other, the rest themselves.
int InverseOrientation(int orientation) {
  if (orientation == 6) return 8;
  if (orientation == 8) return 6;
  return orientation;
}

int OrientationOf(const std::vector<TJpegSegment>& segments) {
  for (const TJpegSegment& segment : segments) {
    if (segment.Marker != kJpegApp1Marker) continue;
    const int orientation = ExifOrientation(reinterpret_cast<const uint8_t*>(segment.Data.data()),
                                            segment.Data.size());
    if (orientation != kOrientationAsStored) return orientation;
  }
  return kOrientationAsStored;
}

std::string WithExtension(const std::string& fileName, const std::string& extension) {
  const size_t dot = fileName.rfind('.');
  const size_t end = dot == std::string::npos || dot == 0 ? fileName.size() : dot;
  return fileName.substr(0, end) + "." + extension;
}

// 1. the metadata as the camera wrote it; 2. the pixels back as stored; 3. the file.
void SaveReducedJpeg(TFileAccess& disk, const std::string& path, TBitmap32& reduced,
                     TStream& target) {
  const std::unique_ptr<TStream> original = disk.OpenFile(path);
  if (!original) throw ECodecError("cannot open '" + path + "'");
  const std::vector<TJpegSegment> segments = ReadJpegMetadataSegments(*original);
  ApplyExifOrientation(reduced, InverseOrientation(OrientationOf(segments)));
  SaveJpeg(reduced, target, kReducedPhotoQuality, segments);
}

}  // namespace

TPictureSize FittedPhotoSize(const TPictureSize& shown, const TPictureSize& box) {
  if (shown.Width <= box.Width && shown.Height <= box.Height) return shown;
  const double scale = std::min(static_cast<double>(box.Width) / shown.Width,
                                static_cast<double>(box.Height) / shown.Height);
  const auto side = [scale](int length, int limit) {
    return std::clamp(static_cast<int>(std::lround(length * scale)), 1, limit);
  };
  return {side(shown.Width, box.Width), side(shown.Height, box.Height)};
}

TPackedPhoto PackedPhoto(const std::string& path, const std::string& fileName,
                         const TPictureSize& box, const std::string& reducedPath) {
  TFileAccess disk;
  TPictureFile file = TPictureFile::Open(disk, path);
  const TPictureSize size = FittedPhotoSize(file.ShownSize(), box);
  if (size == file.ShownSize()) return {path, fileName, false};
  const TBitmap32 decoded = file.Decode({size.Width, size.Height, kDecodeKeepFactor});
  TBitmap32 reduced = Resampled(decoded, size.Width, size.Height, TResamplingFilter::Lanczos);
  TFileStream target(reducedPath, FileMode::Create);
  TPackedPhoto packed{reducedPath, fileName, true};
  if (IsJpeg(fileName)) {
    SaveReducedJpeg(disk, path, reduced, target);
  } else if (HasTransparency(reduced)) {
    SavePng(reduced, target);
    packed.FileName = WithExtension(fileName, "png");
  } else {
    SaveJpeg(reduced, target, kReducedPhotoQuality);
    packed.FileName = WithExtension(fileName, "jpg");
  }
  target.Flush();
  return packed;
}

TPhotoReducer::TPhotoReducer(const TPictureSize& box) : box_(box) {
  std::string pattern = (fs::temp_directory_path() / "nimbra-album-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) {
    throw ECodecError("cannot make a folder for the reduced photos in the temporary folder");
  }
  folder_ = pattern;
}

TPhotoReducer::~TPhotoReducer() {
  std::error_code ignored;
  fs::remove_all(folder_, ignored);
}

TPackedPhoto TPhotoReducer::Pack(const std::string& path, const std::string& fileName) {
  const fs::path reducedPath = fs::path(folder_) / std::to_string(++written_);
  return PackedPhoto(path, fileName, box_, reducedPath.string());
}

}  // namespace nimbra::kit
