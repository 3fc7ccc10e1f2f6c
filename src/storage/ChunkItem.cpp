#include "storage/ChunkItem.h"

#include "storage/CSFError.h"
#include "storage/CSFStream.h"

namespace nimbra {

void TChunkItem::EndRead(TCSFStream& stream) { stream.SetPosition(Start + Length); }

void TSubChunkItem::BeginWrite(TCSFStream& stream) {
  Start = stream.Position();
  stream.WriteInteger(0);
}

void TSubChunkItem::EndWrite(TCSFStream& stream) {
  const int64_t end = stream.Position();
  Length = static_cast<int32_t>(end - Start);
  stream.SetPosition(Start);
  stream.WriteInteger(Length);
  stream.SetPosition(end);
}

void TSubChunkItem::BeginRead(TCSFStream& stream) {
  const int64_t limit = stream.ContainerEnd();
  Start = stream.Position();
  Length = stream.ReadInteger();
  if (Length < 4 || Start + Length > limit) TCSFStream::RaiseError(kCSFReadError);
}

void TCSFChunkItem::BeginWrite(TCSFStream& stream) { Start = stream.WriteChunkPlaceholder(); }

void TCSFChunkItem::EndWrite(TCSFStream& stream) {
  const int64_t end = stream.Position();
  Length = static_cast<int32_t>(end - Start);
  stream.SetPosition(Start);
  stream.WriteChunkHeader(Id, Length);
  stream.CountChunk();
  stream.SetPosition(end);
}

void TCSFChunkItem::BeginRead(TCSFStream& stream) {
  Start = stream.Position();
  Header = stream.ReadChunkHeader();
  Id = Header.Id;
  Length = Header.Length;
}

TChunkItem& TChunkStack::Push(TCSFStream& stream, std::unique_ptr<TChunkItem> item) {
  if (direction_ == Direction::Writing) {
    item->BeginWrite(stream);
  } else {
    item->BeginRead(stream);
  }
  items_.push_back(std::move(item));
  return *items_.back();
}

void TChunkStack::Pop(TCSFStream& stream) {
  if (items_.empty()) return;
  std::unique_ptr<TChunkItem> item = std::move(items_.back());
  items_.pop_back();
  if (direction_ == Direction::Writing) {
    item->EndWrite(stream);
  } else {
    item->EndRead(stream);
  }
}

}  // namespace nimbra
