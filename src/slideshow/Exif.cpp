#include "slideshow/Exif.h"

#include <array>

#include "framework/Properties.h"
#include "slideshow/ExifReader.h"
#include "slideshow/IptcReader.h"
#include "slideshow/JpegMetadataSegments.h"
#include "storage/CSFStream.h"
#include "storage/FalseOnFailure.h"
#include "storage/FileAccess.h"
#include "storage/FileStream.h"
#include "storage/StoredBytes.h"
#include "storage/TextCase.h"
#include "storage/Windows1252.h"

namespace nimbra {

namespace {

// The last document version whose picture objects carry no metadata in the record's sub-chunk.
constexpr int32_t kLastVersionWithoutExif = 768;

// The extension with its dot, after the last folder separator of either kind.
std::string ExtensionOf(const std::string& fileName) {
  const size_t folder = fileName.find_last_of("\\/");
  const size_t dot = fileName.rfind('.');
  if (dot == std::string::npos || (folder != std::string::npos && dot < folder)) return {};
  return fileName.substr(dot);
}

bool IsJpegName(const std::string& fileName) {
  const std::string extension = UpperCase(ExtensionOf(fileName));
  return extension == ".JPG" || extension == ".JPEG" || extension == ".JPE";
}

// Pictures may lie in a package, so they are opened through the file access when one is installed.
std::unique_ptr<TStream> OpenPicture(const std::string& fileName) {
  if (const std::shared_ptr<IFileAccess> access = FileAccess()) return access->OpenFile(fileName);
  return std::make_unique<TFileStream>(fileName, FileMode::OpenRead);
}

// Where each part stands in "YYYY:MM:DD HH:MM:SS" (0-based).
struct TPartPosition {
  size_t Index;
  size_t Start;
  size_t Length;
};
constexpr TPartPosition kYear{0, 0, 4};
constexpr TPartPosition kMonth{1, 5, 2};
constexpr TPartPosition kDay{2, 8, 2};
constexpr TPartPosition kHour{3, 11, 2};
constexpr TPartPosition kMinute{4, 14, 2};
constexpr TPartPosition kSecond{5, 17, 2};

// The part as a decimal number of digits only; -1 without a text or when it is no number.
int32_t CapturePart(const std::optional<std::string>& text, TPartPosition position) {
  if (!text || position.Start + position.Length > text->size()) return -1;
  int32_t value = 0;
  for (size_t i = position.Start; i < position.Start + position.Length; ++i) {
    const char c = (*text)[i];
    if (c < '0' || c > '9') return -1;
    value = value * 10 + (c - '0');
  }
  return value;
}

}  // namespace

TExif::TExif() = default;

TExif::~TExif() = default;

void TExif::SetContainer(std::unique_ptr<TExifContainer> container) {
  if (container && container->Empty()) container.reset();
  container_ = std::move(container);
}

bool TExif::LoadFromFile(const std::string& fileName) {
  // 1. whatever the file holds, the old metadata goes
  Clear();
  // 2. only JPEG files carry these segments
  if (!IsJpegName(fileName)) return false;
  const bool loaded = FalseOnFailure([&] {
    // 3. the segments at the head of the file
    const std::unique_ptr<TStream> stream = OpenPicture(fileName);
    if (!stream) return false;
    TJpegMetadataSegments segments;
    if (!ReadJpegMetadataSegments(*stream, segments)) return false;
    // 4. a container only for something found
    auto container = std::make_unique<TExifContainer>();
    container->ExifSegment = std::move(segments.Exif);
    container->IptcSegment = std::move(segments.Iptc);
    container->Comment = std::move(segments.Comment);
    SetContainer(std::move(container));
    // 5. true when the file had any of the segments
    return container_ != nullptr;
  });
  if (!loaded) Clear();
  return loaded;
}

std::unique_ptr<TExif> TExif::CreateFromFile(const std::string& fileName) {
  return CreateFromFileAs<TExif>(fileName);
}

bool TExif::WriteToStream(TCSFStream& stream) const {
  return FalseOnFailure([&] {
    TWriteSubChunk record(stream);
    if (container_) {
      WriteByteString(stream, container_->ExifSegment);
      WriteByteString(stream, container_->IptcSegment);
      WriteByteString(stream, container_->Comment);
    }
    record.End();
    return true;
  });
}

bool TExif::ReadFromStream(TCSFStream& stream) {
  return FalseOnFailure([&] {
    TReadSubChunk record(stream);
    if (record.Length() == 0) return true;
    auto container = std::make_unique<TExifContainer>();
    container->ExifSegment = ReadByteString(stream);
    container->IptcSegment = ReadByteString(stream);
    container->Comment = ReadByteString(stream);
    SetContainer(std::move(container));
    return true;
  });
}

void TExif::Assign(const TExif& other) {
  if (&other == this) return;
  if (!other.container_) {
    container_.reset();
    return;
  }
  if (!container_) container_ = std::make_unique<TExifContainer>();
  *container_ = *other.container_;
}

bool TExif::HasExifData() const {
  return container_ && !container_->ExifSegment.empty();
}

bool TExif::HasIptcData() const {
  return container_ && !container_->IptcSegment.empty();
}

bool TExif::HasComment() const {
  return container_ && !container_->Comment.empty();
}

std::string TExif::Comment() const {
  return container_ ? Windows1252ToUtf8(container_->Comment) : std::string();
}

std::string TExif::ExifComment() const {
  if (!HasExifData()) return {};
  const std::optional<TExifFields> fields = ReadExifFields(container_->ExifSegment);
  if (!fields || !fields->UserComment) return {};
  return DecodeUserComment(*fields->UserComment, fields->BigEndian);
}

std::optional<std::string> TExif::CaptureText() const {
  if (!HasExifData()) return std::nullopt;
  const std::optional<TExifFields> fields = ReadExifFields(container_->ExifSegment);
  if (!fields) return std::nullopt;
  return CaptureDateTimeText(*fields);
}

int32_t TExif::CaptureYear() const {
  return CapturePart(CaptureText(), kYear);
}
int32_t TExif::CaptureMonth() const {
  return CapturePart(CaptureText(), kMonth);
}
int32_t TExif::CaptureDay() const {
  return CapturePart(CaptureText(), kDay);
}
int32_t TExif::CaptureHour() const {
  return CapturePart(CaptureText(), kHour);
}
int32_t TExif::CaptureMinute() const {
  return CapturePart(CaptureText(), kMinute);
}
int32_t TExif::CaptureSecond() const {
  return CapturePart(CaptureText(), kSecond);
}

TDateTime TExif::CaptureDateTime() const {
  const std::optional<std::string> text = CaptureText();
  std::array<int32_t, 6> parts{};
  for (const TPartPosition position : {kYear, kMonth, kDay, kHour, kMinute, kSecond}) {
    const int32_t part = CapturePart(text, position);
    if (part < 0) return kNoCaptureDateTime;
    parts[position.Index] = part;
  }
  return EncodeDateTime(parts[0], parts[1], parts[2], parts[3], parts[4], parts[5])
      .value_or(kNoCaptureDateTime);
}

std::string TExif::ExifValue(std::string_view name) const {
  return HasExifData() ? ExifValueText(container_->ExifSegment, name) : std::string();
}

std::string TExif::IptcValue(std::string_view name) const {
  return HasIptcData() ? IptcValueText(container_->IptcSegment, name) : std::string();
}

std::unique_ptr<TSlideShowObjectExif> TSlideShowObjectExif::CreateFromFile(
    const std::string& fileName) {
  return CreateFromFileAs<TSlideShowObjectExif>(fileName);
}

bool TSlideShowObjectExif::ReadFromStream(TCSFStream& stream) {
  if (stream.FileVersion() > kLastVersionWithoutExif) return TExif::ReadFromStream(stream);
  return FalseOnFailure([&] {
    TReadSubChunk record(stream);
    Clear();
    return true;
  });
}

}  // namespace nimbra
