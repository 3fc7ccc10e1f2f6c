// libFuzzer target for archive references and media archives. The input's first 8 bytes are the
// offset of an embedded file (little endian), the rest is the archive; the whole input is also
// taken as a stored file name. Bad bytes yield no file or no reference; what the sanitizers or
// libFuzzer's limits catch, or a broken promise checked below, is a bug.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "slideshow/MediaArchive.h"
#include "storage/MemoryStream.h"

namespace {

void Expect(bool promise) {
  if (!promise) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace nimbra;
  const std::string_view input(reinterpret_cast<const char*>(data), size);

  // A reference that parses is made again into one that parses to the same parts.
  if (const std::optional<TArchiveReference> reference = ParseArchiveReference(input)) {
    Expect(ParseArchiveReference(MakeArchiveReference(*reference)) == reference);
  }
  Expect(ScrambleBytes(ScrambleBytes(input)) == input);

  if (size < 8) return 0;
  uint64_t offset = 0;
  for (int i = 7; i >= 0; --i) offset = (offset << 8) | data[i];
  const std::string_view archive = input.substr(8);
  std::unique_ptr<TEmbeddedFile> file =
      OpenEmbeddedFile(std::make_unique<TMemoryStream>(archive), static_cast<int64_t>(offset));
  if (!file) return 0;
  // The embedded bytes lie within the archive and can all be read.
  const int64_t length = file->Data().Size();
  Expect(length >= 0 && length <= static_cast<int64_t>(archive.size()));
  std::string bytes(static_cast<size_t>(length), '\0');
  file->Data().ReadBuffer(bytes.data(), length);
  return 0;
}
