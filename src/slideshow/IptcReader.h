// Reads the IPTC datasets of a stored APP13 segment: the "Photoshop 3.0" resource blocks, the one
// with id 0x0404, and the datasets inside it. The segment comes from a file anyone could have
// written, so every length is checked against what remains before anything is read.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace nimbra {

struct TIptcDataset {
  // The name of the IPTC key table.
  std::string_view Name;
  std::string Value;
};

// The named datasets of a segment as the record keeps it (its two-byte length field and the
// payload), in the order met; datasets the table does not name are left out. Text is UTF-8 when
// record 1 declares UTF-8 (dataset 1:90), otherwise UTF-8 when it is valid UTF-8 and else
// Windows-1252; the record version (2:0) is a number. Empty when the segment holds no datasets;
// a dataset cut short ends the list.
std::vector<TIptcDataset> ReadIptcDatasets(std::string_view segment);

// The value of the first dataset whose name equals `name` without regard to case (the variable's
// key without its "IPTC"); empty when there is none.
std::string IptcValueText(std::string_view segment, std::string_view name);

}  // namespace nimbra
