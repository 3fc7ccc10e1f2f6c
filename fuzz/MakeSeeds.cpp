// Writes the seed corpora of the fuzz targets with the project's own writers, together with broken
// variants of them, so that the seeds can be made again whenever a format changes:
//   MakeSeeds fuzz/corpus
// writes fuzz/corpus/CSFStreamFuzzer/* and fuzz/corpus/PackageFuzzer/* (existing files of the same
// name are replaced; other files, such as reproducers of fixed bugs, are left alone).
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "CSFReadOps.h"
#include "TempFolder.h"
#include "storage/CSFStreamWinTypes.h"
#include "storage/MemoryStream.h"
#include "storage/Packager.h"

namespace nimbra::fuzz {

namespace {

namespace fs = std::filesystem;
using Bytes = std::string;
using BodyWriter = std::function<void(TCSFStreamWinTypes&)>;

constexpr size_t kMaxSeedSize = 2048;
constexpr int32_t kHugeLength = 0x7FFFFFF0;

void Save(const fs::path& folder, const std::string& name, const Bytes& bytes) {
  if (bytes.size() > kMaxSeedSize) {
    throw std::runtime_error(name + " is larger than a seed should be");
  }
  fs::create_directories(folder);
  std::ofstream out(folder / name, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + (folder / name).string());
}

Bytes PatchInt32(Bytes bytes, size_t at, int32_t value) {
  for (size_t i = 0; i < 4; ++i) {
    bytes[at + i] = static_cast<char>(static_cast<uint32_t>(value) >> (8 * i));
  }
  return bytes;
}

Bytes PatchInt64(Bytes bytes, size_t at, int64_t value) {
  for (size_t i = 0; i < 8; ++i) {
    bytes[at + i] = static_cast<char>(static_cast<uint64_t>(value) >> (8 * i));
  }
  return bytes;
}

// ---- chunked streams, in the layouts the chunked-stream fuzzer reads for each op ----

void WriteBody(TCSFStreamWinTypes& csf, ReadOp op, int depth);

void WriteChunk(TCSFStreamWinTypes& csf, ReadOp op, int depth) {
  csf.BeginChunk(ChunkIdFor(op));
  WriteBody(csf, op, depth);
  csf.EndChunk();
}

// A body's own child chunks are not counted in the header: readers reach them through their parent.
void WriteChildChunk(TCSFStreamWinTypes& csf, ReadOp op, int depth) {
  const int64_t header = csf.WriteChunkPlaceholder();
  WriteBody(csf, op, depth);
  const int64_t length = csf.DistanceFrom(header);
  csf.SetPosition(header);
  csf.WriteChunkHeader(ChunkIdFor(op, 1), length);
  csf.SeekToEnd();
}

void WriteNestedStream(TCSFStreamWinTypes& csf, int depth) {
  std::unique_ptr<TCSFStream> nested = csf.OpenNestedStream(NestedKind::Write, true);
  if (!nested) throw std::runtime_error("cannot open a nested stream");
  auto& typed = dynamic_cast<TCSFStreamWinTypes&>(*nested);
  WriteChunk(typed, ReadOp::Values, depth + 1);
  WriteChunk(typed, ReadOp::WinTypes, depth + 1);
  if (depth == 0) WriteChunk(typed, ReadOp::NestedStream, depth + 1);
  csf.CloseNestedStream(nested, true);
}

void WriteBody(TCSFStreamWinTypes& csf, ReadOp op, int depth) {
  switch (op) {
    case ReadOp::Skip:
      csf.WriteString("nicht gelesen");
      break;
    case ReadOp::ChildChunks:
      WriteChildChunk(csf, ReadOp::IntegerList, depth + 1);
      WriteChildChunk(csf, ReadOp::StringList, depth + 1);
      if (depth == 0) WriteChildChunk(csf, ReadOp::ChildChunks, depth + 1);
      break;
    case ReadOp::IntegerList:
      csf.BeginSubChunk();
      for (int32_t i = 0; i < 4; ++i) csf.WriteInteger(i * 1000 - 1);
      csf.EndSubChunk();
      break;
    case ReadOp::Values:
      csf.BeginSubChunk();
      csf.WriteString("Sommer am Meer – Grüße");
      csf.WriteInteger(1281);
      csf.WriteInt64(int64_t{1} << 40);
      csf.WriteDouble(0.25);
      csf.EndSubChunk();
      break;
    case ReadOp::WinTypes:
      csf.WriteFont(TFontRecord{0x00FF00, "Arial", 12, kFontStyleBold | kFontStyleItalic});
      csf.WriteDoubleRect({0.1, 0.2, 0.9, 0.8});
      break;
    case ReadOp::NestedStream:
      WriteNestedStream(csf, depth);
      break;
    case ReadOp::NestedSubChunks:
      csf.BeginSubChunk();
      csf.WriteString("TPackageFileListItem");
      csf.BeginSubChunk();
      csf.WriteBoolean(true);
      csf.WriteByte(7);
      csf.WriteCardinal(0xFFFFFFFFu);
      csf.WriteSingle(1.5f);
      csf.EndSubChunk();
      csf.EndSubChunk();
      break;
    case ReadOp::StringList:
      csf.BeginSubChunk();
      csf.WriteString("Strand.jpg");
      csf.WriteString("");
      csf.WriteString("Ölberg");
      csf.EndSubChunk();
      break;
  }
}

Bytes DocumentWith(const BodyWriter& writeChunks) {
  TMemoryStream stream;
  TCSFStreamWinTypes csf(stream, CSFMode::Create);
  csf.SetFileType(1281);
  csf.SetFileVersion(768);
  writeChunks(csf);
  csf.Release();
  return stream.ToString();
}

Bytes Document(const std::vector<ReadOp>& ops) {
  return DocumentWith([&](TCSFStreamWinTypes& csf) {
    for (ReadOp op : ops) WriteChunk(csf, op, 0);
  });
}

// A headerless stream: a selector byte, then the body it selects, again and again.
Bytes Headerless(const std::vector<ReadOp>& ops) {
  TMemoryStream stream;
  TCSFStreamWinTypes csf(stream, CSFMode::Headerless);
  for (ReadOp op : ops) {
    csf.WriteByte(static_cast<uint8_t>(op));
    WriteBody(csf, op, 0);
  }
  csf.Release();
  return stream.ToString();
}

// A chunk whose body the caller writes byte by byte, lies included.
BodyWriter RawChunk(ReadOp op, const BodyWriter& body) {
  return [=](TCSFStreamWinTypes& csf) {
    csf.BeginChunk(ChunkIdFor(op));
    body(csf);
    csf.EndChunk();
  };
}

BodyWriter Chunks(std::vector<BodyWriter> chunks) {
  return [=](TCSFStreamWinTypes& csf) {
    for (const BodyWriter& chunk : chunks) chunk(csf);
  };
}

// A nested stream header with the given claims, followed by one honest chunk.
BodyWriter NestedHeader(int32_t size32, int32_t version, int32_t chunkCount, int64_t size64) {
  return RawChunk(ReadOp::NestedStream, [=](TCSFStreamWinTypes& csf) {
    csf.WriteBuffer("KRVX", 4);
    csf.WriteInteger(size32);
    csf.WriteInteger(version);
    csf.WriteInteger(1281);
    csf.WriteInteger(chunkCount);
    csf.WriteInteger(768);
    csf.WriteInt64(size64);
    WriteChunk(csf, ReadOp::Values, 1);
  });
}

void MakeCSFSeeds(const fs::path& folder) {
  const std::vector<ReadOp> all = {
      ReadOp::Skip,     ReadOp::ChildChunks,  ReadOp::IntegerList,     ReadOp::Values,
      ReadOp::WinTypes, ReadOp::NestedStream, ReadOp::NestedSubChunks, ReadOp::StringList};
  const Bytes document = Document(all);
  Save(folder, "document.csf", document);
  Save(folder, "nested.csf", Document({ReadOp::NestedStream, ReadOp::ChildChunks}));
  Save(folder, "headerless.bin",
       Headerless({ReadOp::Values, ReadOp::WinTypes, ReadOp::NestedSubChunks, ReadOp::StringList,
                   ReadOp::IntegerList, ReadOp::NestedStream, ReadOp::ChildChunks}));

  Save(folder, "truncated.csf", document.substr(0, document.size() / 2));
  Save(folder, "wrong-magic.csf", Bytes("KRVY") + document.substr(4));
  Save(folder, "huge-chunk-count.csf", PatchInt32(document, 16, 0x7FFFFFFF));
  Save(folder, "chunk-past-end.csf", PatchInt32(document, kCSFHeaderSize + 8, kHugeLength));
  Save(folder, "chunk-shorter-than-header.csf", PatchInt32(document, kCSFHeaderSize + 8, 4));
  Save(folder, "huge-string.csf",
       DocumentWith(RawChunk(ReadOp::Values, [](TCSFStreamWinTypes& csf) {
         csf.BeginSubChunk();
         csf.WriteInteger(kHugeLength);
         csf.WriteBuffer("abc", 3);
         csf.EndSubChunk();
       })));
  Save(folder, "huge-font.csf",
       DocumentWith(Chunks({RawChunk(ReadOp::WinTypes,
                                     [](TCSFStreamWinTypes& csf) {
                                       csf.WriteInteger(0x7FFFFFFF);
                                       csf.WriteInteger(0x7FFFFFFF);
                                       csf.WriteInteger(0);
                                       csf.WriteInteger(kHugeLength);
                                       csf.WriteBuffer("Arial", 5);
                                     }),
                            RawChunk(ReadOp::WinTypes, [](TCSFStreamWinTypes& csf) {
                              csf.WriteInteger(22);
                              csf.WriteInteger(22);
                              csf.WriteInteger(0);
                              csf.WriteInteger(1000);
                              csf.WriteBuffer("Arial", 5);
                            })})));
  Save(folder, "sub-chunk-lengths.csf",
       DocumentWith(Chunks(
           {RawChunk(ReadOp::IntegerList, [](TCSFStreamWinTypes& csf) { csf.WriteInteger(3); }),
            RawChunk(ReadOp::StringList,
                     [](TCSFStreamWinTypes& csf) {
                       csf.WriteInteger(0x7FFFFFFF);
                       csf.WriteString("x");
                     }),
            RawChunk(ReadOp::NestedSubChunks, [](TCSFStreamWinTypes& csf) {
              csf.BeginSubChunk();
              csf.WriteString("TObject");
              csf.WriteInteger(1000);  // an inner sub-chunk longer than its outer one
              csf.WriteBoolean(true);
              csf.EndSubChunk();
            })})));
  Save(folder, "nested-headers.csf",
       DocumentWith(
           Chunks({NestedHeader(100, kCSFVersion, 1000, int64_t{1} << 40),
                   NestedHeader(-5, 65537, 1, 0), NestedHeader(0, kCSFVersion, -1, -100)})));
}

// ---- packages ----

struct SeedFile {
  std::string name;
  std::string bytes;
};

const std::vector<SeedFile>& SeedFiles() {
  static const std::vector<SeedFile> files = {
      {"Urlaub\\Strand.JPG", "\xFF\xD8\xFF\xE0 kein echtes Bild, nur Bytes \xFF\xD9"},
      {"Oriel.cfg", std::string("\x01\x00\x00\x00\x05\x00\x00\x00\x02", 9)},
      {"ax.kvt", "KRVX und ein wenig mehr"}};
  return files;
}

void AddSeedFiles(TPackager& packager) {
  for (const SeedFile& file : SeedFiles()) {
    TMemoryStream stream(file.bytes);
    if (!packager.AddStream(stream, std::make_unique<TPackageFileListItem>(file.name))) {
      throw std::runtime_error("cannot add " + file.name + ": " + packager.LastError());
    }
  }
}

void CloseOrThrow(TPackager& packager) {
  if (!packager.Close())
    throw std::runtime_error("cannot close a package: " + packager.LastError());
}

Bytes Package(bool withFiles) {
  TMemoryStream stream;
  TPackager packager;
  if (!packager.CreatePackageStream(stream)) throw std::runtime_error(packager.LastError());
  if (withFiles) AddSeedFiles(packager);
  CloseOrThrow(packager);
  return stream.ToString();
}

Bytes Executable() {
  const test::TempFolder folder;
  const std::string path = folder.Write("album",
                                        "\x7F"
                                        "ELF ein paar Bytes Programmcode");
  TPackager packager;
  if (!packager.AppendToExecutable(path)) throw std::runtime_error(packager.LastError());
  AddSeedFiles(packager);
  CloseOrThrow(packager);
  return test::TempFolder::Read(path);
}

// A package of one data chunk and one record that claims what the caller writes.
Bytes PackageWithRecord(const std::string& className, int64_t offset, int64_t size,
                        const BodyWriter& writeName) {
  TMemoryStream stream;
  TCSFStreamWinTypes csf(stream, CSFMode::Create);
  csf.SetFileType(kPackageFileType);
  csf.SetFileVersion(kPackageFileVersion);
  csf.BeginChunk(kPackageDataChunk);
  csf.WriteBuffer("Bilddaten", 9);
  csf.EndChunk();
  csf.BeginChunk(kPackageRecordChunk);
  csf.WriteString(className);
  csf.BeginSubChunk();
  csf.WriteInt64(offset);
  csf.WriteInt64(size);
  writeName(csf);
  csf.EndSubChunk();
  csf.EndChunk();
  csf.Release();
  return stream.ToString();
}

BodyWriter Name(const std::string& name) {
  return [=](TCSFStreamWinTypes& csf) { csf.WriteString(name); };
}

void MakePackageSeeds(const fs::path& folder) {
  const Bytes package = Package(true);
  Save(folder, "package.pkg", package);
  Save(folder, "empty.pkg", Package(false));
  Save(folder, "truncated.pkg", package.substr(0, package.size() * 2 / 3));
  Save(folder, "wrong-magic.pkg", Bytes("XRVX") + package.substr(4));
  Save(folder, "wrong-file-type.pkg", PatchInt32(package, 12, 1281));
  Save(folder, "huge-chunk-count.pkg", PatchInt32(package, 16, 0x7FFFFFFF));
  const int64_t firstData = kCSFHeaderSize + kChunkHeaderSize;
  Save(folder, "record-past-end.pkg",
       PackageWithRecord("TPackageFileListItem", firstData, int64_t{1} << 40, Name("weit.jpg")));
  Save(folder, "record-negative.pkg",
       PackageWithRecord("TPackageFileListItem", -100, -1, Name("negativ.jpg")));
  Save(folder, "huge-name-length.pkg",
       PackageWithRecord("TPackageFileListItem", firstData, 9, [](TCSFStreamWinTypes& csf) {
         csf.WriteInteger(kHugeLength);
         csf.WriteBuffer("abc", 3);
       }));
  Save(folder, "unknown-class.pkg", PackageWithRecord("TUnbekannt", firstData, 9, Name("a.jpg")));

  const Bytes executable = Executable();
  const size_t trailer = executable.size() - kPackageTrailerSize;
  const auto fileSize = static_cast<int64_t>(executable.size());
  Save(folder, "album.bin", executable);
  Save(folder, "trailer-start-past-end.bin", PatchInt64(executable, trailer + 4, fileSize + 1000));
  Save(folder, "trailer-start-negative.bin", PatchInt64(executable, trailer + 4, -1));
  Save(folder, "trailer-huge-length.bin", PatchInt64(executable, trailer + 12, int64_t{1} << 62));
  const size_t packageStart = executable.find("KRVX");
  Save(folder, "bytes-missing.bin",
       executable.substr(0, packageStart + 60) + executable.substr(packageStart + 124));
  Save(folder, "trailer-only.bin", Bytes("EPKG") + Bytes(16, '\0'));
}

}  // namespace

}  // namespace nimbra::fuzz

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: MakeSeeds CORPUS_FOLDER\n";
    return 2;
  }
  try {
    const std::filesystem::path corpus = argv[1];
    nimbra::fuzz::MakeCSFSeeds(corpus / "CSFStreamFuzzer");
    nimbra::fuzz::MakePackageSeeds(corpus / "PackageFuzzer");
  } catch (const std::exception& error) {
    std::cerr << "MakeSeeds: " << error.what() << "\n";
    return 1;
  }
  return 0;
}
