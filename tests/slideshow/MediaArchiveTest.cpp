// Archive references: the scrambling, the reference's parts, the embedded file found at its
// offset and bounded by its chunk, and a picture object loading its picture from an archive.
#include <gtest/gtest.h>

#include "TempFolder.h"
#include "slideshow/MediaArchive.h"
#include "slideshow/PicSlideShowObject.h"
#include "storage/CSFStream.h"

namespace nimbra {
namespace {

TEST(MediaArchiveTest, ScramblingAdds128AndUndoesItself) {
  EXPECT_EQ(ScrambleBytes("abc"), "\xE1\xE2\xE3");
  EXPECT_EQ(ScrambleBytes("\xE1\xE2\xE3"), "abc");
  EXPECT_EQ(ScrambleBytes(std::string("\x00\x7F\x80\xFF", 4)), std::string("\x80\xFF\x00\x7F", 4));
  EXPECT_EQ(ScrambleText(ScrambleText("Grüße\\Ä.jpg")), "Grüße\\Ä.jpg");
}

TEST(MediaArchiveTest, ReferencesSplitIntoArchiveNameAndOffset) {
  const TArchiveReference reference{"C:\\Medien\\Sommer.kma", 1234567890123};
  const std::string stored = MakeArchiveReference(reference);
  EXPECT_EQ(stored.front(), '?');
  EXPECT_EQ(ParseArchiveReference(stored), reference);
  EXPECT_TRUE(IsArchiveReference(stored));

  EXPECT_FALSE(IsArchiveReference("C:\\Fotos\\a.jpg"));
  EXPECT_FALSE(IsArchiveReference("?" + ScrambleText("archiv.kma")));
  EXPECT_FALSE(IsArchiveReference("?" + ScrambleText("a.kma") + "?" + ScrambleText("12x")));
  EXPECT_FALSE(IsArchiveReference("?" + ScrambleText("a.kma") + "?"));
  EXPECT_FALSE(IsArchiveReference("?" + ScrambleText("a.kma") + "?" + ScrambleText("-5")));
}

// A picture reader for the tests' own format: the picture is as wide as its file is long.
class TLengthGraphic : public TGraphic {
 public:
  void LoadFromStream(TStream& stream) override {
    bytes_.resize(static_cast<size_t>(stream.Size()));
    stream.SetPosition(0);
    stream.ReadBuffer(bytes_.data(), stream.Size());
  }
  int Width() const override { return static_cast<int>(bytes_.size()); }
  int Height() const override { return 1; }
  const std::string& Bytes() const { return bytes_; }

 private:
  std::string bytes_;
};

class MediaArchiveFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterPictureFormat("tst", "Testbilder", [] { return std::make_unique<TLengthGraphic>(); });
  }
  void TearDown() override { UnregisterPictureFormat("tst"); }

  // An archive with an other chunk, an embedded "Foto.tst", an embedded "Foto.xyz" and a chunk
  // behind them.
  std::string WriteArchive(int32_t fileType = kMediaArchiveFileType, int32_t version = 257) {
    const std::string path = folder_.File("medien.kma");
    TCSFFile archive(path, CSFMode::Create);
    archive.SetFileType(fileType);
    archive.SetFileVersion(version);
    archive.BeginChunk(512);
    archive.WriteString("kein Bild");
    archive.EndChunk();
    otherOffset_ = kCSFHeaderSize;
    photoOffset_ = WriteEmbeddedFile(archive, "Foto.tst", "PIXELDATA");
    unknownOffset_ = WriteEmbeddedFile(archive, "Foto.xyz", "?");
    archive.BeginChunk(514);
    archive.WriteString("dahinter");
    archive.EndChunk();
    archive.Release();
    return path;
  }

  test::TempFolder folder_;
  int64_t otherOffset_ = 0;
  int64_t photoOffset_ = 0;
  int64_t unknownOffset_ = 0;
};

TEST_F(MediaArchiveFileTest, EmbeddedFileEndsWithItsChunk) {
  const std::string path = WriteArchive();
  std::unique_ptr<TEmbeddedFile> file = OpenEmbeddedFile(path, photoOffset_);
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(file->Name(), "Foto.tst");
  std::string bytes(static_cast<size_t>(file->Data().Size()), '\0');
  file->Data().ReadBuffer(bytes.data(), file->Data().Size());
  EXPECT_EQ(bytes, "PIXELDATA");
}

TEST_F(MediaArchiveFileTest, WrongArchivesAndOffsetsYieldNoFile) {
  EXPECT_EQ(OpenEmbeddedFile(WriteArchive(), otherOffset_), nullptr);  // chunk id 512
  EXPECT_EQ(OpenEmbeddedFile(WriteArchive(), photoOffset_ + 1), nullptr);
  EXPECT_EQ(OpenEmbeddedFile(WriteArchive(), -12), nullptr);
  EXPECT_EQ(OpenEmbeddedFile(WriteArchive(), 1 << 30), nullptr);
  EXPECT_EQ(OpenEmbeddedFile(folder_.File("fehlt.kma"), photoOffset_), nullptr);
  EXPECT_EQ(OpenEmbeddedFile(WriteArchive(1281, 257), photoOffset_), nullptr);
  EXPECT_EQ(OpenEmbeddedFile(WriteArchive(kMediaArchiveFileType, 256), photoOffset_), nullptr);
}

TEST_F(MediaArchiveFileTest, PictureObjectsLoadEmbeddedPicturesByTheirOwnNames) {
  const std::string path = WriteArchive();
  TExtPicSlideShowObject picture;
  picture.SetFileName(MakeArchiveReference({path, photoOffset_}));
  std::unique_ptr<TGraphic> graphic = picture.LoadPicture();
  ASSERT_NE(graphic, nullptr);
  EXPECT_EQ(dynamic_cast<TLengthGraphic&>(*graphic).Bytes(), "PIXELDATA");
  EXPECT_FALSE(picture.Picture().Failed());

  picture.SetFileName(MakeArchiveReference({path, unknownOffset_}));
  EXPECT_EQ(picture.LoadPicture(), nullptr);
  EXPECT_TRUE(picture.Picture().Failed());
  EXPECT_EQ(picture.Picture().FailureMessage(), "Falsches Dateiformat: Foto.xyz");

  picture.SetFileName(MakeArchiveReference({path, otherOffset_}));
  EXPECT_EQ(picture.LoadPicture(), nullptr);
  EXPECT_TRUE(picture.Picture().Failed());

  // A plain file goes through the picture readers directly.
  picture.SetFileName(folder_.Write("bild.tst", "1234"));
  graphic = picture.LoadPicture();
  ASSERT_NE(graphic, nullptr);
  EXPECT_EQ(graphic->Width(), 4);
  picture.SetFileName(folder_.File("fehlt.tst"));
  EXPECT_EQ(picture.LoadPicture(), nullptr);
  EXPECT_TRUE(picture.Picture().Failed());
}

}  // namespace
}  // namespace nimbra
