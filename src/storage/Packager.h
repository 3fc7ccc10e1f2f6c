// Reads and writes packages: sets of files stored as one chunked stream, either as a file of their
// own or appended behind an executable, which finds them again by the 20-byte "EPKG" trailer at
// its end. Each file is a data chunk (id 257) with its bytes, then a record chunk (id 256).
#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "storage/CSFStreamWinTypes.h"
#include "storage/FileList.h"

namespace nimbra {

class TFileStream;
class TPartialStream;

enum class PackagerState {
  Closed = 0,
  OpenedPackage = 1,     // from a package file or stream
  OpenedExecutable = 2,  // from the package behind an executable
  Creating = 3,          // a new package file or stream
  Appending = 4,         // a package being appended to an executable
};

inline constexpr int32_t kPackageFileType = 1296;
inline constexpr int32_t kPackageFileVersion = 256;
inline constexpr int32_t kPackageRecordChunk = 256;
inline constexpr int32_t kPackageDataChunk = 257;
inline constexpr int64_t kPackageTrailerSize = 20;

class TPackager {
 public:
  TPackager();
  ~TPackager();
  TPackager(const TPackager&) = delete;
  TPackager& operator=(const TPackager&) = delete;

  PackagerState State() const { return state_; }
  // The executable's size before its package: the file offset of the package's first byte.
  int64_t StartOffset() const { return startOffset_; }
  const TFileList& Directory() const { return directory_; }
  // Why the last operation that yielded false failed, for people reading a tool's output.
  const std::string& LastError() const { return lastError_; }
  // The chunked stream over the package while one is open.
  TCSFStreamWinTypes* PackageStream() { return csf_.get(); }
  // The package's length in bytes, its trailer included.
  int64_t PackageLength();
  // Entry streams take this lock around every access: one package is read by one thread at a time.
  std::mutex& Lock() { return lock_; }

  // Writing (states 3 and 4).
  bool AddFile(const std::string& fileName, std::unique_ptr<TPackageFileListItem> record = nullptr);
  int AddFiles(const std::vector<std::string>& fileNames);
  bool AddStream(TStream& stream, std::unique_ptr<TPackageFileListItem> record);
  // Streamed adding: the caller writes the file's bytes into the returned stream, then EndFile
  // stores the same data and record chunks as AddStream would. None when nothing can be added.
  TStream* BeginFile(std::unique_ptr<TPackageFileListItem> record);
  bool EndFile();
  bool CreatePackageFile(const std::string& fileName);
  bool CreatePackageStream(TStream& stream);
  bool AppendToExecutable(const std::string& fileName);
  // Finishes a package being written (trailer, header) and releases everything; the packager ends
  // closed whether or not that succeeds.
  bool Close();

  // Reading (states 1 and 2).
  bool OpenPackageFile(const std::string& fileName);
  bool OpenPackageStream(TStream& stream);
  bool OpenExecutable(const std::string& fileName);
  // The package an executable carries, or else the file as a plain package (whose trailer is also
  // its file's last bytes). When a file with a trailer is neither, LastError is the executable's
  // reason, which names what is wrong with the trailer.
  bool OpenExecutableOrPackageFile(const std::string& fileName);
  // True when the file ends with a package trailer.
  static bool IsPackage(const std::string& fileName);
  std::unique_ptr<TStream> OpenEntry(std::string_view name);
  std::unique_ptr<TStream> OpenEntryStream(const TPackageFileListItem& record);
  std::unique_ptr<TStream> OpenEntryByIndex(int index);
  // Copies the entry into a disk file (replacing one that exists); never leaves a partial file.
  bool Extract(const TPackageFileListItem& record, const std::string& fileName);

 private:
  bool Fail(const std::string& why);
  bool CanAdd();
  void OpenOn(TStream& stream);
  void StartWriting(TStream& stream);
  void ReadDirectory();
  void WriteFileData(TStream& stream, TPackageFileListItem& record);
  void WriteFileRecord(TPackageFileListItem& record);
  void WriteTrailer();
  void ReleaseAll() noexcept;

  PackagerState state_ = PackagerState::Closed;
  int64_t startOffset_ = 0;
  std::unique_ptr<TFileStream> executable_;
  std::unique_ptr<TPartialStream> window_;
  std::unique_ptr<TFileStream> packageFile_;
  TStream* source_ = nullptr;  // the stream the package is read from or written to
  std::unique_ptr<TCSFStreamWinTypes> csf_;
  TFileList directory_;
  std::unique_ptr<TPartialStream> pendingEntry_;
  std::unique_ptr<TPackageFileListItem> pendingRecord_;
  int64_t pendingHeader_ = 0;
  std::string lastError_;
  std::mutex lock_;
};

}  // namespace nimbra
