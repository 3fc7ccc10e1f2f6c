#include "storage/Packager.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <thread>

#include "TempFolder.h"
#include "storage/FileStream.h"
#include "storage/MemoryStream.h"

namespace nimbra {
namespace {

using test::TempFolder;

int32_t IntAt(const std::string& bytes, size_t offset) {
  int32_t value = 0;
  std::memcpy(&value, bytes.data() + offset, 4);
  return value;
}

int64_t Int64At(const std::string& bytes, size_t offset) {
  int64_t value = 0;
  std::memcpy(&value, bytes.data() + offset, 8);
  return value;
}

std::string Pattern(size_t size, int seed) {
  std::string bytes(size, '\0');
  for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 31 + static_cast<size_t>(seed)) % 251);
  return bytes;
}

std::string ReadEntry(TPackager& packager, const std::string& name) {
  std::unique_ptr<TStream> entry = packager.OpenEntry(name);
  if (!entry) return "<missing>";
  std::string bytes(static_cast<size_t>(entry->Size()), '\0');
  entry->ReadBuffer(bytes.data(), entry->Size());
  return bytes;
}

// A plain package of the given files, written to memory.
std::string MakePackage(const std::vector<std::pair<std::string, std::string>>& files) {
  TMemoryStream base;
  TPackager packager;
  EXPECT_TRUE(packager.CreatePackageStream(base));
  for (const auto& [name, bytes] : files) {
    TMemoryStream content(bytes);
    EXPECT_TRUE(packager.AddStream(content, std::make_unique<TPackageFileListItem>(name)));
  }
  EXPECT_TRUE(packager.Close());
  return base.ToString();
}

TEST(PackagerTest, FirstRecordFollowsItsData) {
  const std::string package = MakePackage({{"first.bin", Pattern(500, 1)}});
  EXPECT_EQ(package.substr(0, 4), "KRVX");
  EXPECT_EQ(IntAt(package, 12), 1296);
  EXPECT_EQ(IntAt(package, 16), 2);
  EXPECT_EQ(IntAt(package, 20), 256);
  // Data chunk at 32 with length 512, the file's bytes at 44.
  EXPECT_EQ(package.substr(32, 4), "CHNK");
  EXPECT_EQ(IntAt(package, 36), 257);
  EXPECT_EQ(IntAt(package, 40), 512);
  EXPECT_EQ(package.substr(44, 500), Pattern(500, 1));
  // Record chunk at 544: class name, then a sub-chunk of offset, size and name.
  EXPECT_EQ(package.substr(544, 4), "CHNK");
  EXPECT_EQ(IntAt(package, 548), 256);
  EXPECT_EQ(IntAt(package, 552), 12 + 24 + 24 + 9);
  EXPECT_EQ(IntAt(package, 556), 20);
  EXPECT_EQ(package.substr(560, 20), "TPackageFileListItem");
  EXPECT_EQ(IntAt(package, 580), 24 + 9);
  EXPECT_EQ(Int64At(package, 584), 44);
  EXPECT_EQ(Int64At(package, 592), 500);
  EXPECT_EQ(IntAt(package, 600), 9);
  EXPECT_EQ(package.substr(604), "first.bin");
  EXPECT_EQ(Int64At(package, 24), static_cast<int64_t>(package.size()));
}

TEST(PackagerTest, PlainPackageRoundTrips) {
  TMemoryStream base(MakePackage({{"Oriel.cfg", "123456789"}, {"show.kvt", Pattern(3000, 2)}}));
  TPackager packager;
  ASSERT_TRUE(packager.OpenPackageStream(base));
  EXPECT_EQ(packager.State(), PackagerState::OpenedPackage);
  EXPECT_EQ(packager.PackageStream()->ChunkCount(), 4);
  ASSERT_EQ(packager.Directory().Count(), 2);
  EXPECT_EQ(packager.Directory().Items(1)->FileName, "show.kvt");
  EXPECT_EQ(packager.Directory().Items(1)->Size, 3000);
  EXPECT_EQ(ReadEntry(packager, "ORIEL.CFG"), "123456789");
  EXPECT_EQ(ReadEntry(packager, "show.kvt"), Pattern(3000, 2));
  EXPECT_EQ(packager.OpenEntry("missing.txt"), nullptr);
  EXPECT_EQ(packager.OpenEntryByIndex(2), nullptr);
  EXPECT_NE(packager.OpenEntryByIndex(0), nullptr);
}

