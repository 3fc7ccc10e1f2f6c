// Writes the seed corpus of the media archive fuzzer with the archive writer of this system:
//   MakeMediaArchiveSeeds fuzz/corpus
// writes fuzz/corpus/MediaArchiveFuzzer/* (an 8-byte offset, then the archive; files of the same
// name are replaced, others left alone).
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <stdexcept>
#include <string>

#include "slideshow/MediaArchive.h"
#include "storage/CSFStream.h"
#include "storage/MemoryStream.h"

namespace {

namespace fs = std::filesystem;

void SaveRaw(const fs::path& folder, const std::string& name, const std::string& bytes) {
  fs::create_directories(folder);
  std::ofstream out(folder / name, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + (folder / name).string());
}

void Save(const fs::path& folder, const std::string& name, int64_t offset,
          const std::string& archive) {
  std::string bytes;
  for (int i = 0; i < 8; ++i) bytes += static_cast<char>(static_cast<uint64_t>(offset) >> (8 * i));
  SaveRaw(folder, name, bytes + archive);
}

// An archive with a chunk of another kind first, then one embedded picture; yields the picture's
// offset and the other chunk's.
std::string Archive(int32_t fileType, int32_t version, int64_t& picture, int64_t& other) {
  nimbra::TMemoryStream bytes;
  nimbra::TCSFStream archive(bytes, nimbra::CSFMode::Create);
  archive.SetFileType(fileType);
  archive.SetFileVersion(version);
  other = archive.Position();
  archive.BeginChunk(512);
  archive.WriteString("Verzeichnis");
  archive.EndChunk();
  picture = nimbra::WriteEmbeddedFile(archive, "Foto.jpg", std::string(40, '\xAB'));
  archive.Release();
  return bytes.ToString();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: MakeMediaArchiveSeeds CORPUS-FOLDER\n";
    return 2;
  }
  try {
    const fs::path folder = fs::path(argv[1]) / "MediaArchiveFuzzer";
    int64_t picture = 0;
    int64_t other = 0;
    const std::string archive = Archive(nimbra::kMediaArchiveFileType, 257, picture, other);
    Save(folder, "embedded-picture", picture, archive);
    Save(folder, "other-chunk", other, archive);
    int64_t oldPicture = 0;
    const std::string old = Archive(nimbra::kMediaArchiveFileType, 256, oldPicture, other);
    Save(folder, "old-version", oldPicture, old);
    Save(folder, "cut-short", picture, archive.substr(0, archive.size() - 20));
    // Taken whole as a stored file name.
    SaveRaw(folder, "reference-text",
            nimbra::MakeArchiveReference({"C:\\Medien\\Sommer.kma", picture}));
  } catch (const std::exception& error) {
    std::cerr << error.what() << '\n';
    return 1;
  }
  return 0;
}
