// The change records of a document: which object changed, was inserted or removed, with its path at
// that moment, so that views can follow edits without comparing trees.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "slideshow/Path.h"

namespace nimbra {

class TSlideShowObject;

enum class TUpdateKind : int32_t { Changed = 0, Inserted = 2, Removed = 3 };

struct TUpdateRecord {
  // Identifies the object; it may be gone by the time the record is read, so readers go by Path.
  const TSlideShowObject* Object = nullptr;
  TUpdateKind Kind = TUpdateKind::Changed;
  int32_t Extra = 0;
  int16_t ChangeCode = 0;
  TPath Path;
};

class TUpdateList {
 public:
  int32_t Count() const { return static_cast<int32_t>(records_.size()); }
  bool Empty() const { return records_.empty(); }
  // Raises std::out_of_range outside the list.
  const TUpdateRecord& Items(int32_t index) const { return records_.at(static_cast<size_t>(index)); }
  void Add(TUpdateRecord record) { records_.push_back(std::move(record)); }
  // Records the object as it stands now: its path is taken at once.
  void Add(const TSlideShowObject& object, TUpdateKind kind, int32_t extra, int16_t changeCode);
  // Raises std::out_of_range outside the list.
  void Delete(int32_t index);
  void Clear() { records_.clear(); }

 private:
  std::vector<TUpdateRecord> records_;
};

}  // namespace nimbra
