#include "storage/StoredBytes.h"

#include "storage/CSFError.h"
#include "storage/CSFStream.h"

namespace nimbra {

int32_t ReadCheckedCount(TCSFStream& stream, int64_t minBytesPerEntry) {
  const int32_t count = stream.ReadInteger();
  if (count < 0 || static_cast<int64_t>(count) * minBytesPerEntry > stream.RemainingInContainer()) {
    throw ECSFError(kCSFReadError);
  }
  return count;
}

void WriteByteString(TCSFStream& stream, std::string_view bytes) {
  stream.WriteInteger(static_cast<int32_t>(bytes.size()));
  stream.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
}

std::string ReadByteString(TCSFStream& stream) {
  const int32_t length = ReadCheckedCount(stream, 1);
  std::string bytes(static_cast<size_t>(length), '\0');
  stream.ReadBuffer(bytes.data(), length);
  return bytes;
}

std::string ReadRemainingBytes(TCSFStream& stream) {
  std::string bytes(static_cast<size_t>(stream.RemainingInContainer()), '\0');
  stream.ReadBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
  return bytes;
}

}  // namespace nimbra
