#include <gtest/gtest.h>

#include "JpegTestData.h"
#include "slideshow/IptcReader.h"

namespace nimbra {
namespace {

using test::IptcDataset;
using test::IptcPayload;
using test::KeptSegment;
using test::PhotoshopResource;
using namespace std::string_literals;

std::string Segment(const std::string& datasets, const std::string& before = "") {
  return KeptSegment(IptcPayload({before, PhotoshopResource(test::kIptcResource, "", datasets)}));
}

std::vector<std::pair<std::string_view, std::string>> Listed(std::string_view segment) {
  std::vector<std::pair<std::string_view, std::string>> listed;
  for (const TIptcDataset& dataset : ReadIptcDatasets(segment)) {
    listed.emplace_back(dataset.Name, dataset.Value);
  }
  return listed;
}

TEST(IptcReaderTest, ListsNamedDatasetsAndTheFirstCityWins) {
  // A resource with an odd name and odd data before the IPTC block: both are padded.
  const std::string thumbnail = PhotoshopResource(0x040C, "abc", "12345");
  const std::string datasets = IptcDataset(2, 0, "\x00\x04"s) + IptcDataset(2, 90, "Rom") +
                               IptcDataset(2, 200, "unbenannt") + IptcDataset(2, 25, "Urlaub\0"s) +
                               IptcDataset(2, 90, "Paris") + IptcDataset(8, 10, "x");
  const std::string segment = Segment(datasets, thumbnail);
  EXPECT_EQ(Listed(segment),
            (std::vector<std::pair<std::string_view, std::string>>{{"SKIP", "4"},
                                                                   {"City", "Rom"},
                                                                   {"Keywords", "Urlaub"},
                                                                   {"City", "Paris"},
                                                                   {"Subfile", "x"}}));
  EXPECT_EQ(IptcValueText(segment, "city"), "Rom");
  EXPECT_EQ(IptcValueText(segment, "Keywords"), "Urlaub");
  EXPECT_EQ(IptcValueText(segment, "ByLine"), "");
}

TEST(IptcReaderTest, ReadsTheDeclaredOrGuessedCharacterSetAndLongLengths) {
  struct TCase {
    const char* What;
    std::string Datasets;
    const char* City;
  };
  const std::vector<TCase> cases = {
      {"Windows-1252", IptcDataset(2, 90, "K\xF6ln"), "Köln"},
      {"undeclared UTF-8", IptcDataset(2, 90, "K\xC3\xB6ln"), "Köln"},
      {"declared UTF-8", IptcDataset(1, 90, "\x1B%G") + IptcDataset(2, 90, "K\xC3\xB6ln"), "Köln"},
      {"declared UTF-8, malformed", IptcDataset(1, 90, "\x1B%G") + IptcDataset(2, 90, "K\xF6ln"),
       "K\xEF\xBF\xBDln"},
      {"extended length", "\x1C\x02\x5A\x80\x02\x00\x04Lyon"s, "Lyon"},
  };
  for (const TCase& row : cases) {
    EXPECT_EQ(IptcValueText(Segment(row.Datasets), "City"), row.City) << row.What;
  }
}

TEST(IptcReaderTest, CutOrMalformedSegmentsYieldOnlyWhatLiesInside) {
  const std::string city = IptcDataset(2, 90, "Rom");
  const std::string full = Segment(city + IptcDataset(2, 5, "Titel"));
  struct TCase {
    const char* What;
    std::string Segment;
    const char* City;
  };
  const std::vector<TCase> cases = {
      // The second dataset's length reaches past the resource: the first still counts.
      {"dataset cut short", Segment(city + "\x1C\x02\x05\x7F\xFF"s + "Ti"), "Rom"},
      {"extended length of five bytes", Segment("\x1C\x02\x5A\x80\x05\0\0\0\0\x03Rom"s), ""},
      {"extended length past the end", Segment("\x1C\x02\x5A\x80\x04\x00"s), ""},
      {"segment cut inside the resource", full.substr(0, full.size() - 8), ""},
      {"resource size past the end",
       KeptSegment(IptcPayload({"8BIM\x04\x04\0\0\x7F\xFF\xFF\xFF"s + city})), ""},
      {"other resource size past the end",
       KeptSegment(
           IptcPayload({"8BIM\x04\x0C\0\0\xFF\xFF\xFF\xF0"s, PhotoshopResource(0x0404, "", city)})),
       ""},
      {"no signature", KeptSegment("Photoshop 2.5\0"s + PhotoshopResource(0x0404, "", city)), ""},
      {"length field shorter than its segment", "\x00\x10"s + full.substr(2), ""},
      {"no segment at all", "", ""},
  };
  for (const TCase& row : cases) {
    EXPECT_EQ(IptcValueText(row.Segment, "City"), row.City) << row.What;
  }
  EXPECT_EQ(IptcValueText(full, "ObjectName"), "Titel");
}

}  // namespace
}  // namespace nimbra
