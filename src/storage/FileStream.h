// A stream on a disk file. Small reads are served from a read buffer and small writes are gathered,
// so that the many 4- and 8-byte values of a chunked stream cost no system call each; large reads
// and writes go straight to the file.
#pragma once

#include <string>
#include <vector>

#include "storage/Stream.h"

namespace nimbra {

enum class FileMode {
  Create,         // creates the file, or empties an existing one; read-write
  OpenRead,       // an existing file, read-only
  OpenReadWrite,  // an existing file, read-write
};

class TFileStream : public TStream {
 public:
  // Raises EFOpenError, or EFCreateError for FileMode::Create, when the file cannot be opened.
  // Errors name nameInMessages when given: a temporary file is named after the file it becomes.
  TFileStream(const std::string& fileName, FileMode mode, const std::string& nameInMessages = {});
  ~TFileStream() override;

  int64_t Read(void* buffer, int64_t count) override;
  int64_t Write(const void* buffer, int64_t count) override;
  int64_t Seek(int64_t offset, SeekOrigin origin) override;
  int64_t GetSize() override;
  void SetSize(int64_t size) override;

  void Flush() override;
  // Flushes and asks the system to put the file's bytes on the disk.
  void Sync();
  const std::string& FileName() const { return fileName_; }

 private:
  int64_t ReadDirect(void* buffer, int64_t count, int64_t at);
  void WriteDirect(const void* buffer, int64_t count, int64_t at);
  void DropReadBuffer() { readLength_ = 0; }

  std::string fileName_;
  std::string nameInMessages_;
  int fd_ = -1;
  int64_t position_ = 0;
  int64_t size_ = 0;  // the file's size including gathered writes
  std::vector<char> readBuffer_;
  int64_t readStart_ = 0;
  int64_t readLength_ = 0;
  std::vector<char> writeBuffer_;
  int64_t writeStart_ = 0;
};

}  // namespace nimbra
