// Stored bytes assembled by hand, the way an older or a foreign writer laid them out, so tests can
// check a reader against a layout instead of against its own writer.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace nimbra::test {

class TWireBytes {
 public:
  TWireBytes& Byte(uint8_t value) {
    bytes_ += static_cast<char>(value);
    return *this;
  }
  TWireBytes& Int(int32_t value) {
    for (int i = 0; i < 4; ++i)
      bytes_ += static_cast<char>(static_cast<uint32_t>(value) >> (8 * i));
    return *this;
  }
  // A string: 32-bit length, then its (Windows-1252) bytes.
  TWireBytes& Str(std::string_view text) {
    Int(static_cast<int32_t>(text.size()));
    bytes_ += text;
    return *this;
  }
  TWireBytes& Raw(std::string_view bytes) {
    bytes_ += bytes;
    return *this;
  }
  // A sub-chunk: its length, counting the 4 bytes of the length itself, then the payload.
  TWireBytes& SubChunk(const TWireBytes& payload) {
    Int(static_cast<int32_t>(payload.bytes_.size() + 4));
    bytes_ += payload.bytes_;
    return *this;
  }
  const std::string& Bytes() const { return bytes_; }

 private:
  std::string bytes_;
};

}  // namespace nimbra::test
