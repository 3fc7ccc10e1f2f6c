// The names under which a picture's EXIF tags and IPTC datasets are known to the object variables
// ("EXIF" or "IPTC" followed by the name). The names are those albums have always used, not those
// of other metadata tools, so they are listed here rather than taken from elsewhere.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace nimbra {

struct TExifKey {
  uint16_t Tag;
  std::string_view Name;
};

struct TIptcKey {
  uint8_t Record;
  uint8_t Dataset;
  std::string_view Name;
};

// The 250 rows in the order of the variables' key list; 13 names stand in two rows (two tags).
std::span<const TExifKey> ExifKeyTable();
// The 49 rows in the order of the variables' key list.
std::span<const TIptcKey> IptcKeyTable();

// The name of a tag, or empty for a tag the table does not name.
std::string_view ExifTagName(uint16_t tag);
// The name of a dataset, or empty for one the table does not name.
std::string_view IptcDatasetName(uint8_t record, uint8_t dataset);

}  // namespace nimbra
