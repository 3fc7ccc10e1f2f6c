#include <gtest/gtest.h>

#include "RenderTestSupport.h"
#include "render/PictureFormatWriter.h"
#include "render/PrintWizardPictureEngineProperties.h"
#include "storage/CSFStreamWinTypes.h"
#include "storage/MemoryStream.h"

namespace nimbra {
namespace {

using test::TRenderTest;

std::string Saved(const TProperties& bag) {
  TMemoryStream bytes;
  EXPECT_TRUE(bag.SaveToStream(bytes, kCopyFileType, kCopyFileVersion));
  return bytes.ToString();
}

bool Loaded(TProperties& bag, const std::string& bytes) {
  TMemoryStream stream(bytes);
  return bag.LoadFromStream(stream, kCopyFileType, kCopyFileVersion);
}

using EnginePropertiesTest = TRenderTest;

TEST_F(EnginePropertiesTest, PixelSizeFollowsTheUnitAndResolution) {
  TPrintWizardPictureEngineProperties bag;
  EXPECT_EQ(bag.PixelWidth(), 1024);
  EXPECT_EQ(bag.PixelHeight(), 768);
  // Pixels stay pixels whatever the resolution.
  bag.SetResolution(300);
  EXPECT_EQ(bag.PixelWidth(), 1024);
  EXPECT_EQ(bag.PixelHeight(), 768);

  struct Case {
    uint8_t unit;
    double width, height, dpi;
    int32_t pixelWidth, pixelHeight;
  };
  for (const Case& c : std::vector<Case>{
           {kSizeUnitCentimetres, 21, 29.7, 96, 794, 1123},
           {kSizeUnitMillimetres, 210, 297, 96, 794, 1123},
           {kSizeUnitDecimetres, 2.1, 2.97, 96, 794, 1123},
           {kSizeUnitInches, 8.5, 11, 300, 2550, 3300},
           {9, 2, 3, 100, 200, 300},  // an unknown unit counts as inches
           // halves go to the even neighbour
           {kSizeUnitPixels, 100.5, 101.5, 96, 100, 102},
       }) {
    bag.SetSizeUnit(c.unit);
    bag.SetWidth(c.width);
    bag.SetHeight(c.height);
    bag.SetResolution(c.dpi);
    EXPECT_EQ(bag.PixelWidth(), c.pixelWidth) << int(c.unit);
    EXPECT_EQ(bag.PixelHeight(), c.pixelHeight) << int(c.unit);
  }
  // Converted explicitly, pixels count 72 to the inch.
  EXPECT_EQ(LengthToPixels(72, kSizeUnitPixels, 96), 96);
}

TEST_F(EnginePropertiesTest, CompleteOnlyWithFolderPrefixAndFormat) {
  TPrintWizardPictureEngineProperties bag;
  EXPECT_EQ(bag.FileNamePrefix(), "Bild");
  EXPECT_EQ(bag.PictureFormat(), nullptr);
  EXPECT_FALSE(bag.IsComplete());
  bag.SetOutputDirectory("/tmp/pages");
  EXPECT_FALSE(bag.IsComplete());
  bag.SetFormat(TPngFormatWriter::StaticClass());
  EXPECT_TRUE(bag.IsComplete());
  bag.SetFileNamePrefix("");
  EXPECT_FALSE(bag.IsComplete());
  bag.SetFileNamePrefix("Seite");
  bag.FreeFormat();
  EXPECT_FALSE(bag.IsComplete());
  // A class that is no picture format leaves none.
  bag.SetFormat(TRenderEngineProperties::StaticClass());
  EXPECT_EQ(bag.PictureFormat(), nullptr);
  EXPECT_NE(bag.EditorFrameClassNames().find("TPictureRenderEnginePropertyEditorFrame"),
            std::string::npos);
}

TEST_F(EnginePropertiesTest, StoredFormKeepsEveryFieldAndTheFormatWithItsSettings) {
  TRenderEngineProperties base;
  base.SetInsertBlankPages(true);
  TRenderEngineProperties baseCopy;
  ASSERT_TRUE(Loaded(baseCopy, Saved(base)));
  EXPECT_TRUE(baseCopy.InsertBlankPages());

  TPrintWizardPictureEngineProperties bag;
  bag.SetInsertBlankPages(true);
  bag.SetOutputDirectory("Ausgabe/Seiten");
  bag.SetFileNamePrefix("Seite ä");
  bag.SetWidth(21);
  bag.SetHeight(29.7);
  bag.SetSizeUnit(kSizeUnitCentimetres);
  bag.SetResolution(150);
  bag.SetFormat(TJpegFormatWriter::StaticClass());
  static_cast<TJpegFormatWriter*>(bag.PictureFormat())->SetQuality(75);

  const std::unique_ptr<TProperties> clone = bag.Clone();
  auto* copy = dynamic_cast<TPrintWizardPictureEngineProperties*>(clone.get());
  ASSERT_NE(copy, nullptr);
  EXPECT_TRUE(copy->InsertBlankPages());
  EXPECT_EQ(copy->OutputDirectory(), "Ausgabe/Seiten");
  EXPECT_EQ(copy->FileNamePrefix(), "Seite ä");
  EXPECT_EQ(copy->Width(), 21);
  EXPECT_EQ(copy->Height(), 29.7);
  EXPECT_EQ(copy->SizeUnit(), kSizeUnitCentimetres);
  EXPECT_EQ(copy->Resolution(), 150);
  auto* jpeg = dynamic_cast<TJpegFormatWriter*>(copy->PictureFormat());
  ASSERT_NE(jpeg, nullptr);
  EXPECT_EQ(jpeg->Quality(), 75);
  EXPECT_NE(jpeg, bag.PictureFormat());
  EXPECT_EQ(Saved(*copy), Saved(bag));

  bag.SetFormat(TBmpFormatWriter::StaticClass());
  static_cast<TBmpFormatWriter*>(bag.PictureFormat())->SetBitsPerPixel(32);
  ASSERT_TRUE(Loaded(*copy, Saved(bag)));
  auto* bmp = dynamic_cast<TBmpFormatWriter*>(copy->PictureFormat());
  ASSERT_NE(bmp, nullptr);
  EXPECT_EQ(bmp->BitsPerPixel(), 32);

  // Reading a bag without a format drops the one there was.
  bag.FreeFormat();
  ASSERT_TRUE(Loaded(*copy, Saved(bag)));
  EXPECT_EQ(copy->PictureFormat(), nullptr);
}

// The bag's bytes with the format sub-chunk holding the class name and no settings.
std::string BagWithFormatClass(const std::string& className) {
  TMemoryStream bytes;
  TCSFStreamWinTypes csf(bytes, CSFMode::Headerless);
  csf.SetFileType(kCopyFileType);
  csf.SetFileVersion(kCopyFileVersion);
  {
    TWriteSubChunk engine(csf);
    csf.WriteBoolean(false);
    engine.End();
  }
  TWriteSubChunk own(csf);
  csf.WriteString("Seiten");
  csf.WriteString("Bild");
  csf.WriteDouble(640);
  csf.WriteDouble(480);
  csf.WriteByte(kSizeUnitPixels);
  csf.WriteDouble(72);
  TWriteSubChunk format(csf);
  csf.WriteString(className);
  TWriteSubChunk settings(csf);
  settings.End();
  format.End();
  own.End();
  csf.Release();
  return bytes.ToString();
}

TEST_F(EnginePropertiesTest, AStoredClassThatIsNoPictureFormatLeavesNone) {
  for (const std::string name : {"TGifFormatWriter", "TRenderEngineProperties"}) {
    TPrintWizardPictureEngineProperties bag;
    bag.SetFormat(TPngFormatWriter::StaticClass());
    EXPECT_TRUE(Loaded(bag, BagWithFormatClass(name))) << name;
    EXPECT_EQ(bag.PictureFormat(), nullptr) << name;
    EXPECT_EQ(bag.PixelWidth(), 640);
    EXPECT_EQ(bag.Resolution(), 72);
  }
  // The class is found by name whatever its case; its missing settings keep the defaults.
  TPrintWizardPictureEngineProperties bag;
  EXPECT_FALSE(Loaded(bag, BagWithFormatClass("tjpegformatwriter")));
  auto* jpeg = dynamic_cast<TJpegFormatWriter*>(bag.PictureFormat());
  ASSERT_NE(jpeg, nullptr);
  EXPECT_EQ(jpeg->Quality(), TJpegFormatWriter::kDefaultQuality);
}

TEST_F(EnginePropertiesTest, FormatsAreFoundByTheirExtension) {
  EXPECT_EQ(FindPictureFormatWriter("PNG"), &TPngFormatWriter::StaticClass());
  EXPECT_EQ(FindPictureFormatWriter("jpg"), &TJpegFormatWriter::StaticClass());
  EXPECT_EQ(FindPictureFormatWriter("jpeg"), &TJpegFormatWriter::StaticClass());
  EXPECT_EQ(FindPictureFormatWriter("bmp"), &TBmpFormatWriter::StaticClass());
  EXPECT_EQ(FindPictureFormatWriter("gif"), nullptr);
  TJpegFormatWriter jpeg;
  jpeg.SetQuality(0);
  EXPECT_EQ(jpeg.Quality(), 1);
  jpeg.SetQuality(250);
  EXPECT_EQ(jpeg.Quality(), 100);
}

}  // namespace
}  // namespace nimbra
