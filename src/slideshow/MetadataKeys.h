// The names under which captions ask for EXIF tags ("%EXIFModel%") and IPTC datasets
// ("%IPTCCity%"), with the tag or dataset each name stands for. The names are those documents
// were written with, not those of the common metadata libraries; a few EXIF names stand for two
// tags (one in the first directory's range, one in the EXIF directory's), and keep both rows.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace nimbra {

struct TExifKey {
  std::string_view Name;
  uint16_t Tag;
};

struct TIptcKey {
  std::string_view Name;
  uint8_t Record;
  uint8_t Dataset;
};

// In the order the variables list their keys.
const std::array<TExifKey, 250>& ExifKeys();
const std::array<TIptcKey, 49>& IptcKeys();

}  // namespace nimbra
