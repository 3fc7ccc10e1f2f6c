#include <gtest/gtest.h>

#include <bit>
#include <functional>
#include <set>

#include "JpegTestData.h"
#include "slideshow/ExifReader.h"
#include "slideshow/MetadataKeys.h"

namespace nimbra {
namespace {

using test::ExifPayload;
using test::KeptSegment;
using test::TTiffDirectories;
using test::TTiffTag;
using test::Words;
using namespace std::string_literals;

enum class TPlace { First, Exif, Interoperability };

struct TTypeCase {
  const char* Name;
  TPlace Place;
  uint16_t Tag;
  uint16_t Type;
  uint32_t Count;
  std::function<std::string(bool bigEndian)> Data;
  const char* Text;
};

std::string Utf16Le(const std::u16string& text) {
  std::string out;
  for (const char16_t unit : text) out += Words(false, 2, {unit});
  return out;
}

const std::vector<TTypeCase>& TypeCases() {
  static const std::vector<TTypeCase> cases = {
      {"Model", TPlace::First, 0x0110, 2, 12, [](bool) { return "Kamera X  \0\0"s; }, "Kamera X"},
      {"Make", TPlace::First, 0x010F, 2, 5, [](bool) { return "Gr\xFC\xDF\0"s; }, "Grüß"},
      {"ImageDescription", TPlace::First, 0x010E, 2, 6, [](bool) { return "M\xC3\xB6we\0"s; },
       "Möwe"},
      {"Orientation", TPlace::First, 0x0112, 3, 1, [](bool b) { return Words(b, 2, {6}); }, "6"},
      {"BitsPerSample", TPlace::First, 0x0102, 3, 3,
       [](bool b) {
         return Words(b, 2, {8, 8, 65535});
       },
       "8 8 65535"},
      {"ImageWidth", TPlace::First, 0x0100, 4, 1, [](bool b) { return Words(b, 4, {4000000}); },
       "4000000"},
      {"XResolution", TPlace::First, 0x011A, 5, 1,
       [](bool b) {
         return Words(b, 4, {72, 1});
       },
       "72/1"},
      {"PrintFlags", TPlace::First, 0x5005, 1, 2, [](bool) { return "\x01\xC8"s; }, "1 200"},
      {"Title", TPlace::First, 0x9C9B, 1, 10, [](bool) { return Utf16Le(u"Möwe") + '\0' + '\0'; },
       "Möwe"},
      {"ExposureTime", TPlace::Exif, 0x829A, 5, 1,
       [](bool b) {
         return Words(b, 4, {1, 250});
       },
       "1/250"},
      {"ExposureBiasValue", TPlace::Exif, 0x9204, 10, 2,
       [](bool b) {
         return Words(b, 4, {static_cast<uint32_t>(-1), 3, 2, static_cast<uint32_t>(-3)});
       },
       "-1/3 2/-3"},
      {"BatteryLevel", TPlace::Exif, 0x828F, 6, 2, [](bool) { return "\xFB\x05"s; }, "-5 5"},
      {"TimeZoneOffset", TPlace::Exif, 0x882A, 8, 1,
       [](bool b) { return Words(b, 2, {static_cast<uint16_t>(-2)}); }, "-2"},
      {"ImageNumber", TPlace::Exif, 0x9211, 9, 1,
       [](bool b) { return Words(b, 4, {static_cast<uint32_t>(-70000)}); }, "-70000"},
      {"Gamma", TPlace::Exif, 0x0301, 11, 1,
       [](bool b) { return Words(b, 4, {std::bit_cast<uint32_t>(2.2f)}); }, "2.2"},
      {"StoNits", TPlace::Exif, 0x923F, 12, 1,
       [](bool b) {
         const auto bits = std::bit_cast<uint64_t>(0.125);
         const auto low = static_cast<uint32_t>(bits);
         const auto high = static_cast<uint32_t>(bits >> 32);
         return b ? Words(b, 4, {high, low}) : Words(b, 4, {low, high});
       },
       "0.125"},
      {"ExifVersion", TPlace::Exif, 0x9000, 7, 4, [](bool) { return "0230"s; }, "0230"},
      {"ComponentsConfiguration", TPlace::Exif, 0x9101, 7, 4,
       [](bool) { return "\x01\x02\x03\x00"s; }, "1 2 3 0"},
      {"UserComment", TPlace::Exif, 0x9286, 7, 14,
       [](bool) { return test::AsciiUserComment(" Rom\r\n"); }, "Rom"},
      {"InteroperabilityIndex", TPlace::Interoperability, 0x0001, 2, 4,
       [](bool) { return "R98\0"s; }, "R98"},
      {"InteroperabilityVersion", TPlace::Interoperability, 0x0002, 7, 4,
       [](bool) { return "0100"s; }, "0100"},
  };
  return cases;
}

std::string Segment(const TTiffDirectories& directories) {
  return KeptSegment(ExifPayload(directories));
}

TTiffDirectories AllTypes(bool bigEndian) {
  TTiffDirectories directories;
  directories.BigEndian = bigEndian;
  for (const TTypeCase& row : TypeCases()) {
    const TTiffTag tag{row.Tag, row.Type, row.Count, row.Data(bigEndian), {}};
    (row.Place == TPlace::First  ? directories.First
     : row.Place == TPlace::Exif ? directories.Exif
                                 : directories.Interoperability)
        .push_back(tag);
  }
  return directories;
}

TEST(ExifReaderTest, RendersEveryTypeOfTheThreeDirectoriesInBothByteOrders) {
  for (const bool bigEndian : {false, true}) {
    const std::string segment = Segment(AllTypes(bigEndian));
    for (const TTypeCase& row : TypeCases()) {
      EXPECT_EQ(ExifValueText(segment, row.Name), row.Text) << row.Name << " " << bigEndian;
    }
    // Pointers are tags like any other; names match without regard to case.
    EXPECT_NE(ExifValueText(segment, "exifoffset"), "");
    EXPECT_NE(ExifValueText(segment, "InteroperabilityOffset"), "");
    EXPECT_EQ(ExifValueText(segment, "MODEL"), "Kamera X");
    EXPECT_EQ(ExifValueText(segment, "Artist"), "");
    EXPECT_EQ(ExifValueText(segment, ""), "");
  }
}

TEST(ExifReaderTest, ListsNamedTagsInTheOrderMetAndTheFirstOfANameWins) {
  TTiffDirectories directories;
  directories.First = {{0x0110, 2, 4, std::string("One\0", 4), {}},
                       {0x920E, 3, 1, Words(false, 2, {1}), {}},
                       {0xC4A5, 7, 2, "zz", {}}};  // a tag the table does not name
  directories.Exif = {{0xA20E, 3, 1, Words(false, 2, {2}), {}},
                      {0x0110, 2, 4, std::string("Two\0", 4), {}}};
  directories.Interoperability = {{0x0001, 2, 4, std::string("R98\0", 4), {}}};
  const std::string segment = Segment(directories);
  EXPECT_EQ(ExifKeys(segment),
            (std::vector<std::string_view>{"Model", "FocalPlaneXResolution", "ExifOffset",
                                           "FocalPlaneXResolution", "Model",
                                           "InteroperabilityOffset", "InteroperabilityIndex"}));
  EXPECT_EQ(ExifValueText(segment, "Model"), "One");
  EXPECT_EQ(ExifValueText(segment, "FocalPlaneXResolution"), "1");
}

TEST(ExifReaderTest, KeyTablesHoldEveryRowWithItsNumbers) {
  EXPECT_EQ(ExifKeyTable().size(), 250u);
  std::set<std::string_view> names;
  std::set<uint16_t> tags;
  for (const TExifKey& key : ExifKeyTable()) {
    names.insert(key.Name);
    tags.insert(key.Tag);
    EXPECT_EQ(ExifTagName(key.Tag), key.Name);
  }
  EXPECT_EQ(names.size(), 237u);
  EXPECT_EQ(tags.size(), 250u);
  EXPECT_EQ(ExifTagName(0x953C), "ImageSourceData");
  EXPECT_EQ(ExifTagName(0x935C), "");
  EXPECT_EQ(ExifTagName(0xA302), "CFAPattern");
  EXPECT_EQ(IptcKeyTable().size(), 49u);
  EXPECT_EQ(IptcDatasetName(2, 90), "City");
  EXPECT_EQ(IptcDatasetName(8, 10), "Subfile");
  EXPECT_EQ(IptcDatasetName(1, 90), "");
}

struct THostileCase {
  const char* What;
  std::string Segment;
  std::vector<std::string_view> Keys;
};

TEST(ExifReaderTest, HostileStructuresYieldOnlyWhatLiesInside) {
  const TTiffTag make{0x010F, 2, 5, std::string("Gut\0\0", 5), {}};
  const auto with = [&](std::vector<TTiffTag> first, std::vector<TTiffTag> exif = {}) {
    TTiffDirectories directories;
    directories.BigEndian = true;
    directories.First = std::move(first);
    directories.Exif = std::move(exif);
    return Segment(directories);
  };
  const auto header = [](const std::string& tiff) {
    return KeptSegment(std::string("Exif\0\0", 6) + tiff);
  };
  const std::vector<THostileCase> cases = {
      {"value offset past the end", with({{0x0110, 2, 20, {}, 0xFFFFFFF0u}, make}), {"Make"}},
      {"count whose size overflows 32 bits",
       with({{0x011A, 5, 0xFFFFFFFFu, {}, 8}, make}),
       {"Make"}},
      {"unknown type", with({{0x0110, 99, 1, "x", {}}, make}), {"Make"}},
      {"EXIF pointer back at IFD0", with({make, {0x8769, 4, 1, {}, 8}}), {"Make", "ExifOffset"}},
      {"interoperability pointer back at the EXIF directory",
       with({make}, {{0xA005, 4, 1, {}, 8 + 2 + 2 * 12 + 4}}),
       {"Make", "ExifOffset", "InteroperabilityOffset"}},
      {"EXIF pointer past the end",
       with({make, {0x8769, 4, 1, {}, 0x7FFFFFFF}}),
       {"Make", "ExifOffset"}},
      {"entry count past the end",
       header(std::string("II*\0\x08\0\0\0\xFF\xFF", 10) +
              std::string("\x0F\x01\x02\0\x04\0\0\0Gut\0", 12)),
       {"Make"}},
      {"IFD0 past the end", header(std::string("II*\0\xFF\0\0\0", 8)), {}},
      {"length field larger than the segment",
       std::string("\xFF\xFF") + with({make}).substr(2),
       {"Make"}},
      {"no TIFF mark", header(std::string("XX*\0\x08\0\0\0", 8)), {}},
  };
  for (const THostileCase& row : cases) {
    EXPECT_EQ(ExifKeys(row.Segment), row.Keys) << row.What;
    EXPECT_EQ(ExifValueText(row.Segment, "Make"), row.Keys.empty() ? "" : "Gut") << row.What;
    EXPECT_EQ(ExifValueText(row.Segment, "Model"), "") << row.What;
  }
}

}  // namespace
}  // namespace nimbra
