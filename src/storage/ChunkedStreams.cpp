#include "storage/ChunkedStreams.h"

#include "storage/AtomicFile.h"
#include "storage/CSFStreamWinTypes.h"
#include "storage/FalseOnFailure.h"

namespace nimbra {

namespace {

bool UseChunked(TStream& base, CSFMode mode, int32_t fileType, int32_t fileVersion,
                const std::function<bool(TCSFStream&)>& use) {
  return FalseOnFailure([&] {
    TCSFStreamWinTypes stream(base, mode);
    stream.SetFileType(fileType);
    stream.SetFileVersion(fileVersion);
    const bool used = use(stream);
    stream.Release();
    return used;
  });
}

}  // namespace

bool WriteChunked(TStream& base, CSFMode mode, int32_t fileType, int32_t fileVersion,
                  const std::function<bool(TCSFStream&)>& write) {
  return UseChunked(base, mode, fileType, fileVersion, write);
}

bool ReadHeaderless(TStream& base, int32_t fileType, int32_t fileVersion,
                    const std::function<bool(TCSFStream&)>& read) {
  return UseChunked(base, CSFMode::HeaderlessRead, fileType, fileVersion, read);
}

bool WriteChunkedFile(const std::string& fileName, int32_t fileType, int32_t fileVersion,
                      const std::function<bool(TCSFStream&)>& write) {
  return FalseOnFailure([&] {
    TAtomicFile target(fileName);
    bool written = false;
    {
      TCSFFileWinTypes file(target.TemporaryName(), CSFMode::Create);
      file.SetFileType(fileType);
      file.SetFileVersion(fileVersion);
      written = write(file);
      // Writes the final header; raises when it cannot.
      file.Release();
    }
    if (!written) return false;
    target.Commit();
    return true;
  });
}

}  // namespace nimbra
