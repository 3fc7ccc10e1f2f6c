#include <gtest/gtest.h>

#include "JpegTestData.h"
#include "TempFolder.h"
#include "WireBytes.h"
#include "slideshow/Exif.h"
#include "storage/CSFStreamWinTypes.h"
#include "storage/MemoryStream.h"

namespace nimbra {
namespace {

using test::AsciiUserComment;
using test::ExifPayload;
using test::JpegFile;
using test::JpegSegment;
using test::TTiffContent;
using test::TWireBytes;

// A resource block holding one IPTC dataset (2:90, the city).
const char kIptcBytes[] = "Photoshop 3.0\0008BIM\x04\x04\0\0\0\0\0\x07\x1C\x02\x5A\0\x03Rom";
const std::string kIptcPayload(kIptcBytes, sizeof kIptcBytes - 1);

TTiffContent CameraContent(bool bigEndian) {
  TTiffContent content;
  content.BigEndian = bigEndian;
  content.DateTime = "2005:01:01 00:00:00";
  content.DateTimeOriginal = "2004:07:15 18:42:09";
  content.UserComment = AsciiUserComment("  Am Strand\r\n\t ");
  return content;
}

// The segment as the record keeps it: the length field and the payload, without the marker.
std::string Kept(const std::string& segment) {
  return segment.substr(2);
}

std::string WriteRecord(const TExif& record, int32_t version = 773) {
  TMemoryStream bytes;
  TCSFStreamWinTypes stream(bytes, CSFMode::Headerless);
  stream.SetFileType(1281);
  stream.SetFileVersion(version);
  EXPECT_TRUE(record.WriteToStream(stream));
  stream.Release();
  return bytes.ToString();
}

bool ReadRecord(TExif& record, const std::string& bytes, int32_t version = 773) {
  TMemoryStream stream(bytes);
  TCSFStreamWinTypes csf(stream, CSFMode::HeaderlessRead);
  csf.SetFileType(1281);
  csf.SetFileVersion(version);
  return record.ReadFromStream(csf);
}

std::unique_ptr<TExifContainer> Container(std::string exif, std::string iptc, std::string comment) {
  auto container = std::make_unique<TExifContainer>();
  container->ExifSegment = std::move(exif);
  container->IptcSegment = std::move(iptc);
  container->Comment = std::move(comment);
  return container;
}

class ExifTest : public ::testing::Test {
 protected:
  std::string Write(const std::string& name, const std::string& bytes) {
    return folder_.Write(name, bytes);
  }
  std::string Path(const std::string& name) const { return folder_.File(name); }

