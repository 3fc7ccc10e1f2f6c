// Pages whose template a layout chooses by the photos: variants by orientation, a last
// page of fewer photos, and a new page for every sub-folder.
#include <gtest/gtest.h>

#include <fstream>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "DemoPhotos.h"
#include "KitRunner.h"
#include "TempFolder.h"

namespace nimbra {
namespace {

using test::RunKitCommand;
using test::TempFolder;

// One photo a page for portraits, panoramas and the rest; pages of four, two or one photo,
// whichever is the most the photos left fill.
constexpr const char* kLayout = R"({
  "name": "wahl",
  "templates": [
    { "name": "Hoch", "size": [32, 18],
      "elements": [ { "type": "picture", "rect": [0, 0, 1, 1] } ] },
    { "name": "Quer", "size": [32, 18],
      "elements": [ { "type": "picture", "rect": [0, 0, 1, 1] } ] },
    { "name": "Breit", "size": [32, 18],
      "elements": [ { "type": "picture", "rect": [0, 0.25, 1, 0.75] } ] },
    { "name": "Vier", "size": [32, 18], "elements": [
        { "type": "picture", "rect": [0, 0, 0.5, 0.5] },
        { "type": "picture", "rect": [0.5, 0, 1, 0.5] },
        { "type": "picture", "rect": [0, 0.5, 0.5, 1] },
        { "type": "picture", "rect": [0.5, 0.5, 1, 1] } ] },
    { "name": "Zwei", "size": [32, 18], "elements": [
        { "type": "picture", "rect": [0, 0, 0.5, 1] },
        { "type": "picture", "rect": [0.5, 0, 1, 1] } ] }
  ],
  "structure": [ STRUCTURE ]
})";

constexpr const char* kByOrientation = R"(
  { "loop": [ { "choose": [ { "page": "Hoch", "photo": "portrait" },
                            { "page": "Breit", "photo": "panorama" }, { "page": "Quer" } ] } ] })";
constexpr const char* kFewerAtTheEnd = R"(
  { "loop": [ { "choose": [ { "page": "Vier" }, { "page": "Zwei" }, { "page": "Quer" } ] } ] })";
// The pages of each sub-folder in a loop of their own, which ends where the folder does.
constexpr const char* kFolderPerPage = R"(
  { "loop": [
      { "event": "chapter", "do": [
          { "loop": [ { "choose": [ { "page": "Zwei" }, { "page": "Quer" } ] } ],
            "until": "chapterEnd" } ] },
      { "choose": [ { "page": "Zwei" }, { "page": "Quer" } ] } ] })";

struct TPage {
  std::string Template;
  std::vector<std::string> Objects;  // the photos' paths in the show, "-" for none
  bool operator==(const TPage&) const = default;
};

std::ostream& operator<<(std::ostream& out, const TPage& page) {
  out << page.Template << "(";
  for (const std::string& object : page.Objects) out << object << " ";
  return out << ")";
}

// The pages an album of the photos gets from the layout with that structure.
std::vector<TPage> PagesOf(const std::vector<demo::TDemoPhoto>& photos, std::string structure) {
  TempFolder folder;
  demo::WriteDemoPhotos(folder.File("Fotos"), photos);
  std::string layout = kLayout;
  layout.replace(layout.find("STRUCTURE"), 9, structure);
  std::ofstream(folder.File("wahl.json")) << layout;
  const std::string show = folder.File("show.kvt");
  const std::string project = folder.File("wahl.pwt");
  EXPECT_EQ(
      RunKitCommand({"make-show", "-o", show, "--sort", "name", folder.File("Fotos")}).exitCode, 0);
  const test::KitResult made =
      RunKitCommand({"make-project", "--layout", folder.File("wahl.json"), "-o", project});
  EXPECT_EQ(made.exitCode, 0) << made.err;
  const test::KitResult listed = RunKitCommand({"pages", "-p", show, "-t", project, "--json"});
  EXPECT_EQ(listed.exitCode, 0) << listed.err;
  std::vector<TPage> pages;
  const nlohmann::json json = nlohmann::json::parse(listed.out);
  for (const nlohmann::json& page : json["pages"]) {
    TPage shown{page["templateName"], {}};
    for (const nlohmann::json& binding : page["bindings"]) {
      shown.Objects.push_back(binding["object"].is_null() ? "-" : binding["object"]);
    }
    pages.push_back(shown);
  }
  return pages;
}

demo::TDemoPhoto Photo(const std::string& path, int width = 160, int height = 120) {
  return {path, "", width, height, 0xFF808080};
}

TEST(KitLayoutChoiceTest, EachPhotoTakesTheVariantOfItsOrientation) {
  // A square photo lies; one twice as wide as high is a panorama.
  const std::vector<TPage> pages =
      PagesOf({Photo("1.jpg"), Photo("2.png", 120, 160), Photo("3.jpg", 90, 91),
               Photo("4.png", 200, 100), Photo("5.jpg", 199, 100), Photo("6.png", 100, 100)},
              kByOrientation);
  EXPECT_EQ(pages, (std::vector<TPage>{{"Quer", {"1"}},
                                       {"Hoch", {"2"}},
                                       {"Hoch", {"3"}},
                                       {"Breit", {"4"}},
                                       {"Quer", {"5"}},
                                       {"Quer", {"6"}}}));
}

TEST(KitLayoutChoiceTest, LastPagesTakeTheLargestAlternativeThePhotosFill) {
  const auto photos = [](int count) {
    std::vector<demo::TDemoPhoto> list;
    for (int i = 1; i <= count; ++i) list.push_back(Photo(std::to_string(i) + ".png"));
    return list;
  };
  EXPECT_EQ(PagesOf(photos(4), kFewerAtTheEnd),
            (std::vector<TPage>{{"Vier", {"1", "2", "3", "4"}}}));
  EXPECT_EQ(
      PagesOf(photos(7), kFewerAtTheEnd),
      (std::vector<TPage>{{"Vier", {"1", "2", "3", "4"}}, {"Zwei", {"5", "6"}}, {"Quer", {"7"}}}));
}

TEST(KitLayoutChoiceTest, EverySubFolderStartsAPageOfItsOwn) {
  // Three photos at the top and three in each of two sub-folders: the last photo of each has a
  // page of its own rather than sharing one with the next folder's first.
  const std::vector<TPage> pages = PagesOf(
      {Photo("1.png"), Photo("2.png"), Photo("3.png"), Photo("Meer/4.png"), Photo("Meer/5.png"),
       Photo("Meer/6.png"), Photo("Zoo/7.png"), Photo("Zoo/8.png"), Photo("Zoo/9.png")},
      kFolderPerPage);
  EXPECT_EQ(pages, (std::vector<TPage>{{"Zwei", {"1", "2"}},
                                       {"Quer", {"3"}},
                                       {"Zwei", {"4.1", "4.2"}},
                                       {"Quer", {"4.3"}},
                                       {"Zwei", {"5.1", "5.2"}},
                                       {"Quer", {"5.3"}}}));
}

}  // namespace
}  // namespace nimbra