TEST(PackagerTest, AppendedPackageOf24FilesFindsItsTrailer) {
  TempFolder folder;
  const std::string code = Pattern(7777, 9);
  const std::string exe = folder.Write("album", code);
  std::vector<std::string> files;
  for (int i = 0; i < 24; ++i) {
    files.push_back(folder.Write("photo" + std::to_string(i) + ".jpg", Pattern(100 + i, i)));
  }
  {
    TPackager packager;
    ASSERT_TRUE(packager.AppendToExecutable(exe));
    EXPECT_EQ(packager.AddFiles(files), 24);
    ASSERT_TRUE(packager.Close());
  }
  const std::string bytes = TempFolder::Read(exe);
  EXPECT_EQ(bytes.substr(0, code.size()), code);
  const std::string package = bytes.substr(code.size());
  const auto length = static_cast<int64_t>(package.size());
  EXPECT_EQ(IntAt(package, 16), 48);
  EXPECT_EQ(Int64At(package, 24), length);  // the header counts the trailer too
  EXPECT_EQ(package.substr(package.size() - 20, 4), "EPKG");
  EXPECT_EQ(Int64At(package, package.size() - 16), static_cast<int64_t>(code.size()));
  EXPECT_EQ(Int64At(package, package.size() - 8), length - 8);

  EXPECT_TRUE(TPackager::IsPackage(exe));
  TPackager packager;
  ASSERT_TRUE(packager.OpenExecutable(exe)) << packager.LastError();
  EXPECT_EQ(packager.State(), PackagerState::OpenedExecutable);
  EXPECT_EQ(packager.StartOffset(), static_cast<int64_t>(code.size()));
  EXPECT_EQ(packager.PackageLength(), length);
  ASSERT_EQ(packager.Directory().Count(), 24);
  EXPECT_EQ(packager.Directory().First()->Offset, 44);
  for (int i = 0; i < 24; ++i) {
    EXPECT_EQ(packager.Directory().Items(i)->FileName, files[static_cast<size_t>(i)]);
    EXPECT_EQ(ReadEntry(packager, files[static_cast<size_t>(i)]), Pattern(100 + static_cast<size_t>(i), i));
  }
}

TEST(PackagerTest, StreamedAddingWritesWhatAddStreamWrites) {
  const std::string content = Pattern(2000, 5);
  TMemoryStream streamed;
  {
    TPackager packager;
    ASSERT_TRUE(packager.CreatePackageStream(streamed));
    TStream* entry = packager.BeginFile(std::make_unique<TPackageFileListItem>("a.bin"));
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(packager.BeginFile(std::make_unique<TPackageFileListItem>("b.bin")), nullptr);
    entry->WriteBuffer(content.data(), 1000);
    entry->WriteBuffer(content.data() + 1000, 1000);
    ASSERT_TRUE(packager.EndFile());
    TMemoryStream second("second");
    ASSERT_TRUE(packager.AddStream(second, std::make_unique<TPackageFileListItem>("b.bin")));
    ASSERT_TRUE(packager.Close());
  }
  EXPECT_EQ(streamed.ToString(), MakePackage({{"a.bin", content}, {"b.bin", "second"}}));
}

TEST(PackagerTest, RecordsWithLaterFieldsStillRead) {
  // A record whose sub-chunk carries bytes behind the name, as a newer writer may store them.
  TMemoryStream base;
  {
    TCSFStreamWinTypes writer(base, CSFMode::Create);
    writer.SetFileType(kPackageFileType);
    writer.BeginChunk(kPackageDataChunk);
    writer.WriteBuffer("abc", 3);
    writer.EndChunk();
    writer.BeginChunk(kPackageRecordChunk);
    writer.WriteString("TPackageFileListItem");
    writer.BeginSubChunk();
    writer.WriteInt64(44);
    writer.WriteInt64(3);
    writer.WriteString("x.txt");
    writer.WriteInteger(12345);
    writer.EndSubChunk();
    writer.EndChunk();
    writer.BeginChunk(900);  // a chunk of a kind this reader does not know
    writer.EndChunk();
  }
  TPackager packager;
  ASSERT_TRUE(packager.OpenPackageStream(base)) << packager.LastError();
  ASSERT_EQ(packager.Directory().Count(), 1);
  EXPECT_EQ(ReadEntry(packager, "x.txt"), "abc");
}

// Rewrites a 4- or 8-byte field of a package.
template <typename T>
std::string Patched(std::string bytes, size_t offset, T value) {
  std::memcpy(bytes.data() + offset, &value, sizeof value);
  return bytes;
}

TEST(PackagerTest, BrokenPackagesDoNotOpen) {
  const std::string good = MakePackage({{"a.txt", "hello"}});
  const std::string broken[] = {
      good.substr(0, 20),                            // truncated header
      good.substr(0, good.size() - 10),              // truncated record
      Patched(good, 0, int32_t{0x58585858}),         // header magic
      Patched(good, 12, int32_t{1281}),              // a slideshow, not a package
      Patched(good, 16, int32_t{1000000}),           // chunk count beyond the file
      Patched(good, 40, int32_t{0x7FFFFFF0}),        // data chunk length past the end
      Patched(good, 40, int32_t{3}),                 // data chunk length below its header
      Patched(good, 32 + 12 + 5 + 12, int32_t{20000}),  // class-name length past the end
      Patched(good, 32 + 12 + 5 + 12 + 4, 'Q'),      // unknown record class
      Patched(good, 32 + 12 + 5 + 12 + 24, int32_t{-7}),  // record sub-chunk length
  };
  for (const std::string& bytes : broken) {
    TMemoryStream base(bytes);
    TPackager packager;
    EXPECT_FALSE(packager.OpenPackageStream(base));
    EXPECT_EQ(packager.State(), PackagerState::Closed);
    EXPECT_FALSE(packager.LastError().empty());
  }
}

