#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "CodecTestPictures.h"
#include "LibraryTestPictures.h"
#include "TempFolder.h"
#include "raster/Bitmap32Graphic.h"
#include "raster/JpegCodec.h"
#include "raster/PictureFormatRegistration.h"
#include "raster/PictureWriters.h"
#include "storage/FileAccess.h"
#include "storage/Packager.h"
#include "storage/StreamErrors.h"

namespace nimbra {
namespace {

using test::TempFolder;

class PictureFormatRegistrationTest : public ::testing::Test {
 protected:
  void SetUp() override { RegisterPictureFormats(); }
  void TearDown() override { UnregisterPictureFormats(); }

  std::string Write(const std::string& name, const std::string& bytes) {
    return folder_.Write(name, bytes);
  }

  TempFolder folder_;
  TFileAccess access_;
};

std::string Saved(void (*save)(const TBitmap32&, TStream&), const TBitmap32& picture) {
  TMemoryStream stream;
  save(picture, stream);
  return stream.ToString();
}

TEST_F(PictureFormatRegistrationTest, EveryExtensionHasItsReaderAndADescription) {
  const std::vector<std::string> registered = PictureFormatExtensions();
  for (const char* extension : {"jpg", "jpeg", "jpe", "jfif", "png", "tif", "tiff", "gif", "tga",
                                "pcx", "bmp", "dib", "jp2", "j2k", "jpc", "j2c"}) {
    EXPECT_NE(std::find(registered.begin(), registered.end(), extension), registered.end())
        << extension;
    EXPECT_NE(FindPictureFormat(extension)->OpenReader, nullptr) << extension;
  }
  for (const TPictureReaderInfo& reader : PictureReaders())
    EXPECT_FALSE(reader.Description.empty());
  EXPECT_EQ(FindPictureFormat("JPEG")->OpenReader, &OpenJpegReader);
  EXPECT_FALSE(FindPictureFormat("xyz"));
  EXPECT_FALSE(FindPictureFormat(""));
}

TEST_F(PictureFormatRegistrationTest, LoadGraphicPicksTheReaderByContentOrExtension) {
  const TBitmap32 picture = test::TestPattern(16, 8);
  const TBitmap32 stripes = test::StripedPicture(16, 8, 4);
  const std::pair<std::string, std::string> files[] = {
      {"a.JPG", Saved([](const TBitmap32& b, TStream& s) { SaveJpeg(b, s); }, picture)},
      {"b.png", Saved(SavePng, picture)},
      {"c.bmp", Saved([](const TBitmap32& b, TStream& s) { SaveBmp(b, s); }, picture)},
      {"d.tga", test::TargaBytes(picture, {.imageType = 10})},
      {"e.pcx", test::PcxBytes(stripes, {})},
      {"f.gif", test::GifBytes({.screenWidth = 16,
                                .screenHeight = 8,
                                .width = 16,
                                .height = 8,
                                .palette = {kColor32Black},
                                .indices = std::vector<uint8_t>(128, 0)})},
      {"g.tiff", test::TiffBytes(picture, {})},
      {"h.jp2", test::Jpeg2000Bytes(picture, true, false)},
      {"i.j2k", test::Jpeg2000Bytes(picture, false, false)},
  };
  for (const auto& [name, bytes] : files) {
    const std::unique_ptr<TGraphic> graphic = LoadGraphic(access_, Write(name, bytes));
    ASSERT_NE(graphic, nullptr) << name;
    EXPECT_EQ(graphic->Width(), 16) << name;
    EXPECT_EQ(graphic->Height(), 8) << name;
    ASSERT_NE(dynamic_cast<TBitmap32Graphic*>(graphic.get()), nullptr) << name;
  }
  // A file of one format under another's extension, or under none we know, is read as what it
  // is; formats without a signature only under their own extensions.
  for (const std::string name : {"wrong.gif", "unknown.xyz"}) {
    const std::unique_ptr<TGraphic> graphic = LoadGraphic(access_, Write(name, files[1].second));
    ASSERT_NE(graphic, nullptr) << name;
    EXPECT_EQ(graphic->Width(), 16) << name;
  }
  EXPECT_EQ(LoadGraphic(access_, Write("targa.gif", files[3].second)), nullptr);
  EXPECT_EQ(LoadGraphic(access_, folder_.File("missing.png")), nullptr);
}

TEST_F(PictureFormatRegistrationTest, TheHintedLoadGraphicReducesWhereTheReaderCan) {
  const TBitmap32 picture = test::TestPattern(64, 40);
  const std::string jpg =
      Write("photo.jpg", Saved([](const TBitmap32& b, TStream& s) { SaveJpeg(b, s); }, picture));
  const std::string png = Write("photo.png", Saved(SavePng, picture));
  const std::string bmp =
      Write("photo.bmp", Saved([](const TBitmap32& b, TStream& s) { SaveBmp(b, s); }, picture));

  for (const std::string& reducible : {jpg, png}) {
    const std::unique_ptr<TGraphic> reduced = LoadGraphic(access_, reducible, TDecodeHint{16, 10});
    ASSERT_NE(reduced, nullptr);
    EXPECT_EQ(reduced->Width(), 16);
    EXPECT_EQ(reduced->Height(), 10);
  }
  EXPECT_EQ(LoadGraphic(access_, jpg, TDecodeHint{})->Width(), 64);
  EXPECT_EQ(LoadGraphic(access_, bmp, TDecodeHint{16, 10})->Width(), 64);

  EXPECT_EQ(LoadGraphic(access_, Write("broken.jpg", "\xFF\xD8 broken"), TDecodeHint{16, 10}),
            nullptr);
  EXPECT_EQ(LoadGraphic(access_, folder_.File("missing.jpg"), TDecodeHint{16, 10}), nullptr);
  EXPECT_EQ(LoadGraphic(access_, Write("odd.xyz", "data"), TDecodeHint{16, 10}), nullptr);

  // Unregistered extensions are refused by both forms.
  UnregisterPictureFormats();
  EXPECT_EQ(LoadGraphic(access_, jpg), nullptr);
  EXPECT_EQ(LoadGraphic(access_, jpg, TDecodeHint{16, 10}), nullptr);
}

// A picture format that reads "W H" as its size and refuses anything else.
class TTextPicture : public TGraphic {
 public:
  void LoadFromStream(TStream& stream) override {
    std::string text(static_cast<size_t>(stream.Size()), '\0');
    stream.ReadBuffer(text.data(), stream.Size());
    if (std::sscanf(text.c_str(), "%d %d", &width_, &height_) != 2) throw EReadError("not a size");
  }
  int Width() const override { return width_; }
  int Height() const override { return height_; }

