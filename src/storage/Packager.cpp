#include "storage/Packager.h"

#include <cstring>
#include <new>

#include "storage/AtomicFile.h"
#include "storage/FalseOnFailure.h"
#include "storage/FileStream.h"
#include "storage/PartialStream.h"
#include "storage/StreamErrors.h"

namespace nimbra {

namespace {

constexpr char kTrailerMagic[4] = {'E', 'P', 'K', 'G'};

}  // namespace

TPackager::TPackager() { RegisterStorageClasses(); }

TPackager::~TPackager() { Close(); }

bool TPackager::Fail(const std::string& why) {
  lastError_ = why;
  return false;
}

int64_t TPackager::PackageLength() {
  // Behind an executable the package runs to the end of the file, trailer included; the window
  // it is read through stops before the trailer's last field.
  if (executable_) return executable_->Size() - startOffset_;
  return source_ != nullptr ? source_->Size() : 0;
}

// ---- writing ----

bool TPackager::CreatePackageFile(const std::string& fileName) {
  Close();
  try {
    packageFile_ = std::make_unique<TFileStream>(fileName, FileMode::Create);
  } catch (const ENimbraError& error) {
    return Fail(error.what());
  } catch (const std::bad_alloc& error) {
    return Fail(error.what());
  }
  if (CreatePackageStream(*packageFile_)) return true;
  packageFile_.reset();
  return false;
}

bool TPackager::CreatePackageStream(TStream& stream) {
  if (&stream != packageFile_.get()) Close();
  try {
    StartWriting(stream);
  } catch (const ENimbraError& error) {
    ReleaseAll();
    return Fail(error.what());
  } catch (const std::bad_alloc& error) {
    ReleaseAll();
    return Fail(error.what());
  }
  state_ = PackagerState::Creating;
  return true;
}

void TPackager::StartWriting(TStream& stream) {
  source_ = &stream;
  csf_ = std::make_unique<TCSFStreamWinTypes>(stream, CSFMode::Create);
  csf_->SetFileType(kPackageFileType);
  csf_->SetFileVersion(kPackageFileVersion);
}

bool TPackager::AppendToExecutable(const std::string& fileName) {
  Close();
  try {
    executable_ = std::make_unique<TFileStream>(fileName, FileMode::OpenReadWrite);
    startOffset_ = executable_->Size();
    window_ = std::make_unique<TPartialStream>(*executable_, startOffset_, 0, false, true);
    StartWriting(*window_);
  } catch (const ENimbraError& error) {
    ReleaseAll();
    return Fail(error.what());
  } catch (const std::bad_alloc& error) {
    ReleaseAll();
    return Fail(error.what());
  }
  state_ = PackagerState::Appending;
  return true;
}

bool TPackager::CanAdd() {
  if (state_ != PackagerState::Creating && state_ != PackagerState::Appending) {
    return Fail("the package is not open for writing");
  }
  if (pendingEntry_) return Fail("a streamed file is still being added");
  return true;
}

bool TPackager::AddFile(const std::string& fileName,
                        std::unique_ptr<TPackageFileListItem> record) {
  if (!CanAdd()) return false;
  try {
    TFileStream file(fileName, FileMode::OpenRead);
    if (!record) record = std::make_unique<TPackageFileListItem>(fileName);
    return AddStream(file, std::move(record));
  } catch (const ENimbraError& error) {
    return Fail(error.what());
  } catch (const std::bad_alloc& error) {
    return Fail(error.what());
  }
}

int TPackager::AddFiles(const std::vector<std::string>& fileNames) {
  int added = 0;
  for (const std::string& fileName : fileNames) {
    if (AddFile(fileName)) ++added;
  }
  return added;
}

bool TPackager::AddStream(TStream& stream, std::unique_ptr<TPackageFileListItem> record) {
  if (!CanAdd() || !record) return false;
  try {
    WriteFileData(stream, *record);
    WriteFileRecord(*record);
  } catch (const ENimbraError& error) {
    return Fail(error.what());
  } catch (const std::bad_alloc& error) {
    return Fail(error.what());
  }
  directory_.Add(std::move(record));
  return true;
}

void TPackager::WriteFileData(TStream& stream, TPackageFileListItem& record) {
  const int64_t header = csf_->WriteChunkPlaceholder();
  record.Offset = header + kChunkHeaderSize;
  record.Size = stream.Size();
  csf_->BaseStream().CopyFrom(stream, 0);
  const int64_t length = csf_->DistanceFrom(header);
  csf_->SetPosition(header);
  csf_->WriteChunkHeader(kPackageDataChunk, length);
  csf_->CountChunk();
  csf_->SeekToEnd();
}

void TPackager::WriteFileRecord(TPackageFileListItem& record) {
  const int64_t header = csf_->WriteChunkPlaceholder();
  csf_->WriteClassName(&record);
  if (!record.WriteToStream(*csf_)) throw EWriteError("Cannot write the record of " + record.FileName);
  const int64_t length = csf_->DistanceFrom(header);
  csf_->SetPosition(header);
  csf_->WriteChunkHeader(kPackageRecordChunk, length);
  csf_->CountChunk();
  csf_->SeekToEnd();
}

TStream* TPackager::BeginFile(std::unique_ptr<TPackageFileListItem> record) {
  if (!CanAdd() || !record) return nullptr;
  try {
    pendingHeader_ = csf_->WriteChunkPlaceholder();
    record->Offset = pendingHeader_ + kChunkHeaderSize;
    pendingEntry_ = std::make_unique<TPartialStream>(csf_->BaseStream(), record->Offset, 0, false,
                                                     true);
  } catch (const ENimbraError& error) {
    Fail(error.what());
    return nullptr;
  } catch (const std::bad_alloc& error) {
    Fail(error.what());
    return nullptr;
  }
  pendingRecord_ = std::move(record);
  return pendingEntry_.get();
}

bool TPackager::EndFile() {
  if (!pendingEntry_) return Fail("no streamed file is being added");
  std::unique_ptr<TPartialStream> entry = std::move(pendingEntry_);
  std::unique_ptr<TPackageFileListItem> record = std::move(pendingRecord_);
  try {
    record->Size = entry->Size();
    csf_->SetPosition(pendingHeader_);
    csf_->WriteChunkHeader(kPackageDataChunk, kChunkHeaderSize + record->Size);
    csf_->CountChunk();
    csf_->SetPosition(record->Offset + record->Size);
    WriteFileRecord(*record);
  } catch (const ENimbraError& error) {
    return Fail(error.what());
  } catch (const std::bad_alloc& error) {
    return Fail(error.what());
  }
  directory_.Add(std::move(record));
  return true;
}

void TPackager::WriteTrailer() {
  csf_->SeekToEnd();
  csf_->WriteBuffer(kTrailerMagic, 4);
  csf_->WriteInt64(startOffset_);
  // The window's size now counts everything up to and including the start-offset field.
  csf_->WriteInt64(window_->Size());
}

bool TPackager::Close() {
  bool ok = true;
  try {
    if (pendingEntry_ && !EndFile()) throw EWriteError(lastError_);
    if (state_ == PackagerState::Appending) WriteTrailer();
    if (csf_) csf_->Release();
    if (executable_) executable_->Flush();
    if (packageFile_) packageFile_->Flush();
  } catch (const ENimbraError& error) {
    ok = Fail(error.what());
  } catch (const std::bad_alloc& error) {
    ok = Fail(error.what());
  }
  ReleaseAll();
  return ok;
}

void TPackager::ReleaseAll() noexcept {
  pendingEntry_.reset();
  pendingRecord_.reset();
  csf_.reset();
  window_.reset();
  executable_.reset();
  packageFile_.reset();
  source_ = nullptr;
  directory_.Clear();
  state_ = PackagerState::Closed;
}

// ---- reading ----

bool TPackager::OpenPackageFile(const std::string& fileName) {
  Close();
  try {
    packageFile_ = std::make_unique<TFileStream>(fileName, FileMode::OpenRead);
    OpenOn(*packageFile_);
  } catch (const ENimbraError& error) {
    ReleaseAll();
    return Fail(error.what());
  } catch (const std::bad_alloc& error) {
    ReleaseAll();
    return Fail(error.what());
  }
  state_ = PackagerState::OpenedPackage;
  return true;
}

bool TPackager::OpenPackageStream(TStream& stream) {
  Close();
  try {
    OpenOn(stream);
  } catch (const ENimbraError& error) {
    ReleaseAll();
    return Fail(error.what());
  } catch (const std::bad_alloc& error) {
    ReleaseAll();
    return Fail(error.what());
  }
  state_ = PackagerState::OpenedPackage;
  return true;
}

void TPackager::OpenOn(TStream& stream) {
  source_ = &stream;
  csf_ = std::make_unique<TCSFStreamWinTypes>(stream, CSFMode::Read);
  if (csf_->FileType() != kPackageFileType) {
    throw EReadError("not a package (file type " + std::to_string(csf_->FileType()) + ")");
  }
  ReadDirectory();
}

void TPackager::ReadDirectory() {
  directory_.Clear();
  csf_->SeekToFirstChunk();
  const int32_t count = csf_->ChunkCount();
  for (int32_t i = 0; i < count; ++i) {
    const int64_t chunkStart = csf_->Position();
    const TChunkHeader header = csf_->ReadChunkHeader();
    if (header.Id == kPackageRecordChunk) {
      const std::string className = csf_->ReadClassName();
      const TMetaClass* meta = GetClass(className);
      std::unique_ptr<TPackageFileListItem> record =
          meta != nullptr ? CreateAs<TPackageFileListItem>(*meta) : nullptr;
      if (!record) throw EReadError("unknown record class \"" + className + "\"");
      if (!record->ReadFromStream(*csf_)) throw EReadError("unreadable record " + std::to_string(i));
      directory_.Add(std::move(record));
    }
    csf_->SetPosition(chunkStart + header.Length);
  }
}

bool TPackager::IsPackage(const std::string& fileName) {
  return FalseOnFailure([&] {
    TCSFFile stream(fileName, CSFMode::HeaderlessRead);
    const int64_t size = stream.BaseStream().Size();
    if (size < kPackageTrailerSize) return false;
    stream.SetPosition(size - kPackageTrailerSize);
    char magic[4];
    stream.ReadBuffer(magic, 4);
    return std::memcmp(magic, kTrailerMagic, 4) == 0;
  });
}

bool TPackager::OpenExecutableOrPackageFile(const std::string& fileName) {
  if (!IsPackage(fileName)) return OpenPackageFile(fileName);
  if (OpenExecutable(fileName)) return true;
  const std::string executableError = lastError_;
  if (OpenPackageFile(fileName)) return true;
  lastError_ = executableError;
  return false;
}

bool TPackager::OpenExecutable(const std::string& fileName) {
  Close();
  try {
    // 1. the trailer at the end of the file
    executable_ = std::make_unique<TFileStream>(fileName, FileMode::OpenRead);
    const int64_t size = executable_->Size();
    if (size < kPackageTrailerSize) throw EReadError("no package: the file is too short");
    TCSFStream trailer(*executable_, CSFMode::HeaderlessRead);
    trailer.SetPosition(size - kPackageTrailerSize);
    char magic[4];
    trailer.ReadBuffer(magic, 4);
    if (std::memcmp(magic, kTrailerMagic, 4) != 0) {
      throw EReadError("no package: the file has no \"EPKG\" trailer");
    }
    startOffset_ = trailer.ReadInt64();
    const int64_t length = trailer.ReadInt64();
    if (startOffset_ < 0 || startOffset_ > size - kPackageTrailerSize) {
      throw EReadError("broken package trailer: start offset " + std::to_string(startOffset_) +
                       " lies outside the file");
    }
    // 2. the window on the package; 3. the package itself
    window_ = std::make_unique<TPartialStream>(*executable_, startOffset_, length, true);
    OpenOn(*window_);
  } catch (const ENimbraError& error) {
    ReleaseAll();
    return Fail(error.what());
  } catch (const std::bad_alloc& error) {
    ReleaseAll();
    return Fail(error.what());
  }
  state_ = PackagerState::OpenedExecutable;
  return true;
}

std::unique_ptr<TStream> TPackager::OpenEntry(std::string_view name) {
  const TPackageFileListItem* record = directory_.FindByName(name);
  return record != nullptr ? OpenEntryStream(*record) : nullptr;
}

std::unique_ptr<TStream> TPackager::OpenEntryStream(const TPackageFileListItem& record) {
  if (source_ == nullptr) return nullptr;
  auto entry = std::make_unique<TPartialStream>(*source_, record.Offset, record.Size, true);
  entry->SetLock(&lock_);
  return entry;
}

std::unique_ptr<TStream> TPackager::OpenEntryByIndex(int index) {
  const TPackageFileListItem* record = directory_.Items(index);
  return record != nullptr ? OpenEntryStream(*record) : nullptr;
}

bool TPackager::Extract(const TPackageFileListItem& record, const std::string& fileName) {
  try {
    std::unique_ptr<TStream> entry = OpenEntryStream(record);
    if (!entry) return Fail("no package is open");
    if (entry->Size() != record.Size) {
      return Fail("\"" + record.FileName + "\" reaches past the end of the package");
    }
    TAtomicFile target(fileName);
    {
      TFileStream out(target.TemporaryName(), FileMode::Create, fileName);
      out.CopyFrom(*entry, 0);
      out.Flush();
    }
    target.Commit();
    return true;
  } catch (const ENimbraError& error) {
    return Fail(error.what());
  } catch (const std::bad_alloc& error) {
    return Fail(error.what());
  }
}

}  // namespace nimbra
