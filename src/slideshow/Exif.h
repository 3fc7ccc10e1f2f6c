// The picture metadata a picture object keeps and stores with the document: the EXIF segment, the
// IPTC segment and the comment of its JPEG file, kept as the raw bytes they were read as. Values
// such as the capture date are read from those bytes anew for each question; nothing parsed is
// kept.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "slideshow/DateTimeValue.h"

namespace nimbra {

class TCSFStream;

// What a record holds while it holds anything: at least one of the three is not empty.
struct TExifContainer {
  // The APP1 segment from its two-byte length field to its end.
  std::string ExifSegment;
  // The APP13 segment, likewise.
  std::string IptcSegment;
  // The JPEG comment's bytes.
  std::string Comment;

  bool Empty() const { return ExifSegment.empty() && IptcSegment.empty() && Comment.empty(); }
  bool operator==(const TExifContainer&) const = default;
};

// The capture date and time of a record whose date cannot be read: 29 December 1899, midnight.
inline constexpr TDateTime kNoCaptureDateTime = -1;

class TExif {
 public:
  TExif();
  virtual ~TExif();
  TExif(const TExif&) = delete;
  TExif& operator=(const TExif&) = delete;

  // Reads the metadata of a JPEG file (by its extension ".jpg", ".jpeg" or ".jpe"); true when it
  // has any. Any other file, and any error, leaves the record empty and yields false.
  virtual bool LoadFromFile(const std::string& fileName);
  // A record of the file's metadata, or none when LoadFromFile finds none.
  static std::unique_ptr<TExif> CreateFromFile(const std::string& fileName);
  // A sub-chunk holding the three segments, or nothing when the record is empty.
  virtual bool WriteToStream(TCSFStream& stream) const;
  // An empty sub-chunk leaves the record as it was; a failed read leaves it unchanged.
  virtual bool ReadFromStream(TCSFStream& stream);
  virtual void Assign(const TExif& other);

  // None while the record is empty.
  const TExifContainer* Container() const { return container_.get(); }
  // An empty container leaves the record empty.
  void SetContainer(std::unique_ptr<TExifContainer> container);

  bool HasExifData() const;
  bool HasIptcData() const;
  bool HasComment() const;
  // The JPEG comment as text.
  std::string Comment() const;
  // The EXIF user comment without its character-code prefix, trimmed.
  std::string ExifComment() const;
  // Parts of the capture date-time text; -1 when they cannot be read.
  int32_t CaptureYear() const;
  int32_t CaptureMonth() const;
  int32_t CaptureDay() const;
  int32_t CaptureHour() const;
  int32_t CaptureMinute() const;
  int32_t CaptureSecond() const;
  // The six parts as one value; kNoCaptureDateTime when a part is missing or they make no date.
  TDateTime CaptureDateTime() const;
  // The text of the first EXIF tag of that name (ExifValueText); empty without one.
  std::string ExifValue(std::string_view name) const;
  // The text of the first IPTC dataset of that name (IptcValueText); empty without one.
  std::string IptcValue(std::string_view name) const;

 protected:
  template <typename T>
  static std::unique_ptr<T> CreateFromFileAs(const std::string& fileName) {
    auto record = std::make_unique<T>();
    if (!record->LoadFromFile(fileName)) return nullptr;
    return record;
  }
  void Clear() { container_.reset(); }

 private:
  // The capture date-time text; none without a readable EXIF directory.
  std::optional<std::string> CaptureText() const;

  std::unique_ptr<TExifContainer> container_;
};

// The record of a picture object: documents older than version 769 hold no metadata where the
// record's sub-chunk sits.
class TSlideShowObjectExif : public TExif {
 public:
  static std::unique_ptr<TSlideShowObjectExif> CreateFromFile(const std::string& fileName);
  bool ReadFromStream(TCSFStream& stream) override;
};

}  // namespace nimbra
