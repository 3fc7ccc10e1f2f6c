#include "slideshow/MediaArchive.h"

#include <algorithm>
#include <charconv>
#include <new>

#include "storage/CSFStream.h"
#include "storage/FalseOnFailure.h"
#include "storage/FileAccess.h"
#include "storage/FileStream.h"
#include "storage/Windows1252.h"

namespace nimbra {

namespace {

// The embedded file's bytes as a stream that keeps the archive alive.
class TEmbeddedDataStream : public TStream {
 public:
  explicit TEmbeddedDataStream(std::unique_ptr<TEmbeddedFile> file) : file_(std::move(file)) {}
  int64_t Read(void* buffer, int64_t count) override { return file_->Data().Read(buffer, count); }
  int64_t Write(const void*, int64_t) override { return 0; }
  int64_t Seek(int64_t offset, SeekOrigin origin) override {
    return file_->Data().Seek(offset, origin);
  }
  int64_t GetSize() override { return file_->Data().Size(); }
  void SetSize(int64_t) override {}

 private:
  std::unique_ptr<TEmbeddedFile> file_;
};

// Lends the picture readers the one embedded file, under its own name, once.
class TEmbeddedFileAccess : public IFileAccess {
 public:
  TEmbeddedFileAccess(std::string name, std::unique_ptr<TStream> data)
      : name_(std::move(name)), data_(std::move(data)) {}
  std::unique_ptr<TStream> OpenFile(std::string_view name) override {
    return name == name_ ? std::move(data_) : nullptr;
  }
  bool FileExists(std::string_view name) override { return name == name_ && data_ != nullptr; }

 private:
  std::string name_;
  std::unique_ptr<TStream> data_;
};

std::unique_ptr<TStream> OpenArchiveStream(const std::string& path) {
  if (path.empty()) return nullptr;
  // Through the file access when there is one, so an archive inside a package opens too.
  if (std::shared_ptr<IFileAccess> access = FileAccess()) return access->OpenFile(path);
  return ResultOnFailure<std::unique_ptr<TStream>>(
      nullptr, [&] { return std::make_unique<TFileStream>(path, FileMode::OpenRead); });
}

}  // namespace

std::string ScrambleBytes(std::string_view bytes) {
  std::string result(bytes);
  for (char& c : result) c = static_cast<char>(static_cast<unsigned char>(c) + 128u);
  return result;
}

std::string ScrambleText(std::string_view text) {
  return Windows1252ToUtf8(ScrambleBytes(Utf8ToWindows1252(text)));
}

std::optional<TArchiveReference> ParseArchiveReference(std::string_view storedName) {
  if (storedName.empty() || storedName.front() != '?') return std::nullopt;
  const std::string bytes = Utf8ToWindows1252(storedName);
  const size_t second = bytes.find('?', 1);
  if (second == std::string::npos) return std::nullopt;
  const std::string digits = ScrambleBytes(std::string_view(bytes).substr(second + 1));
  TArchiveReference reference;
  const char* end = digits.data() + digits.size();
  const auto parsed = std::from_chars(digits.data(), end, reference.Offset);
  const bool allDigits =
      std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; });
  if (digits.empty() || !allDigits || parsed.ec != std::errc() || parsed.ptr != end) {
    return std::nullopt;
  }
  reference.ArchiveName =
      Windows1252ToUtf8(ScrambleBytes(std::string_view(bytes).substr(1, second - 1)));
  return reference;
}

bool IsArchiveReference(std::string_view storedName) {
  return ParseArchiveReference(storedName).has_value();
}

std::string MakeArchiveReference(const TArchiveReference& reference) {
  std::string text = "?";
  text += ScrambleText(reference.ArchiveName);
  text += '?';
  text += ScrambleText(std::to_string(reference.Offset));
  return text;
}

TEmbeddedFile::TEmbeddedFile(std::string name, std::unique_ptr<TStream> archive, int64_t offset,
                             int64_t size)
    : name_(std::move(name)),
      archive_(std::move(archive)),
      window_(*archive_, offset, size, true) {}

std::unique_ptr<TStream> TEmbeddedFile::TakeData(std::unique_ptr<TEmbeddedFile> file) {
  if (!file) return nullptr;
  return std::make_unique<TEmbeddedDataStream>(std::move(file));
}

std::unique_ptr<TEmbeddedFile> OpenEmbeddedFile(const std::string& archivePath, int64_t offset) {
  return OpenEmbeddedFile(OpenArchiveStream(archivePath), offset);
}

std::unique_ptr<TEmbeddedFile> OpenEmbeddedFile(std::unique_ptr<TStream> archive, int64_t offset) {
  if (!archive) return nullptr;
  try {
    std::string name;
    int64_t dataStart = 0;
    int64_t chunkEnd = 0;
    {
      // 2. the archive's header
      TCSFStream stream(*archive, CSFMode::Read);
      if (stream.FileType() != kMediaArchiveFileType ||
          stream.FileVersion() <= kMediaArchiveOldestVersion) {
        return nullptr;
      }
      // 3. the chunk at the offset, which must lie among the archive's chunks
      if (offset < kCSFHeaderSize || offset > archive->Size() - kChunkHeaderSize) return nullptr;
      stream.SetPosition(offset);
      const TChunkHeader header = stream.ReadChunkHeader();
      if (header.Id != kEmbeddedFileChunkId) return nullptr;
      chunkEnd = offset + header.Length;
      // 4. the file's own name and a byte nothing here uses
      name = ScrambleText(stream.ReadString());
      stream.ReadByte();
      dataStart = stream.Position();
      stream.Release();
    }
    // 5. the bytes up to the end of the chunk
    return std::make_unique<TEmbeddedFile>(std::move(name), std::move(archive), dataStart,
                                           std::max<int64_t>(chunkEnd - dataStart, 0));
  } catch (const ENimbraError&) {
    return nullptr;
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

std::unique_ptr<TGraphic> LoadEmbeddedPicture(std::unique_ptr<TEmbeddedFile> file) {
  if (!file) return nullptr;
  const std::string name = file->Name();
  if (!FindPictureFormat(FileExtension(name))) {
    throw EMediaArchiveError("Falsches Dateiformat: " + name);
  }
  TEmbeddedFileAccess access(name, TEmbeddedFile::TakeData(std::move(file)));
  return LoadGraphic(access, name);
}

int64_t WriteEmbeddedFile(TCSFStream& archive, std::string_view name, std::string_view bytes) {
  const int64_t offset = archive.Position();
  archive.BeginChunk(kEmbeddedFileChunkId);
  archive.WriteString(ScrambleText(name));
  archive.WriteByte(0);
  archive.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
  archive.EndChunk();
  return offset;
}

}  // namespace nimbra
