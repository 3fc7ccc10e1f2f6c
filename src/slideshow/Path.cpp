#include "slideshow/Path.h"

#include "storage/CSFStream.h"
#include "storage/StreamErrors.h"

namespace nimbra {

std::string TPath::ToText() const {
  std::string text;
  for (size_t level = 0; level < indices_.size(); ++level) {
    if (level > 0) text += '.';
    text += std::to_string(static_cast<int64_t>(indices_[level]) + 1);
  }
  return text;
}

void TPath::WriteToStream(TCSFStream& stream) const {
  stream.WriteInteger(Count());
  for (int32_t index : indices_) stream.WriteInteger(index);
}

void TPath::ReadFromStream(TCSFStream& stream) {
  const int32_t count = stream.ReadInteger();
  if (count < 0 || static_cast<int64_t>(count) * 4 > stream.RemainingInContainer()) {
    throw EReadError();
  }
  std::vector<int32_t> indices(static_cast<size_t>(count));
  for (int32_t& index : indices) index = stream.ReadInteger();
  indices_ = std::move(indices);
}

}  // namespace nimbra