TEST(PackagerTest, RecordsReachingPastThePackageAreClipped) {
  const std::string good = MakePackage({{"a.txt", "hello"}});
  // The record's size field: record chunk at 49, class name 24 bytes, sub-chunk length 4.
  const size_t sizeField = 49 + 12 + 24 + 4 + 8;
  TMemoryStream base(Patched(good, sizeField, int64_t{1} << 40));
  TMemoryStream negative(Patched(good, sizeField - 8, int64_t{-30}));
  TPackager packager;
  ASSERT_TRUE(packager.OpenPackageStream(base));
  std::unique_ptr<TStream> entry = packager.OpenEntry("a.txt");
  ASSERT_NE(entry, nullptr);
  EXPECT_EQ(entry->Size(), static_cast<int64_t>(good.size()) - 44);
  TempFolder folder;
  EXPECT_FALSE(packager.Extract(*packager.Directory().First(), folder.File("a.txt")));
  EXPECT_FALSE(std::filesystem::exists(folder.File("a.txt")));

  ASSERT_TRUE(packager.OpenPackageStream(negative));
  EXPECT_EQ(ReadEntry(packager, "a.txt").substr(0, 4), "KRVX");  // never before the package
}

TEST(PackagerTest, ExecutablesWithoutAUsableTrailerAreNoPackages) {
  TempFolder folder;
  EXPECT_FALSE(TPackager::IsPackage(folder.Write("short", "EPKG1234")));
  EXPECT_FALSE(TPackager::IsPackage(folder.Write("plain", std::string(100, 'x'))));
  EXPECT_FALSE(TPackager::IsPackage(folder.File("missing")));

  // A trailer whose start offset lies past the file, and one before the file's start.
  for (const int64_t start : {int64_t{5000}, int64_t{-1}}) {
    std::string bytes = std::string(64, 'c') + "EPKG";
    bytes.append(reinterpret_cast<const char*>(&start), 8);
    const int64_t length = 60;
    bytes.append(reinterpret_cast<const char*>(&length), 8);
    const std::string path = folder.Write("bad-trailer", bytes);
    EXPECT_TRUE(TPackager::IsPackage(path));
    TPackager packager;
    EXPECT_FALSE(packager.OpenExecutable(path));
    EXPECT_NE(packager.LastError().find("start offset"), std::string::npos);
  }
}

TEST(PackagerTest, ExtractCopiesWholeEntriesOrNothing) {
  TempFolder folder;
  const std::string path = folder.Write("p.pkg", MakePackage({{"photo.jpg", Pattern(70000, 3)}}));
  TPackager packager;
  ASSERT_TRUE(packager.OpenPackageFile(path));
  const TPackageFileListItem& record = *packager.Directory().First();
  folder.Write("out.jpg", "old content");
  ASSERT_TRUE(packager.Extract(record, folder.File("out.jpg")));
  EXPECT_EQ(TempFolder::Read(folder.File("out.jpg")), Pattern(70000, 3));
  EXPECT_FALSE(packager.Extract(record, folder.File("no/folder/out.jpg")));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()),
                          std::filesystem::directory_iterator()),
            2);
}

TEST(PackagerTest, WritingNeedsAPackageOpenForWriting) {
  TMemoryStream content("x");
  TMemoryStream base(MakePackage({{"a", "b"}}));
  TPackager packager;
  EXPECT_FALSE(packager.AddStream(content, std::make_unique<TPackageFileListItem>("x")));
  ASSERT_TRUE(packager.OpenPackageStream(base));
  EXPECT_FALSE(packager.AddStream(content, std::make_unique<TPackageFileListItem>("x")));
  EXPECT_FALSE(packager.AddFile("/nonexistent/file"));
}

TEST(PackagerTest, EntriesReadFromTwoThreadsAtOnceStayIntact) {
  TempFolder folder;
  const std::string path = folder.Write(
      "p.pkg", MakePackage({{"a", Pattern(50000, 1)}, {"b", Pattern(50000, 2)}}));
  TPackager packager;
  ASSERT_TRUE(packager.OpenPackageFile(path));
  auto reader = [&](const std::string& name, int seed, bool& intact) {
    intact = true;
    for (int round = 0; round < 50; ++round) {
      std::unique_ptr<TStream> entry = packager.OpenEntry(name);
      std::string bytes(50000, '\0');
      for (size_t at = 0; at < bytes.size(); at += 1000) entry->ReadBuffer(bytes.data() + at, 1000);
      intact = intact && bytes == Pattern(50000, seed);
    }
  };
  bool aIntact = false;
  bool bIntact = false;
  std::thread first(reader, "a", 1, std::ref(aIntact));
  std::thread second(reader, "b", 2, std::ref(bIntact));
  first.join();
  second.join();
  EXPECT_TRUE(aIntact);
  EXPECT_TRUE(bIntact);
}

}  // namespace
}  // namespace nimbra
