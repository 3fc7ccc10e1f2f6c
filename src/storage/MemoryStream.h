// A stream held in memory: the bytes of a small file, a settings value, or a test's input.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "storage/Stream.h"

namespace nimbra {

class TMemoryStream : public TStream {
 public:
  TMemoryStream() = default;
  explicit TMemoryStream(std::vector<char> bytes) : bytes_(std::move(bytes)) {}
  explicit TMemoryStream(std::string_view bytes) : bytes_(bytes.begin(), bytes.end()) {}

  int64_t Read(void* buffer, int64_t count) override;
  int64_t Write(const void* buffer, int64_t count) override;
  int64_t Seek(int64_t offset, SeekOrigin origin) override;
  int64_t GetSize() override { return static_cast<int64_t>(bytes_.size()); }
  void SetSize(int64_t size) override;

  const std::vector<char>& Bytes() const { return bytes_; }
  std::string ToString() const { return std::string(bytes_.begin(), bytes_.end()); }

 private:
  std::vector<char> bytes_;
  int64_t position_ = 0;
};

}  // namespace nimbra
