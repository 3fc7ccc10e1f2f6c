// Where an object sits in a slideshow's tree: its index in each list from the root list down.
// Change records and undo snapshots keep objects by path, since objects move and get replaced.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace nimbra {

class TCSFStream;

class TPath {
 public:
  TPath() = default;
  TPath(std::initializer_list<int32_t> indices) : indices_(indices) {}
  explicit TPath(std::vector<int32_t> indices) : indices_(std::move(indices)) {}

  int32_t Count() const { return static_cast<int32_t>(indices_.size()); }
  bool Empty() const { return indices_.empty(); }
  // Raises std::out_of_range outside the path.
  int32_t Items(int32_t level) const { return indices_.at(static_cast<size_t>(level)); }
  // The index in the innermost list.
  int32_t Last() const { return indices_.back(); }
  void Add(int32_t index) { indices_.push_back(index); }
  // Puts an enclosing level in front.
  void Prepend(int32_t index) { indices_.insert(indices_.begin(), index); }
  const std::vector<int32_t>& Indices() const { return indices_; }

  // Each index + 1, joined with ".".
  std::string ToText() const;

  // Stored form: a 32-bit count, then each index as a 32-bit integer.
  void WriteToStream(TCSFStream& stream) const;
  // Raises the stream's errors; a count that the remaining bytes cannot hold is a read error.
  void ReadFromStream(TCSFStream& stream);

  bool operator==(const TPath&) const = default;

 private:
  std::vector<int32_t> indices_;
};

}  // namespace nimbra