 private:
  int width_ = 0;
  int height_ = 0;
};

TEST(PictureFormatsTest, LoadGraphicPicksTheReaderByContentOrExtension) {
  RegisterPictureFormat("TXP", "test pictures", [] { return std::make_unique<TTextPicture>(); });
  TempFolder folder;
  TFileAccess access;
  {
    TPackager packager;
    ASSERT_TRUE(packager.CreatePackageFile(folder.File("p.pkg")));
    ASSERT_TRUE(packager.AddFile(folder.Write("content", "no size"),
                                 std::make_unique<TPackageFileListItem>("a.txp")));
    ASSERT_TRUE(packager.Close());
  }
  ASSERT_TRUE(access.AddPlainPackage(folder.File("p.pkg")));
  const std::string good = folder.Write("Size.TxP", "640 480");
  std::unique_ptr<TGraphic> picture = LoadGraphic(access, good);
  ASSERT_NE(picture, nullptr);
  EXPECT_EQ(picture->Width(), 640);
  EXPECT_EQ(picture->Height(), 480);
  EXPECT_EQ(LoadGraphic(access, "|a.txp"), nullptr);  // "no size" is no size
  EXPECT_EQ(LoadGraphic(access, folder.Write("size.xyz", "1 2")), nullptr);
  EXPECT_EQ(LoadGraphic(access, folder.File("missing.txp")), nullptr);
  EXPECT_EQ(FileExtension("C:\\Bilder.neu\\Foto"), "");
  EXPECT_EQ(FileExtension("|Urlaub.JPEG"), "jpeg");
  UnregisterPictureFormat("txp");
  EXPECT_EQ(LoadGraphic(access, good), nullptr);
}

}  // namespace
}  // namespace nimbra
