// A picture file is opened once: its header chooses the decode hint, and the pixels are read on
// from the same stream, giving what a reader decoding the file on its own with that hint gives.
#include "raster/PictureFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "CodecTestPictures.h"
#include "LargePictureFiles.h"
#include "LibraryTestPictures.h"
#include "TempFolder.h"
#include "raster/BmpCodec.h"
#include "raster/JpegCodec.h"
#include "raster/PictureFormatRegistration.h"
#include "raster/PictureSignatures.h"
#include "raster/PictureWriters.h"
#include "storage/FileAccess.h"

namespace nimbra {
namespace {

// Counts how often each name is opened and how many bytes are read from it.
class TCountingFileAccess : public IFileAccess {
 public:
  struct TCount {
    int opened = 0;
    int64_t read = 0;
  };

  std::unique_ptr<TStream> OpenFile(std::string_view name) override {
    std::unique_ptr<TStream> stream = files_.OpenFile(name);
    if (!stream) return stream;
    TCount& count = counts_[std::string(name)];
    ++count.opened;
    return std::make_unique<TCountingStream>(std::move(stream), count.read);
  }
  bool FileExists(std::string_view name) override { return files_.FileExists(name); }
  const TCount& Count(const std::string& name) { return counts_[name]; }

 private:
  class TCountingStream : public TStream {
   public:
    TCountingStream(std::unique_ptr<TStream> stream, int64_t& read)
        : stream_(std::move(stream)), read_(read) {}
    int64_t Read(void* buffer, int64_t count) override {
      const int64_t got = stream_->Read(buffer, count);
      read_ += got;
      return got;
    }
    int64_t Write(const void* buffer, int64_t count) override {
      return stream_->Write(buffer, count);
    }
    int64_t Seek(int64_t offset, SeekOrigin origin) override {
      return stream_->Seek(offset, origin);
    }
    int64_t GetSize() override { return stream_->GetSize(); }
    void SetSize(int64_t size) override { stream_->SetSize(size); }

   private:
    std::unique_ptr<TStream> stream_;
    int64_t& read_;
  };

  TFileAccess files_;
  std::map<std::string, TCount> counts_;
};

class PictureFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterPictureFormats();
    previous_ = FileAccess();
    SetFileAccess(access_);
  }
  void TearDown() override {
    SetFileAccess(previous_);
    UnregisterPictureFormats();
  }

  test::TempFolder folder_;
  std::shared_ptr<TCountingFileAccess> access_ = std::make_shared<TCountingFileAccess>();
  std::shared_ptr<IFileAccess> previous_;
};

std::string Jpeg(const TBitmap32& picture) {
  TMemoryStream stream;
  SaveJpeg(picture, stream);
  return stream.ToString();
}

TEST_F(PictureFileTest, TheHeaderChoosesTheHintAndTheFileIsReadOnce) {
  const TBitmap32 picture = test::TestPattern(96, 64, true);
  const std::vector<std::pair<std::string, std::string>> files = {
      {"turned.jpg", test::WithExifOrientation(Jpeg(picture), 6)},
      {"photo.png", test::PngBytes({.width = 3, .height = 2, .rows = {"012345678", "876543210"}})},
      {"photo.tif", test::TiffBytes(picture, {.orientation = 8})},
      {"photo.tga", test::TargaBytes(picture, {.imageType = 10, .pixelBits = 32, .alphaBits = 8})},
      {"photo.bmp", test::BmpBytes({.width = 2, .height = 1, .pixels = std::string(8, '\x7f')})},
      {"photo.jp2", test::Jpeg2000Bytes(picture, true, false)},
  };
  for (const auto& [name, bytes] : files) {
    const std::string path = folder_.Write(name, bytes);
    TPictureSize shown;
    const std::unique_ptr<TBitmap32> loaded = LoadBitmap32(path, [&](const TPictureSize& size) {
      shown = size;
      return TDecodeHint{size.Width / 3, size.Height / 3};
    });
    ASSERT_NE(loaded, nullptr) << name;
    EXPECT_EQ(access_->Count(path).opened, 1) << name;
    EXPECT_EQ(shown, ReadShownSize(*access_, path)) << name;
    const TDecodeHint hint{shown.Width / 3, shown.Height / 3};
    EXPECT_EQ(*loaded, test::DecodeAs(test::ReaderFor(FileExtension(name)), bytes, hint)) << name;
  }
  // A baseline JPEG is read in one pass up to its last scan, after its first bytes chose the
  // reader.
  const std::string photo = folder_.Write("photo.jpg", Jpeg(test::TestPattern(640, 480)));
  ASSERT_NE(LoadBitmap32(photo), nullptr);
  EXPECT_LE(access_->Count(photo).read,
            static_cast<int64_t>(std::filesystem::file_size(photo) + kPictureSignatureBytes));
}

TEST_F(PictureFileTest, WhatCannotBeReadIsNone) {
  RegisterPictureFormat("txt", "Text", [] { return std::unique_ptr<TGraphic>(); });
  const std::string refused = folder_.Write("huge.png", test::BlankPng(268435456, 1));
  for (const std::string& name : {folder_.Write("note.txt", "text"), folder_.File("missing.png"),
                                  folder_.Write("broken.jpg", "\xFF\xD8 broken"), refused}) {
    EXPECT_EQ(LoadBitmap32(name), nullptr) << name;
    EXPECT_THROW(TPictureFile::Open(*access_, name), ECodecError) << name;
  }
  UnregisterPictureFormat("txt");

  // A reader reads its header once and decodes once; after a refusal it reads nothing more.
  TMemoryStream stream(Jpeg(test::TestPattern(8, 6)));
  const std::unique_ptr<TPictureReader> reader = OpenJpegReader(stream);
  EXPECT_EQ(reader->ReadHeader(), (TPictureSize{8, 6}));
  EXPECT_EQ(reader->ReadHeader(), (TPictureSize{8, 6}));
  EXPECT_EQ(reader->Decode().Width(), 8);
  EXPECT_THROW(reader->Decode(), ECodecError);
  TMemoryStream bad(std::string("BM"));
  const std::unique_ptr<TPictureReader> refusing = OpenBmpReader(bad);
  EXPECT_THROW(refusing->ReadHeader(), ECodecError);
  EXPECT_THROW(refusing->Decode(), ECodecError);
}

}  // namespace
}  // namespace nimbra
