// libFuzzer target for the picture metadata readers: arbitrary bytes as the head of a JPEG file
// (segment extraction), as a stored EXIF segment (the tag walk behind the capture date, the user
// comment and every named tag) and IPTC segment (its datasets), and as a stored metadata record.
// Bad bytes give no segments, -1 or empty text; what the sanitizers or libFuzzer's limits catch
// (a walk that goes round or takes long included), or a broken promise below, is a bug.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <string_view>

#include "slideshow/Exif.h"
#include "slideshow/ExifReader.h"
#include "slideshow/IptcReader.h"
#include "slideshow/JpegMetadataSegments.h"
#include "slideshow/MetadataText.h"
#include "storage/CSFStreamWinTypes.h"
#include "storage/MemoryStream.h"
#include "storage/TextCase.h"

namespace nimbra::fuzz {

namespace {

void Expect(bool promise) {
  if (!promise) __builtin_trap();
}

size_t StoredLength(const std::string& segment) {
  return (size_t{static_cast<uint8_t>(segment[0])} << 8) | static_cast<uint8_t>(segment[1]);
}

// Values are UTF-8, so text drawn from them never meets a broken character.
void ExpectUtf8(const std::string& value) {
  Expect(MetadataText(value) == value);
}

// Every name the walk lists answers through the record, and the first tag of the name answers
// alike whatever case the question uses.
void AskEveryTag(const TExif& record) {
  const std::string& segment = record.Container()->ExifSegment;
  std::set<std::string_view> asked;
  for (const std::string_view name : ExifKeys(segment)) {
    if (!asked.insert(name).second) continue;
    const std::string value = record.ExifValue(name);
    ExpectUtf8(value);
    Expect(ExifValueText(segment, UpperCase(name)) == value);
  }
}

void AskEveryDataset(const TExif& record) {
  const std::string& segment = record.Container()->IptcSegment;
  std::set<std::string_view> seen;
  for (const TIptcDataset& dataset : ReadIptcDatasets(segment)) {
    ExpectUtf8(dataset.Value);
    // The first dataset of a name is the one that answers.
    if (seen.insert(dataset.Name).second) Expect(record.IptcValue(dataset.Name) == dataset.Value);
  }
}

// Every question a variable may ask of a record.
void AskEverything(const TExif& record) {
  for (const int32_t part :
       {record.CaptureYear(), record.CaptureMonth(), record.CaptureDay(), record.CaptureHour(),
        record.CaptureMinute(), record.CaptureSecond()}) {
    Expect(part >= -1 && part <= 9999);
  }
  const TDateTime when = record.CaptureDateTime();
  Expect(when == kNoCaptureDateTime || (when > -693594 && when < 2958466));
  const std::string comment = record.ExifComment();
  Expect(comment.empty() || (static_cast<uint8_t>(comment.front()) > 0x20 &&
                             static_cast<uint8_t>(comment.back()) > 0x20));
  static_cast<void>(record.Comment());
  static_cast<void>(record.HasExifData() || record.HasIptcData() || record.HasComment());
  if (record.HasExifData()) AskEveryTag(record);
  if (record.HasIptcData()) AskEveryDataset(record);
}

void ReadAsJpeg(std::string_view bytes) {
  TMemoryStream stream(bytes);
  TJpegMetadataSegments segments;
  if (!ReadJpegMetadataSegments(stream, segments)) {
    Expect(segments.Empty());
    return;
  }
  // A kept segment is exactly as long as its length field says.
  for (const std::string* segment : {&segments.Exif, &segments.Iptc}) {
    Expect(segment->empty() || (segment->size() >= 2 && StoredLength(*segment) == segment->size()));
  }
  auto container = std::make_unique<TExifContainer>();
  container->ExifSegment = segments.Exif;
  container->IptcSegment = segments.Iptc;
  container->Comment = segments.Comment;
  TExif record;
  record.SetContainer(std::move(container));
  AskEverything(record);
}

void ReadAsSegment(std::string_view bytes) {
  auto container = std::make_unique<TExifContainer>();
  container->ExifSegment = std::string(bytes);
  container->IptcSegment = std::string(bytes);
  TExif record;
  record.SetContainer(std::move(container));
  AskEverything(record);
}

// A record read from stored bytes writes and reads back to the same record.
void ReadAsStoredRecord(std::string_view bytes) {
  TMemoryStream stored(bytes);
  TCSFStreamWinTypes reader(stored, CSFMode::HeaderlessRead);
  reader.SetFileType(1281);
  reader.SetFileVersion(773);
  TSlideShowObjectExif record;
  if (!record.ReadFromStream(reader)) return;
  AskEverything(record);

  TMemoryStream copy;
  {
    TCSFStreamWinTypes writer(copy, CSFMode::Headerless);
    Expect(record.WriteToStream(writer));
    writer.Release();
  }
  copy.SetPosition(0);
  TCSFStreamWinTypes again(copy, CSFMode::HeaderlessRead);
  again.SetFileVersion(773);
  TSlideShowObjectExif reread;
  Expect(reread.ReadFromStream(again));
  Expect((record.Container() == nullptr) == (reread.Container() == nullptr));
  Expect(record.Container() == nullptr || *record.Container() == *reread.Container());
}

}  // namespace

}  // namespace nimbra::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  nimbra::fuzz::ReadAsJpeg(bytes);
  nimbra::fuzz::ReadAsSegment(bytes);
  nimbra::fuzz::ReadAsStoredRecord(bytes);
  return 0;
}