 private:
  test::TempFolder folder_;
};

TEST_F(ExifTest, ReadsTheThreeSegmentsOfAJpegFile) {
  const std::string app1 = JpegSegment(test::kApp1, ExifPayload(CameraContent(false)));
  const std::string app13 = JpegSegment(test::kApp13, kIptcPayload);
  const std::string file = JpegFile({JpegSegment(test::kApp0, "JFIF"), app1, app13,
                                     JpegSegment(test::kJpegComment, std::string("Gr\xFC\xDF"
                                                                                 "e\0",
                                                                                 6))});
  TExif record;
  ASSERT_TRUE(record.LoadFromFile(Write("Bild.JPG", file)));
  ASSERT_NE(record.Container(), nullptr);
  EXPECT_EQ(record.Container()->ExifSegment, Kept(app1));
  EXPECT_EQ(record.Container()->IptcSegment, Kept(app13));
  EXPECT_EQ(record.Container()->Comment,
            "Gr\xFC\xDF"
            "e");
  EXPECT_TRUE(record.HasExifData());
  EXPECT_TRUE(record.HasIptcData());
  EXPECT_TRUE(record.HasComment());
  EXPECT_EQ(record.Comment(), "Grüße");
  EXPECT_EQ(record.ExifComment(), "Am Strand");
  EXPECT_EQ(record.CaptureYear(), 2004);
  EXPECT_EQ(record.CaptureMonth(), 7);
  EXPECT_EQ(record.CaptureDay(), 15);
  EXPECT_EQ(record.CaptureHour(), 18);
  EXPECT_EQ(record.CaptureMinute(), 42);
  EXPECT_EQ(record.CaptureSecond(), 9);
  // 15 July 2004 is day 38183; 18:42:09 is 67329 seconds into it.
  EXPECT_DOUBLE_EQ(record.CaptureDateTime(), 38183 + 67329.0 / 86400.0);
}

TEST_F(ExifTest, ReadsBothByteOrdersAndFallsBackToDateTime) {
  for (const bool bigEndian : {false, true}) {
    TTiffContent content = CameraContent(bigEndian);
    content.DateTimeOriginal.reset();
    const std::string file = JpegFile({JpegSegment(test::kApp1, ExifPayload(content))});
    TExif record;
    ASSERT_TRUE(record.LoadFromFile(Write("a.jpeg", file))) << bigEndian;
    EXPECT_EQ(record.CaptureYear(), 2005) << bigEndian;
    EXPECT_EQ(record.CaptureDay(), 1) << bigEndian;
    EXPECT_EQ(record.ExifComment(), "Am Strand") << bigEndian;
    EXPECT_FALSE(record.HasIptcData());
    EXPECT_FALSE(record.HasComment());
  }
}

TEST_F(ExifTest, DecodesAUnicodeUserCommentInTheStructuresByteOrder) {
  for (const bool bigEndian : {false, true}) {
    TTiffContent content;
    content.BigEndian = bigEndian;
    std::string comment("UNICODE\0", 8);
    for (const char16_t unit : std::u16string(u" Möwe ")) {
      const char high = static_cast<char>(unit >> 8);
      const char low = static_cast<char>(unit & 0xFF);
      comment += bigEndian ? std::string{high, low} : std::string{low, high};
    }
    content.UserComment = comment;
    TExif record;
    record.SetContainer(Container(Kept(JpegSegment(test::kApp1, ExifPayload(content))), "", ""));
    EXPECT_EQ(record.ExifComment(), "Möwe") << bigEndian;
  }
}

TEST_F(ExifTest, ADateThatCannotBeReadGivesMinusOne) {
  TTiffContent content;
  content.DateTimeOriginal = "    :  :     :  :  ";
  TExif blank;
  blank.SetContainer(Container(Kept(JpegSegment(test::kApp1, ExifPayload(content))), "", ""));
  EXPECT_EQ(blank.CaptureYear(), -1);
  EXPECT_EQ(blank.CaptureSecond(), -1);
  EXPECT_EQ(blank.CaptureDateTime(), kNoCaptureDateTime);

  // Every part a number, but no day of the calendar.
  content.DateTimeOriginal = "2004:02:30 10:00:00";
  TExif impossible;
  impossible.SetContainer(Container(Kept(JpegSegment(test::kApp1, ExifPayload(content))), "", ""));
  EXPECT_EQ(impossible.CaptureDay(), 30);
  EXPECT_EQ(impossible.CaptureDateTime(), kNoCaptureDateTime);

  // No EXIF directory at all, and no EXIF segment at all.
  TExif broken;
  broken.SetContainer(Container(std::string("\x00\x0A"
                                            "Exif\0\0MM",
                                            10),
                                "", ""));
  EXPECT_TRUE(broken.HasExifData());
  EXPECT_EQ(broken.CaptureMonth(), -1);
  EXPECT_EQ(broken.ExifComment(), "");
  TExif commentOnly;
  commentOnly.SetContainer(Container("", "", "nur Text"));
  EXPECT_EQ(commentOnly.CaptureYear(), -1);
  EXPECT_EQ(commentOnly.CaptureDateTime(), kNoCaptureDateTime);
  EXPECT_EQ(TExif().CaptureHour(), -1);
}

TEST_F(ExifTest, AnswersTagsAndDatasetsByNameBesideTheCaptureDate) {
  test::TTiffDirectories tags;
  tags.First = {{0x0110, 2, 8, std::string("EOS 5D \0", 8), {}},
                {0x0132, 2, 20, std::string("2022:01:02 03:04:05\0", 20), {}}};
  tags.Exif = {{0x9003, 2, 20, std::string("2021:07:14 15:30:05\0", 20), {}}};
  const std::string iptc = test::IptcPayload({test::PhotoshopResource(
      test::kIptcResource, "",
      test::IptcDataset(2, 90, "Berlin") + test::IptcDataset(2, 90, "Rom"))});
  TExif record;
  ASSERT_TRUE(record.LoadFromFile(Write(
      "Foto.jpg",
      JpegFile({JpegSegment(test::kApp1, ExifPayload(tags)), JpegSegment(test::kApp13, iptc)}))));
  EXPECT_EQ(record.CaptureYear(), 2021);
  EXPECT_EQ(record.CaptureMonth(), 7);
  EXPECT_EQ(record.CaptureDay(), 14);
  EXPECT_EQ(record.CaptureHour(), 15);
  EXPECT_EQ(record.CaptureMinute(), 30);
  EXPECT_EQ(record.CaptureSecond(), 5);
  EXPECT_EQ(record.ExifValue("Model"), "EOS 5D");
  EXPECT_EQ(record.ExifValue("datetime"), "2022:01:02 03:04:05");
  EXPECT_EQ(record.ExifValue("DateTimeOriginal"), "2021:07:14 15:30:05");
  EXPECT_EQ(record.IptcValue("City"), "Berlin");
  EXPECT_EQ(record.IptcValue("ObjectName"), "");
  EXPECT_EQ(TExif().ExifValue("Model"), "");
  EXPECT_EQ(TExif().IptcValue("City"), "");
}

TEST_F(ExifTest, OnlyJpegFilesWithMetadataGiveARecord) {
  const std::string jpeg = JpegFile({JpegSegment(test::kJpegComment, "Hallo")});
  EXPECT_EQ(TExif::CreateFromFile(Write("bild.png", jpeg)), nullptr);
  EXPECT_EQ(TExif::CreateFromFile(Write("kein.jpg", "\x89PNG\r\n\x1A\n")), nullptr);
  EXPECT_EQ(TExif::CreateFromFile(Write("leer.jpg", JpegFile({JpegSegment(test::kApp0, "JFIF")}))),
            nullptr);
  EXPECT_EQ(TExif::CreateFromFile(Write("fehlt", "")), nullptr);
  EXPECT_EQ(TSlideShowObjectExif::CreateFromFile(Path("fehlt.jpg")), nullptr);

  const std::unique_ptr<TSlideShowObjectExif> record =
      TSlideShowObjectExif::CreateFromFile(Write("Bild.Jpe", jpeg));
  ASSERT_NE(record, nullptr);
  EXPECT_EQ(record->Comment(), "Hallo");

  // Loading another file drops what the record held.
  TExif reused;
  ASSERT_TRUE(reused.LoadFromFile(Write("b.jpg", jpeg)));
  EXPECT_FALSE(reused.LoadFromFile(Write("b.png", jpeg)));
  EXPECT_EQ(reused.Container(), nullptr);
}

TEST_F(ExifTest, SegmentsAreTakenByTheirPlaceInTheFile) {
  const std::string first = JpegSegment(test::kApp1, ExifPayload(CameraContent(false)));
  const std::string second = JpegSegment(test::kApp1, "zweites");
  const std::string table = JpegSegment(test::kQuantisationTable, std::string(65, '\x01'));
  // The first APP1 counts only among the first five segments; a second one never does.
  TExif record;
  ASSERT_TRUE(record.LoadFromFile(
      Write("a.jpg", JpegFile({JpegSegment(test::kJpegComment, "eins"), table, table, table, table,
                               first, second, JpegSegment(test::kJpegComment, "zwei")}))));
  EXPECT_FALSE(record.HasExifData());
  EXPECT_EQ(record.Comment(), "zwei");
  ASSERT_TRUE(record.LoadFromFile(Write("b.jpg", JpegFile({table, first, second}))));
  EXPECT_EQ(record.Container()->ExifSegment, Kept(first));
  // Four segments without metadata end the search.
  EXPECT_FALSE(record.LoadFromFile(Write(
      "c.jpg", JpegFile({table, table, table, table, JpegSegment(test::kJpegComment, "x")}))));
}

TEST_F(ExifTest, CutOrMalformedFilesGiveNoRecord) {
  const std::string file =
      JpegFile({JpegSegment(test::kJpegComment, "Text"), JpegSegment(test::kApp13, kIptcPayload)});
  TExif record;
  // Cut inside the IPTC segment: its length reaches past the end.
  EXPECT_FALSE(record.LoadFromFile(Write("cut.jpg", file.substr(0, 20))));
  EXPECT_EQ(record.Container(), nullptr);
  // A length that cannot even hold itself.
  EXPECT_FALSE(record.LoadFromFile(Write("short.jpg", std::string("\xFF\xD8\xFF\xFE\x00\x01", 6))));
  // Bytes where a marker belongs.
  EXPECT_FALSE(
      record.LoadFromFile(Write("nomarker.jpg", std::string("\xFF\xD8\x00\xFE\x00\x04", 6))));
}

TEST_F(ExifTest, HostileStructuresAreReadWithoutHarm) {
  const std::string header = std::string(
      "\x00\x00"
      "Exif\0\0",
      8);
  const auto segment = [&](const std::string& tiff) {
    std::string bytes = header + tiff;
    bytes[0] = static_cast<char>(bytes.size() >> 8);
    bytes[1] = static_cast<char>(bytes.size() & 0xFF);
    return bytes;
  };
  // IFD0 whose EXIF pointer leads back to IFD0, and a date whose value lies far outside.
  const std::string cyclic = segment(std::string("II*\0\x08\0\0\0", 8) + std::string("\x02\0", 2) +
                                     std::string("\x69\x87\x04\0\x01\0\0\0\x08\0\0\0", 12) +
                                     std::string("\x32\x01\x02\0\x14\0\0\0\xF0\xFF\xFF\x7F", 12) +
                                     std::string("\0\0\0\0", 4));
  TExif record;
  record.SetContainer(Container(cyclic, "", ""));
  EXPECT_EQ(record.CaptureYear(), -1);
  EXPECT_EQ(record.ExifComment(), "");
  // A directory count that promises more entries than there are bytes.
  record.SetContainer(Container(segment(std::string("MM\0*\0\0\0\x08\xFF\xFF", 10)), "", ""));
  EXPECT_EQ(record.CaptureYear(), -1);
  // A length field claiming more than the segment holds.
  record.SetContainer(Container(std::string("\xFF\xFF"
                                            "Exif\0\0II*\0\x08\0\0\0",
                                            16),
                                "", ""));
  EXPECT_EQ(record.CaptureYear(), -1);
}

TEST_F(ExifTest, ARecordReadsBackAsItWasStored) {
  TExif record;
  record.SetContainer(Container(Kept(JpegSegment(test::kApp1, ExifPayload(CameraContent(true)))),
                                std::string("\x00\x05\x1C\x02\xFF", 5), "Kommentar \x80"));
  const std::string stored = WriteRecord(record);
  EXPECT_EQ(stored, TWireBytes()
                        .SubChunk(TWireBytes()
                                      .Str(record.Container()->ExifSegment)
                                      .Str(record.Container()->IptcSegment)
                                      .Str(record.Container()->Comment))
                        .Bytes());
  TSlideShowObjectExif read;
  ASSERT_TRUE(ReadRecord(read, stored));
  ASSERT_NE(read.Container(), nullptr);
  EXPECT_EQ(*read.Container(), *record.Container());
  EXPECT_EQ(read.CaptureYear(), 2004);

  // Only a comment: still three strings.
  TExif comment;
  comment.SetContainer(Container("", "", "nur"));
  EXPECT_EQ(WriteRecord(comment),
            TWireBytes().SubChunk(TWireBytes().Str("").Str("").Str("nur")).Bytes());
}

TEST_F(ExifTest, AnEmptyRecordIsAnEmptySubChunkAndChangesNothingWhenRead) {
  const std::string empty = WriteRecord(TExif());
  EXPECT_EQ(empty, TWireBytes().SubChunk(TWireBytes()).Bytes());
  TExif record;
  record.SetContainer(Container("", "", "bleibt"));
  ASSERT_TRUE(ReadRecord(record, empty));
  EXPECT_EQ(record.Comment(), "bleibt");
  // A string that reaches past the sub-chunk fails the read and leaves the record alone.
  EXPECT_FALSE(ReadRecord(record, TWireBytes().SubChunk(TWireBytes().Int(100).Raw("ab")).Bytes()));
  EXPECT_EQ(record.Comment(), "bleibt");
}

TEST_F(ExifTest, OldDocumentsHoldNoMetadataForPictureObjects) {
  TExif source;
  source.SetContainer(Container("", "", "neu"));
  const std::string stored = WriteRecord(source) + TWireBytes().Int(99).Bytes();

  TSlideShowObjectExif old;
  old.SetContainer(Container("", "", "alt"));
  TMemoryStream bytes(stored);
  TCSFStreamWinTypes stream(bytes, CSFMode::HeaderlessRead);
  stream.SetFileVersion(768);
  ASSERT_TRUE(old.ReadFromStream(stream));
  EXPECT_EQ(old.Container(), nullptr);
  EXPECT_EQ(stream.ReadInteger(), 99);  // the sub-chunk was passed over whole

  TSlideShowObjectExif current;
  ASSERT_TRUE(ReadRecord(current, stored, 769));
  EXPECT_EQ(current.Comment(), "neu");
  // The base record reads whatever the version.
  TExif base;
  ASSERT_TRUE(ReadRecord(base, stored, 768));
  EXPECT_EQ(base.Comment(), "neu");
}

TEST_F(ExifTest, AssignCopiesTheContainerOrDropsIt) {
  TExif source;
  source.SetContainer(Container(std::string("\x00\x02", 2), std::string("\x00\x03I", 3), "c"));
  TExif target;
  target.Assign(source);
  ASSERT_NE(target.Container(), nullptr);
  EXPECT_EQ(*target.Container(), *source.Container());
  EXPECT_NE(target.Container(), source.Container());

  TExif empty;
  target.Assign(empty);
  EXPECT_EQ(target.Container(), nullptr);
  EXPECT_FALSE(target.HasComment());
  // An empty container is no container.
  target.SetContainer(Container("", "", ""));
  EXPECT_EQ(target.Container(), nullptr);
}

}  // namespace
}  // namespace nimbra
