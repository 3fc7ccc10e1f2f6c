#include "album/AlbumIdentity.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "StartupTestAlbum.h"
#include "TempFolder.h"
#include "storage/Packager.h"

namespace nimbra {
namespace {

namespace fs = std::filesystem;

TAlbumIdentity IdentityOf(const fs::path& program) {
  TPackager packager;
  EXPECT_TRUE(packager.OpenExecutable(program.string())) << program;
  return PackagedAlbumIdentity(program.string(), packager);
}

// An album program is known by what it carries: moved or renamed it stays the same album, built
// with other settings it is another one. An album of documents is known by their paths.
TEST(AlbumIdentityTest, AnAlbumIsKnownByWhatItCarriesNotWhereItLies) {
  test::TempFolder folder;
  for (const char* name : {"timed", "manual"}) fs::create_directories(folder.Path() / name);
  const fs::path urlaub = folder.Path() / "urlaub";
  test::WriteStartupExecutable(urlaub.string(),
                               test::WriteStartupAlbumFiles(folder.File("timed"), 0));
  const fs::path renamed = folder.Path() / "Sommer 2026";
  fs::copy_file(urlaub, renamed);
  const fs::path otherSettings = folder.Path() / "manuell";
  test::WriteStartupExecutable(otherSettings.string(),
                               test::WriteStartupAlbumFiles(folder.File("manual"), 2));

  const TAlbumIdentity first = IdentityOf(urlaub);
  EXPECT_EQ(first.Name, "urlaub");
  EXPECT_EQ(first.Source, urlaub.string());
  EXPECT_EQ(first.Key.find_first_not_of("0123456789abcdef"), std::string::npos);
  EXPECT_EQ(first.Key.size(), 16u);
  EXPECT_EQ(IdentityOf(urlaub).Key, first.Key);
  EXPECT_EQ(IdentityOf(renamed).Key, first.Key);
  EXPECT_EQ(IdentityOf(renamed).Name, "Sommer 2026");
  EXPECT_NE(IdentityOf(otherSettings).Key, first.Key);

  const TAlbumIdentity documents = DocumentsAlbumIdentity("/home/a/Urlaub.kvt", "/home/a/v.pwt");
  EXPECT_EQ(documents.Name, "Urlaub");
  EXPECT_EQ(documents.Source, "/home/a/Urlaub.kvt");
  EXPECT_EQ(DocumentsAlbumIdentity("/home/a/Urlaub.kvt", "/home/a/v.pwt").Key, documents.Key);
  EXPECT_NE(DocumentsAlbumIdentity("/home/b/Urlaub.kvt", "/home/a/v.pwt").Key, documents.Key);
  EXPECT_NE(DocumentsAlbumIdentity("/home/a/Urlaub.kvt", "/home/a/w.pwt").Key, documents.Key);

  EXPECT_EQ(AlbumStoreKey("\\Software\\Velmora\\Nimbra\\1.x\\", documents),
            "\\Software\\Velmora\\Nimbra\\1.x\\Alben\\" + documents.Key + "\\");
}

}  // namespace
}  // namespace nimbra
