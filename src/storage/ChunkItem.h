// The open chunks and sub-chunks of a chunked stream. Each item knows how its kind of frame begins
// and ends when written and when read; a stack of them keeps nested frames balanced.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

namespace nimbra {

class TCSFStream;

// The 12-byte header in front of every chunk.
struct TChunkHeader {
  char Magic[4] = {'C', 'H', 'N', 'K'};
  int32_t Id = 0;
  int32_t Length = 0;  // including the 12 header bytes
};

class TChunkItem {
 public:
  virtual ~TChunkItem() = default;
  virtual void BeginWrite(TCSFStream& stream) = 0;
  virtual void EndWrite(TCSFStream& stream) = 0;
  virtual void BeginRead(TCSFStream& stream) = 0;
  // Leaves the frame: the position moves behind it, whatever was read of its body.
  virtual void EndRead(TCSFStream& stream);

  int64_t Start = 0;
  int32_t Length = 0;
};

// A 4-byte length (counting itself) followed by the payload.
class TSubChunkItem : public TChunkItem {
 public:
  void BeginWrite(TCSFStream& stream) override;
  void EndWrite(TCSFStream& stream) override;
  void BeginRead(TCSFStream& stream) override;
};

// A typed chunk: "CHNK", id, length.
class TCSFChunkItem : public TChunkItem {
 public:
  explicit TCSFChunkItem(int32_t id = 0) : Id(id) {}
  void BeginWrite(TCSFStream& stream) override;
  void EndWrite(TCSFStream& stream) override;
  void BeginRead(TCSFStream& stream) override;

  TChunkHeader Header;
  int32_t Id;
};

// An owning stack of open frames, all written or all read.
class TChunkStack {
 public:
  enum class Direction { Writing, Reading };
  explicit TChunkStack(Direction direction) : direction_(direction) {}

  // Runs the item's begin operation, then keeps it on top.
  TChunkItem& Push(TCSFStream& stream, std::unique_ptr<TChunkItem> item);
  // Runs the top item's end operation and removes it, also when the end operation raises.
  void Pop(TCSFStream& stream);
  bool Empty() const { return items_.empty(); }
  size_t Count() const { return items_.size(); }
  TChunkItem& Top() { return *items_.back(); }
  void Clear() { items_.clear(); }

 private:
  Direction direction_;
  std::vector<std::unique_ptr<TChunkItem>> items_;
};

}  // namespace nimbra
