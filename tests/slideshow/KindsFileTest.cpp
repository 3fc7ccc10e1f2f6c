// The files the kinds refer to: names resolved against the document, renames, the change codes of
// new names, particle picture lists, and the EXIF record a picture keeps.
#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "JpegTestData.h"
#include "KindsTestSupport.h"
#include "TempFolder.h"
#include "slideshow/CompositeSlideShowObject.h"
#include "slideshow/ParticleSlideShowObject.h"
#include "slideshow/PicSlideShowObject.h"
#include "slideshow/SlideShow.h"
#include "slideshow/SoundSlideShowObject.h"

namespace nimbra {
namespace {

using test::ObjectBytes;
using test::ReadObjectBytes;
using test::TWireBytes;

class KindsFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    document_.SetFileName(folder_.File("album.kvt"));
    document_.OnModify = [this](TObject*, int32_t code) { codes_.push_back(code); };
  }

  template <typename T>
  T& Add() {
    auto object = std::make_unique<T>();
    T& added = *object;
    document_.RootList().Add(std::move(object));
    codes_.clear();
    return added;
  }

  std::string JpegWithExif(const std::string& name) {
    test::TTiffContent content;
    content.DateTimeOriginal = "2021:07:14 09:30:00";
    return folder_.Write(
        name, test::JpegFile({test::JpegSegment(test::kApp1, test::ExifPayload(content))}));
  }

  test::TempFolder folder_;
  TSlideShow document_;
  std::vector<int32_t> codes_;
};

TEST_F(KindsFileTest, NewNamesAreReportedOnceAndResolvedBesideTheDocument) {
  const std::string path = folder_.Write("Strand.jpg", "not decoded here");
  auto& picture = Add<TExtPicSlideShowObject>();
  picture.SetFileName("D:\\Urlaub\\Strand.jpg");
  picture.SetFileName("D:\\Urlaub\\Strand.jpg");
  EXPECT_EQ(codes_, std::vector<int32_t>{kChangePictureFileName});
  EXPECT_EQ(picture.GetFileName(), path);
  EXPECT_EQ(picture.GetFileNames(), std::vector<std::string>{path});
  EXPECT_EQ(picture.GetStoredFileNames(), std::vector<std::string>{"D:\\Urlaub\\Strand.jpg"});
  EXPECT_EQ(picture.FileCount(), 1);

  // Renaming matches the stored name or its resolved path, nothing else.
  picture.ReplaceFileName("Strand.jpg", "x.jpg");
  EXPECT_EQ(picture.GetStoredFileName(), "D:\\Urlaub\\Strand.jpg");
  picture.ReplaceFileName(path, "Meer.jpg");
  EXPECT_EQ(picture.GetStoredFileName(), "Meer.jpg");
  EXPECT_EQ(picture.GetFileName(), "");
  EXPECT_EQ(picture.GetFileNames(), std::vector<std::string>{"Meer.jpg"});
  EXPECT_EQ(picture.GetResolvedFileNames(), std::vector<std::string>{""});

  // Without a sound library nothing measures the sound: its stored length stays.
  auto& sound = Add<TSoundSlideShowObject>();
  sound.SetSoundLength(4321);
  sound.SetFileNameAt(0, "ton.wav");
  EXPECT_EQ(codes_, std::vector<int32_t>{kChangeFileName});
  EXPECT_EQ(sound.SoundLength(), 4321);
  EXPECT_EQ(sound.GetStoredFileName(), "ton.wav");
}

TEST_F(KindsFileTest, ParticlesReferToEachOfTheirPictures) {
  const std::string flake = folder_.Write("flocke.png", "x");
  auto& particles = Add<TParticleSlideShowObject>();
  EXPECT_EQ(particles.FileCount(), 0);
  EXPECT_EQ(particles.GetFileName(), "");
  particles.SetFileName("flocke.png");
  particles.SetFileNameAt(1, "tropfen.png");
  particles.SetFileNameAt(5, "ignoriert.png");
  EXPECT_EQ(particles.PictureFileNames(), "flocke.png\r\ntropfen.png");
  EXPECT_EQ(codes_, (std::vector<int32_t>{40, 40}));
  EXPECT_EQ(particles.GetFileName(), flake);
  EXPECT_EQ(particles.GetFileNames(), (std::vector<std::string>{flake, "tropfen.png"}));
  particles.ReplaceFileName(flake, "schnee.png");
  EXPECT_EQ(particles.GetStoredFileNames(),
            (std::vector<std::string>{"schnee.png", "tropfen.png"}));
}

TEST_F(KindsFileTest, ExifIsReadOnceWrittenWithTheDocumentAndNeverForAFileWithout) {
  JpegWithExif("foto.jpg");
  auto& picture = Add<TExtPicSlideShowObject>();
  picture.SetFileName("foto.jpg");
  EXPECT_EQ(picture.ExifState(), 0);
  ASSERT_TRUE(picture.HasExif());
  EXPECT_EQ(picture.ExifState(), 1);
  EXPECT_EQ(picture.Exif()->CaptureYear(), 2021);

  // The record travels with the object: a reader needs no file.
  const std::string bytes = ObjectBytes(picture);
  std::filesystem::remove(folder_.File("foto.jpg"));
  TExtPicSlideShowObject read;
  ASSERT_TRUE(ReadObjectBytes(read, bytes).Read);
  EXPECT_EQ(read.ExifState(), 1);
  ASSERT_NE(read.Exif(), nullptr);
  EXPECT_EQ(read.Exif()->CaptureMonth(), 7);
  EXPECT_EQ(ObjectBytes(read), bytes);

  // State 2: no sub-chunk, and the file, even one with EXIF data, is not opened again.
  TWireBytes stored = test::NewExtBitmapBytes();
  stored.Str(folder_.File("foto2.jpg")).Byte(2);
  JpegWithExif("foto2.jpg");
  TExtPicSlideShowObject without;
  EXPECT_EQ(ReadObjectBytes(without, stored.Bytes()).Unread, 0);
  EXPECT_FALSE(without.HasExif());
  EXPECT_EQ(without.Exif(), nullptr);
  EXPECT_EQ(ObjectBytes(without), stored.Bytes());
  // Asked to, it reads the file again.
  EXPECT_TRUE(without.ReloadExif());
  EXPECT_EQ(without.ExifState(), 1);
}

TEST_F(KindsFileTest, AMissingFileIsLookedAtAgainAndANewNameForgetsTheOldRecord) {
  auto& picture = Add<TPicTextSoundCompositeSlideShowObject>();
  picture.SetFileName("spaeter.jpg");
  EXPECT_FALSE(picture.HasExif());
  EXPECT_EQ(picture.ExifState(), 0);
  JpegWithExif("spaeter.jpg");
  EXPECT_TRUE(picture.HasExif());
  picture.SetFileName("anderes.jpg");
  EXPECT_EQ(picture.ExifState(), 0);
  EXPECT_EQ(picture.Exif(), nullptr);
}

TEST(KindsExifTest, AnUnreadableExifSubChunkFailsThePicturesRead) {
  TWireBytes stored = test::NewExtBitmapBytes();
  stored.Str("foto.jpg").Byte(1).Int(400).Raw("kurz");
  TExtPicSlideShowObject picture;
  EXPECT_FALSE(ReadObjectBytes(picture, stored.Bytes()).Read);
  EXPECT_EQ(picture.GetStoredFileName(), "foto.jpg");
}

}  // namespace
}  // namespace nimbra
