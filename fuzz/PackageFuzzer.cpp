// libFuzzer target for the package reader. It opens arbitrary bytes as a package stream in memory
// and, written to a scratch file, as a package file and as an executable with an appended package;
// whatever opens is read entry by entry, filtered and looked up by name. The packager answers bad
// bytes with false; what the sanitizers or libFuzzer's limits catch, or a broken promise checked
// below, is a bug.
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "storage/FileStream.h"
#include "storage/MemoryStream.h"
#include "storage/Packager.h"
#include "storage/TextCase.h"

namespace nimbra::fuzz {

namespace {

void Expect(bool promise) {
  if (!promise) __builtin_trap();
}

// Opening an executable needs a file name: each input is written to this process's scratch file
// and removed again once it has been read.
const std::string& ScratchFile() {
  static const std::string path = "/tmp/nimbra-package-fuzz-" + std::to_string(::getpid()) + ".bin";
  return path;
}

void WriteScratchFile(std::string_view bytes) {
  TFileStream file(ScratchFile(), FileMode::Create);
  file.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
  file.Flush();
}

// An entry stream never reads beyond the package, and never more than its record claims.
void ReadEntry(TPackager& packager, int index) {
  const TPackageFileListItem& record = *packager.Directory().Items(index);
  std::unique_ptr<TStream> entry = packager.OpenEntryByIndex(index);
  Expect(entry != nullptr);
  Expect(entry->Size() >= 0 && entry->Size() <= std::max<int64_t>(record.Size, 0));
  std::vector<char> block(4096);
  int64_t total = 0;
  for (int64_t n; (n = entry->Read(block.data(), static_cast<int64_t>(block.size()))) > 0;) {
    total += n;
  }
  Expect(total == entry->Size());
}

void ReadEverything(TPackager& packager) {
  const TFileList& directory = packager.Directory();
  for (int i = 0; i < directory.Count(); ++i) ReadEntry(packager, i);
  Expect(packager.OpenEntryByIndex(directory.Count()) == nullptr);

  const std::unique_ptr<TFileList> filtered = directory.Filter("*.jpg\n?x*\n[a-c]*");
  Expect(filtered->Count() <= directory.Count());
  // Stored names make masks that no one typed: unclosed sets, ranges at the end, stray brackets.
  if (directory.Count() > 0) directory.Filter(directory.First()->FileName);
  for (const TPackageFileListItem* record : directory) {
    const TPackageFileListItem* found = directory.FindByName(record->FileName);
    Expect(found != nullptr && SameText(found->FileName, record->FileName));
    Expect(packager.OpenEntry(record->FileName) != nullptr);
  }
  Expect(packager.PackageLength() >= 0);
}

void ReadFromMemory(std::string_view bytes) {
  TMemoryStream stream(bytes);
  TPackager packager;
  if (packager.OpenPackageStream(stream)) ReadEverything(packager);
  packager.Close();
}

void ReadFromFile(std::string_view bytes) {
  WriteScratchFile(bytes);
  TPackager packager;
  if (packager.OpenPackageFile(ScratchFile())) ReadEverything(packager);

  const bool isPackage = TPackager::IsPackage(ScratchFile());
  if (packager.OpenExecutable(ScratchFile())) {
    // OpenExecutable and IsPackage look for the same trailer.
    Expect(isPackage);
    Expect(packager.StartOffset() >= 0 &&
           packager.StartOffset() <= static_cast<int64_t>(bytes.size()) - kPackageTrailerSize);
    ReadEverything(packager);
  }
  packager.Close();
  std::remove(ScratchFile().c_str());
}

}  // namespace

}  // namespace nimbra::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  nimbra::fuzz::ReadFromMemory(bytes);
  nimbra::fuzz::ReadFromFile(bytes);
  return 0;
}
