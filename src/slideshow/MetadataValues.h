// The values of single EXIF tags and IPTC datasets of a picture's metadata record, by the names of
// MetadataKeys.h. The caption variables ask only through these two functions, so the reader
// behind them can grow without the variables changing.
#pragma once

#include <string>
#include <string_view>

namespace nimbra {

class TExif;

// The text of the first tag of the record's EXIF segment whose name equals name, letter case
// aside; empty when there is none or the segment cannot be read. For now the reader yields
// DateTime, DateTimeOriginal and UserComment (as ExifComment gives it); other names are empty.
std::string ExifKeyValue(const TExif& record, std::string_view name);
// The text of the first dataset of the record's IPTC segment whose name equals name, letter case
// aside; empty when there is none. No IPTC datasets are read yet, so this is empty for now.
std::string IptcKeyValue(const TExif& record, std::string_view name);

}  // namespace nimbra
