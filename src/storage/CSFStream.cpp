#include "storage/CSFStream.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <new>

#include "storage/CSFError.h"
#include "storage/ClassRegistry.h"
#include "storage/FileStream.h"
#include "storage/PartialStream.h"
#include "storage/StreamErrors.h"
#include "storage/Windows1252.h"

namespace nimbra {

namespace {

constexpr char kHeaderMagic[4] = {'K', 'R', 'V', 'X'};
constexpr char kChunkMagic[4] = {'C', 'H', 'N', 'K'};
constexpr int32_t kLastVersionWithout64BitSize = 65537;

// Releases a stream without raising: the destructor calls it, and a destructor must not raise
// while an exception may already be on its way.
void ReleaseQuietly(TCSFStream& stream) {
  try {
    stream.Release();
  } catch (...) {
  }
}

}  // namespace

TCSFStream::TCSFStream(TStream& base, CSFMode mode) : base_(&base), mode_(mode) { Open(); }

TCSFStream::TCSFStream(std::unique_ptr<TStream> base, CSFMode mode)
    : ownedBase_(std::move(base)), base_(ownedBase_.get()), mode_(mode) {
  Open();
}

TCSFStream::~TCSFStream() {
  if (!released_) ReleaseQuietly(*this);
}

void TCSFStream::Open() {
  switch (mode_) {
    case CSFMode::Create:
      SetPosition(0);
      WriteHeader();
      break;
    case CSFMode::Read:
    case CSFMode::Update:
      SetPosition(0);
      ReadHeader();
      break;
    default: break;
  }
}

void TCSFStream::Release() {
  if (released_) return;
  released_ = true;
  // 1. close what writers left open, innermost first; 2. forget open reads; 3. rewrite the header
  while (!writtenSubChunks_.Empty()) writtenSubChunks_.Pop(*this);
  while (!writtenChunks_.Empty()) writtenChunks_.Pop(*this);
  readSubChunks_.Clear();
  readChunks_.Clear();
  const bool rewrites = mode_ == CSFMode::Create || mode_ == CSFMode::Update;
  if (rewrites && (runningCount_ > 0 || base_->Size() > 0)) WriteHeader();
  if (rewrites || mode_ == CSFMode::Headerless) base_->Flush();
  ownedBase_.reset();
}

std::string TCSFStream::ErrorText(int code) { return CSFErrorText(code); }

void TCSFStream::RaiseError(int code) { throw ECSFError(code); }

int64_t TCSFStream::Position() {
  if (mode_ == CSFMode::Closed) return -1;
  return base_->Position();
}

void TCSFStream::SetPosition(int64_t position) {
  if (mode_ == CSFMode::Closed) return;
  base_->SetPosition(position);
}

void TCSFStream::SeekToEnd() {
  if (mode_ == CSFMode::Closed) return;
  base_->Seek(0, SeekOrigin::End);
}

bool TCSFStream::AtEnd() { return Position() == base_->Size(); }

void TCSFStream::WriteHeader() {
  if (mode_ == CSFMode::Closed) return;
  const int64_t remembered = Position();
  header_.ChunkCount = runningCount_;
  header_.Size64 = base_->Size();
  header_.Size32 = static_cast<int32_t>(static_cast<uint32_t>(header_.Size64));
  SetPosition(0);
  WriteBuffer(header_.Magic, 4);
  WriteInteger(header_.Size32);
  WriteInteger(header_.Version);
  WriteInteger(header_.FileType);
  WriteInteger(header_.ChunkCount);
  WriteInteger(header_.FileVersion);
  WriteInt64(header_.Size64);
  if (remembered != 0) SetPosition(remembered);
}

void TCSFStream::ReadHeader() {
  TCSFHeader header;
  ReadBuffer(header.Magic, 4);
  if (std::memcmp(header.Magic, kHeaderMagic, 4) != 0) RaiseError(kCSFNoCSFFile);
  header.Size32 = ReadInteger();
  header.Version = ReadInteger();
  header.FileType = ReadInteger();
  header.ChunkCount = ReadInteger();
  header.FileVersion = ReadInteger();
  header.Size64 = ReadInt64();
  if (header.Version <= kLastVersionWithout64BitSize) header.Size64 = header.Size32;
  header_ = header;
  runningCount_ = header_.ChunkCount;
}

int64_t TCSFStream::WriteChunkPlaceholder() {
  const int64_t position = Position();
  WriteBuffer(kChunkMagic, 4);
  WriteInteger(0);
  WriteInteger(0);
  return position;
}

void TCSFStream::WriteChunkHeader(int32_t id, int64_t length) {
  WriteBuffer(kChunkMagic, 4);
  WriteInteger(id);
  WriteInteger(static_cast<int32_t>(static_cast<uint32_t>(length)));
}

TChunkHeader TCSFStream::ReadChunkHeader() {
  const int64_t limit = ContainerEnd();
  const int64_t start = Position();
  TChunkHeader header;
  ReadBuffer(header.Magic, 4);
  if (std::memcmp(header.Magic, kChunkMagic, 4) != 0) RaiseError(kCSFWrongChunkHeader);
  header.Id = ReadInteger();
  header.Length = ReadInteger();
  // A length that cannot hold its own header or reaches past the data is no chunk header either;
  // trusting it would send readers backwards or beyond the end.
  if (header.Length < kChunkHeaderSize || start + header.Length > limit) {
    RaiseError(kCSFWrongChunkHeader);
  }
  return header;
}

int64_t TCSFStream::DistanceFrom(int64_t position) { return Position() - position; }

void TCSFStream::BeginChunk(int32_t id) {
  writtenChunks_.Push(*this, std::make_unique<TCSFChunkItem>(id));
}

void TCSFStream::EndChunk() { writtenChunks_.Pop(*this); }

TChunkHeader TCSFStream::BeginReadChunk() {
  auto& item = static_cast<TCSFChunkItem&>(
      readChunks_.Push(*this, std::make_unique<TCSFChunkItem>()));
  return item.Header;
}

void TCSFStream::EndReadChunk() { readChunks_.Pop(*this); }

void TCSFStream::BeginSubChunk() { writtenSubChunks_.Push(*this, std::make_unique<TSubChunkItem>()); }

void TCSFStream::EndSubChunk() { writtenSubChunks_.Pop(*this); }

int32_t TCSFStream::BeginReadSubChunk() {
  return readSubChunks_.Push(*this, std::make_unique<TSubChunkItem>()).Length - 4;
}

void TCSFStream::EndReadSubChunk() { readSubChunks_.Pop(*this); }

bool TCSFStream::MoreInSubChunk() {
  if (readSubChunks_.Empty()) return false;
  const TChunkItem& top = readSubChunks_.Top();
  return Position() < top.Start + top.Length;
}

int64_t TCSFStream::ContainerEnd() {
  int64_t end = base_->Size();
  if (!readChunks_.Empty()) end = std::min(end, readChunks_.Top().Start + readChunks_.Top().Length);
  if (!readSubChunks_.Empty()) {
    end = std::min(end, readSubChunks_.Top().Start + readSubChunks_.Top().Length);
  }
  return end;
}

int64_t TCSFStream::RemainingInContainer() {
  return std::max<int64_t>(ContainerEnd() - Position(), 0);
}

std::unique_ptr<TCSFStream> TCSFStream::CreateSameClass(std::unique_ptr<TStream> base,
                                                        CSFMode mode) const {
  return std::make_unique<TCSFStream>(std::move(base), mode);
}

std::unique_ptr<TCSFStream> TCSFStream::OpenNestedStream(NestedKind kind, bool growable) {
  try {
    const int64_t at = Position();
    switch (kind) {
      case NestedKind::Headerless: {
        auto nested = CreateSameClass(
            std::make_unique<TPartialStream>(*base_, at, 0, false, growable), CSFMode::Headerless);
        nested->header_ = header_;
        nested->header_.ChunkCount = 0;
        nested->runningCount_ = 0;
        return nested;
      }
      case NestedKind::Read: {
        auto window = std::make_unique<TPartialStream>(*base_, at, kCSFHeaderSize, true, growable);
        TPartialStream& view = *window;
        auto nested = CreateSameClass(std::move(window), CSFMode::Read);
        view.SetSize(nested->HeaderSize());
        return nested;
      }
      case NestedKind::Write: {
        auto nested = CreateSameClass(
            std::make_unique<TPartialStream>(*base_, at, 0, false, growable), CSFMode::Create);
        nested->header_.FileType = header_.FileType;
        nested->header_.FileVersion = header_.FileVersion;
        nested->runningCount_ = 0;
        return nested;
      }
    }
  } catch (const ENimbraError&) {
  } catch (const std::bad_alloc&) {
  }
  return nullptr;
}

void TCSFStream::CloseNestedStream(std::unique_ptr<TCSFStream>& nested, bool release) {
  if (!nested) return;
  if (auto* window = dynamic_cast<TPartialStream*>(&nested->BaseStream())) {
    SetPosition(window->Offset() + window->Size());
  }
  if (release) {
    nested->Release();
    nested.reset();
  }
}

uint64_t TCSFStream::ReadLittleEndian(int bytes) {
  unsigned char data[8] = {};
  ReadBuffer(data, bytes);
  uint64_t value = 0;
  for (int i = bytes - 1; i >= 0; --i) value = (value << 8) | data[i];
  return value;
}

void TCSFStream::WriteLittleEndian(uint64_t value, int bytes) {
  unsigned char data[8];
  for (int i = 0; i < bytes; ++i) data[i] = static_cast<unsigned char>(value >> (8 * i));
  WriteBuffer(data, bytes);
}

uint8_t TCSFStream::ReadByte() { return static_cast<uint8_t>(ReadLittleEndian(1)); }
void TCSFStream::WriteInteger(int32_t value) { WriteLittleEndian(static_cast<uint32_t>(value), 4); }
int32_t TCSFStream::ReadInteger() { return static_cast<int32_t>(ReadLittleEndian(4)); }
void TCSFStream::WriteCardinal(uint32_t value) { WriteLittleEndian(value, 4); }
uint32_t TCSFStream::ReadCardinal() { return static_cast<uint32_t>(ReadLittleEndian(4)); }
void TCSFStream::WriteInt64(int64_t value) { WriteLittleEndian(static_cast<uint64_t>(value), 8); }
int64_t TCSFStream::ReadInt64() { return static_cast<int64_t>(ReadLittleEndian(8)); }

void TCSFStream::WriteSingle(float value) { WriteLittleEndian(std::bit_cast<uint32_t>(value), 4); }
float TCSFStream::ReadSingle() {
  return std::bit_cast<float>(static_cast<uint32_t>(ReadLittleEndian(4)));
}
void TCSFStream::WriteDouble(double value) { WriteLittleEndian(std::bit_cast<uint64_t>(value), 8); }
double TCSFStream::ReadDouble() { return std::bit_cast<double>(ReadLittleEndian(8)); }

void TCSFStream::WriteString(std::string_view text) {
  const std::string bytes = Utf8ToWindows1252(text);
  WriteInteger(static_cast<int32_t>(bytes.size()));
  WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
}

std::string TCSFStream::ReadString() {
  const int32_t length = ReadInteger();
  if (length <= 0) return {};
  CheckAvailable(length);
  std::string bytes(static_cast<size_t>(length), '\0');
  ReadBuffer(bytes.data(), length);
  return Windows1252ToUtf8(bytes);
}

void TCSFStream::WriteBuffer(const void* buffer, int64_t count) { base_->WriteBuffer(buffer, count); }

void TCSFStream::ReadBuffer(void* buffer, int64_t count) { base_->ReadBuffer(buffer, count); }

void TCSFStream::CheckAvailable(int64_t count) {
  if (count > base_->Remaining()) throw EReadError();
}

void TCSFStream::WriteClassName(const TObject* object) {
  WriteString(object != nullptr ? std::string_view(object->ClassName()) : std::string_view());
}

const TMetaClass* TCSFStream::ReadClass() { return GetClass(ReadClassName()); }

std::unique_ptr<TStream> OpenCSFFileStream(const std::string& fileName, CSFMode mode) {
  switch (mode) {
    case CSFMode::Create: return std::make_unique<TFileStream>(fileName, FileMode::Create);
    case CSFMode::Update: return std::make_unique<TFileStream>(fileName, FileMode::OpenReadWrite);
    default: return std::make_unique<TFileStream>(fileName, FileMode::OpenRead);
  }
}

TCSFFile::TCSFFile(const std::string& fileName, CSFMode mode)
    : TCSFStream(OpenCSFFileStream(fileName, mode), mode) {}

}  // namespace nimbra
