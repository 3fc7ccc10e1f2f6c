#include "slideshow/MetadataValues.h"

#include <optional>

#include "slideshow/Exif.h"
#include "slideshow/ExifReader.h"
#include "storage/TextCase.h"

namespace nimbra {

std::string ExifKeyValue(const TExif& record, std::string_view name) {
  if (!record.HasExifData()) return {};
  const std::optional<TExifFields> fields = ReadExifFields(record.Container()->ExifSegment);
  if (!fields) return {};
  const std::optional<std::string>* value = nullptr;
  if (SameText(name, "DateTime")) value = &fields->DateTime;
  if (SameText(name, "DateTimeOriginal")) value = &fields->DateTimeOriginal;
  if (SameText(name, "UserComment")) {
    return fields->UserComment ? DecodeUserComment(*fields->UserComment, fields->BigEndian)
                               : std::string();
  }
  return value != nullptr && *value ? **value : std::string();
}

std::string IptcKeyValue(const TExif&, std::string_view) {
  return {};
}

}  // namespace nimbra
