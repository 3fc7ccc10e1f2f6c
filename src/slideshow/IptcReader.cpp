#include "slideshow/IptcReader.h"

#include <cstdint>
#include <optional>

#include "slideshow/MetadataKeys.h"
#include "slideshow/MetadataText.h"
#include "storage/TextCase.h"
#include "storage/Windows1252.h"

namespace nimbra {

namespace {

constexpr std::string_view kSignature("Photoshop 3.0\0", 14);
constexpr std::string_view kResourceMark = "8BIM";
constexpr uint16_t kIptcResource = 0x0404;
constexpr char kDatasetMark = 0x1C;
constexpr uint8_t kEnvelopeRecord = 1;
constexpr uint8_t kCharacterSetDataset = 90;
constexpr uint8_t kApplicationRecord = 2;
constexpr uint8_t kRecordVersionDataset = 0;
constexpr std::string_view kUtf8Declaration = "\x1B%G";

// Big-endian reads, made only where Has said they fit.
class TBigEndianView {
 public:
  explicit TBigEndianView(std::string_view bytes) : bytes_(bytes) {}

  size_t Size() const { return bytes_.size(); }
  bool Has(uint64_t offset, uint64_t count) const {
    return offset <= bytes_.size() && count <= bytes_.size() - offset;
  }
  uint32_t Number(size_t at, size_t width) const {
    uint32_t value = 0;
    for (size_t i = 0; i < width; ++i) value = (value << 8) | static_cast<uint8_t>(bytes_[at + i]);
    return value;
  }
  std::string_view Bytes(size_t at, size_t count) const { return bytes_.substr(at, count); }

 private:
  std::string_view bytes_;
};

// The data of the IPTC resource block: each block is "8BIM", its id, a Pascal name padded to an
// even length, a 32-bit size and the data, padded to an even length.
std::optional<std::string_view> IptcResource(std::string_view segment) {
  if (segment.size() < 2) return std::nullopt;
  const TBigEndianView field(segment);
  const size_t declared = field.Number(0, 2);
  if (declared < 2) return std::nullopt;
  const std::string_view payload = segment.substr(2, declared - 2);
  if (payload.substr(0, kSignature.size()) != kSignature) return std::nullopt;
  const TBigEndianView blocks(payload);
  uint64_t at = kSignature.size();
  while (blocks.Has(at, 8) && blocks.Bytes(at, 4) == kResourceMark) {
    const uint32_t id = blocks.Number(at + 4, 2);
    const uint64_t nameField = (1 + static_cast<uint8_t>(payload[at + 6]) + 1) & ~uint64_t{1};
    const uint64_t sizeAt = at + 6 + nameField;
    if (!blocks.Has(sizeAt, 4)) return std::nullopt;
    const uint64_t size = blocks.Number(sizeAt, 4);
    if (!blocks.Has(sizeAt + 4, size)) return std::nullopt;
    if (id == kIptcResource) return blocks.Bytes(sizeAt + 4, size);
    at = sizeAt + 4 + size + (size & 1);
  }
  return std::nullopt;
}

struct TRawDataset {
  uint8_t Record;
  uint8_t Dataset;
  std::string_view Bytes;
};

// Each dataset is the mark 0x1C, record and dataset numbers and a 16-bit length; a length with its
// top bit set says how many bytes (up to four) the real length takes.
std::vector<TRawDataset> RawDatasets(std::string_view data) {
  const TBigEndianView view(data);
  std::vector<TRawDataset> datasets;
  uint64_t at = 0;
  while (view.Has(at, 5) && data[at] == kDatasetMark) {
    TRawDataset dataset{static_cast<uint8_t>(data[at + 1]), static_cast<uint8_t>(data[at + 2]), {}};
    uint64_t length = view.Number(at + 3, 2);
    at += 5;
    if (length & 0x8000) {
      const uint64_t width = length & 0x7FFF;
      if (width == 0 || width > 4 || !view.Has(at, width)) break;
      length = view.Number(at, width);
      at += width;
    }
    if (!view.Has(at, length)) break;
    dataset.Bytes = view.Bytes(at, length);
    datasets.push_back(dataset);
    at += length;
  }
  return datasets;
}

std::string DeclaredUtf8(std::string_view bytes) {
  std::string text;
  for (size_t i = 0; i < bytes.size();) AppendUtf8(text, NextCodePoint(bytes, i));
  return text;
}

std::string DatasetText(const TRawDataset& dataset, bool utf8) {
  const std::string_view bytes = dataset.Bytes.substr(0, dataset.Bytes.find('\0'));
  if (dataset.Record == kApplicationRecord && dataset.Dataset == kRecordVersionDataset &&
      !dataset.Bytes.empty() && dataset.Bytes.size() <= 4) {
    return std::to_string(TBigEndianView(dataset.Bytes).Number(0, dataset.Bytes.size()));
  }
  return utf8 ? DeclaredUtf8(bytes) : MetadataText(bytes);
}

}  // namespace

std::vector<TIptcDataset> ReadIptcDatasets(std::string_view segment) {
  const std::optional<std::string_view> data = IptcResource(segment);
  if (!data) return {};
  const std::vector<TRawDataset> raw = RawDatasets(*data);
  bool utf8 = false;
  for (const TRawDataset& dataset : raw) {
    if (dataset.Record == kEnvelopeRecord && dataset.Dataset == kCharacterSetDataset) {
      utf8 = dataset.Bytes == kUtf8Declaration;
    }
  }
  std::vector<TIptcDataset> datasets;
  for (const TRawDataset& dataset : raw) {
    const std::string_view name = IptcDatasetName(dataset.Record, dataset.Dataset);
    if (!name.empty()) datasets.push_back({name, DatasetText(dataset, utf8)});
  }
  return datasets;
}

std::string IptcValueText(std::string_view segment, std::string_view name) {
  for (TIptcDataset& dataset : ReadIptcDatasets(segment)) {
    if (SameTextAscii(dataset.Name, name)) return std::move(dataset.Value);
  }
  return {};
}

}  // namespace nimbra
