#include "storage/FileAccess.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "TempFolder.h"

namespace nimbra {
namespace {

using test::TempFolder;

// Writes a plain package of the named files (contents: the name in upper case) into the folder.
std::string WritePackage(const TempFolder& folder, const std::string& fileName,
                         const std::vector<std::string>& names) {
  const std::string path = folder.File(fileName);
  TPackager packager;
  EXPECT_TRUE(packager.CreatePackageFile(path));
  for (const std::string& name : names) {
    EXPECT_TRUE(packager.AddFile(folder.Write("content", fileName + ":" + name),
                                 std::make_unique<TPackageFileListItem>(name)));
  }
  EXPECT_TRUE(packager.Close());
  return path;
}

std::string ReadName(TFileAccess& access, const std::string& name) {
  std::unique_ptr<TStream> stream = access.OpenFile(name);
  if (!stream) return "<none>";
  std::string bytes(static_cast<size_t>(stream->Size()), '\0');
  stream->ReadBuffer(bytes.data(), stream->Size());
  return bytes;
}

TEST(FileAccessTest, PackageNamesSplitAtTheFirstBar) {
  std::string package;
  std::string file;
  EXPECT_TRUE(TFileAccess::SplitPackageName("A|b|c", package, file));
  EXPECT_EQ(package, "A");
  EXPECT_EQ(file, "b|c");
  EXPECT_FALSE(TFileAccess::SplitPackageName("plain.jpg", package, file));
  EXPECT_TRUE(package.empty() && file.empty());
  EXPECT_TRUE(TFileAccess::IsPackageName("|Oriel.cfg"));
  EXPECT_FALSE(TFileAccess::IsPackageName("/tmp/Oriel.cfg"));
}

TEST(FileAccessTest, BarNamesOpenInsideRegisteredPackages) {
  TempFolder folder;
  TFileAccess access;
  EXPECT_FALSE(access.FileExists("|Oriel.cfg"));
  EXPECT_EQ(access.OpenFile("|Oriel.cfg"), nullptr);

  const std::string path = WritePackage(folder, "album.pkg", {"ORIEL.CFG"});
  ASSERT_TRUE(access.AddPlainPackage(path));
  EXPECT_TRUE(access.FileExists("|Oriel.cfg"));
  EXPECT_EQ(ReadName(access, "|oriel.cfg"), "album.pkg:ORIEL.CFG");
  // The package part names a registered package by its path, in any case.
  EXPECT_TRUE(access.FileExists(path + "|Oriel.cfg"));
  const std::string upper = folder.Path().string() + "/ALBUM.PKG";
  EXPECT_TRUE(access.FileExists(upper + "|Oriel.cfg"));
  EXPECT_FALSE(access.FileExists("OTHER|Oriel.cfg"));
  EXPECT_FALSE(access.FileExists("|missing.jpg"));
}

TEST(FileAccessTest, NamedPackageIsTheOnlyOneAsked) {
  TempFolder folder;
  TFileAccess access;
  const std::string first = WritePackage(folder, "first.pkg", {"a.jpg"});
  const std::string second = WritePackage(folder, "second.pkg", {"a.jpg", "b.jpg"});
  ASSERT_TRUE(access.AddPlainPackage(first));
  ASSERT_TRUE(access.AddPlainPackage(second));
  EXPECT_EQ(ReadName(access, "|a.jpg"), "first.pkg:a.jpg");
  EXPECT_EQ(ReadName(access, second + "|a.jpg"), "second.pkg:a.jpg");
  EXPECT_EQ(ReadName(access, "|b.jpg"), "second.pkg:b.jpg");
  EXPECT_FALSE(access.FileExists(first + "|b.jpg"));
}

TEST(FileAccessTest, DiskNamesAreRegularFilesOnly) {
  TempFolder folder;
  TFileAccess access;
  const std::string path = folder.Write("photo.jpg", "jpeg bytes");
  EXPECT_TRUE(access.FileExists(path));
  EXPECT_EQ(ReadName(access, path), "jpeg bytes");
  EXPECT_FALSE(access.FileExists(folder.Path().string()));
  EXPECT_EQ(access.OpenFile(folder.Path().string()), nullptr);
  EXPECT_FALSE(access.FileExists(folder.File("missing.jpg")));
  EXPECT_FALSE(access.AddPlainPackage(folder.File("missing.pkg")));
}

TEST(FileAccessTest, PackageDeletedAfterRegistrationIsRetriedLater) {
  TempFolder folder;
  TFileAccess access;
  const std::string path = WritePackage(folder, "late.pkg", {"x.txt"});
  ASSERT_TRUE(access.AddPlainPackage(path));
  std::filesystem::remove(path);
  EXPECT_FALSE(access.FileExists("|x.txt"));
  WritePackage(folder, "late.pkg", {"x.txt"});
  EXPECT_TRUE(access.FileExists("|x.txt"));
}

TEST(FileAccessTest, OpenedPackagersRegisterUnderAName) {
  TempFolder folder;
  const std::string path = WritePackage(folder, "album", {"show.kvt"});
  auto packager = std::make_unique<TPackager>();
  ASSERT_TRUE(packager->OpenPackageFile(path));
  TFileAccess access;
  EXPECT_TRUE(access.AddPackager(std::move(packager), "/opt/Album"));
  EXPECT_TRUE(access.FileExists("/OPT/ALBUM|SHOW.KVT"));
  EXPECT_TRUE(access.FileExists("|show.kvt"));
}

TEST(FileAccessTest, GlobalFileAccessIsSharedUntilCleared) {
  auto access = std::make_shared<TFileAccess>();
  SetFileAccess(access);
  EXPECT_EQ(FileAccess(), access);
  SetFileAccess(nullptr);
  EXPECT_EQ(FileAccess(), nullptr);
}

}  // namespace
}  // namespace nimbra
