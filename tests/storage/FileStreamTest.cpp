#include "storage/FileStream.h"

#include <gtest/gtest.h>

#include "TempFolder.h"
#include "storage/StreamErrors.h"

namespace nimbra {
namespace {

using test::TempFolder;

TEST(FileStreamTest, GatheredWritesReachTheFileAndReadBack) {
  TempFolder folder;
  const std::string path = folder.File("values.bin");
  std::string expected;
  {
    TFileStream file(path, FileMode::Create);
    for (int i = 0; i < 10000; ++i) {
      const std::string value = std::to_string(i) + ",";
      file.WriteBuffer(value.data(), static_cast<int64_t>(value.size()));
      expected += value;
    }
    EXPECT_EQ(file.Size(), static_cast<int64_t>(expected.size()));
    // Patch in place, as chunk lengths are patched, then read across the patch.
    file.SetPosition(2);
    file.WriteBuffer("XY", 2);
    expected.replace(2, 2, "XY");
    file.SetPosition(0);
    std::string start(6, '\0');
    file.ReadBuffer(start.data(), 6);
    EXPECT_EQ(start, expected.substr(0, 6));
  }
  EXPECT_EQ(TempFolder::Read(path), expected);
}

TEST(FileStreamTest, ReadsLargeAndSmallPiecesAlike) {
  TempFolder folder;
  std::string bytes(100000, '\0');
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 7);
  const std::string path = folder.Write("big.bin", bytes);
  TFileStream file(path, FileMode::OpenRead);
  std::string small(3, '\0');
  file.SetPosition(99);
  file.ReadBuffer(small.data(), 3);
  EXPECT_EQ(small, bytes.substr(99, 3));
  std::string large(50000, '\0');
  file.ReadBuffer(large.data(), 50000);
  EXPECT_EQ(large, bytes.substr(102, 50000));
  file.SetPosition(99990);
  EXPECT_EQ(file.Read(large.data(), 50000), 10);
  EXPECT_THROW(file.ReadBuffer(large.data(), 1), EReadError);
}

TEST(FileStreamTest, OpenFailuresRaise) {
  TempFolder folder;
  EXPECT_THROW(TFileStream(folder.File("missing"), FileMode::OpenRead), EFOpenError);
  EXPECT_THROW(TFileStream(folder.Path().string(), FileMode::OpenRead), EFOpenError);
  EXPECT_THROW(TFileStream(folder.File("no/such/folder"), FileMode::Create), EFCreateError);
}

TEST(FileStreamTest, SetSizeCutsTheFile) {
  TempFolder folder;
  const std::string path = folder.Write("cut.bin", "0123456789");
  {
    TFileStream file(path, FileMode::OpenReadWrite);
    file.Seek(0, SeekOrigin::End);
    file.WriteBuffer("AB", 2);
    file.SetSize(4);
    EXPECT_EQ(file.Position(), 4);
  }
  EXPECT_EQ(TempFolder::Read(path), "0123");
}

}  // namespace
}  // namespace nimbra
