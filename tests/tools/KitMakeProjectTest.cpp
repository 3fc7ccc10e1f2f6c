#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>

#include "KitMakePhotos.h"
#include "KitRunner.h"
#include "TempFolder.h"

namespace nimbra::test {
namespace {

namespace fs = std::filesystem;
using TJson = nlohmann::json;

TJson PagesOf(const std::string& show, const std::string& project) {
  const KitResult pages = RunKitCommand({"pages", "-p", show, "-t", project, "--json"});
  if (pages.exitCode != 0) throw std::runtime_error(pages.err);
  return TJson::parse(pages.out)["pages"];
}

// The objects each page shows, in element order, skipping elements bound to none.
std::vector<std::vector<std::string>> ObjectsPerPage(const TJson& pages) {
  std::vector<std::vector<std::string>> result;
  for (const TJson& page : pages) {
    std::vector<std::string> objects;
    for (const TJson& binding : page["bindings"]) {
      if (!binding["object"].is_null() && binding["element"] == "TPrintPageElementPicture") {
        objects.push_back(binding["object"].get<std::string>());
      }
    }
    result.push_back(objects);
  }
  return result;
}

TEST(KitMakeProjectTest, EachBuiltInLayoutShowsEveryPhotoOnceInOrder) {
  const TempFolder folder;
  const auto photos = WriteMixedPhotos(folder.File("photos"), 10);
  const std::vector<std::string> paths = ObjectPaths(photos);
  const std::string show = folder.File("show.kvt");
  ASSERT_EQ(RunKitCommand({"make-show", "-o", show, folder.File("photos")}).exitCode, 0);
  const std::map<std::string, std::vector<size_t>> pageSizes = {
      {"einzel", {1, 1, 1, 1, 1, 1, 1, 1, 1, 1}},
      // Three photos at the top, three in "Berge" and four in "Meer": each folder starts a page,
      // and its last page takes a template of as many photos as are left.
      {"zwei", {2, 1, 2, 1, 2, 2}},
      {"vier", {3, 3, 4}},
      {"mosaik", {3, 3, 4}},
      // one framed photo, then a page of two, and again
      {"rahmen", {1, 2, 1, 2, 1, 2, 1}},
      {"beschriftet", {2, 1, 2, 1, 2, 2}},
      {"buch", {1, 1, 1, 1, 1, 1, 1, 1, 1, 1}},
      {"stapel", {3, 3, 4}}};
  for (const auto& [layout, sizes] : pageSizes) {
    SCOPED_TRACE(layout);
    const std::string project = folder.File(layout + ".pwt");
    const KitResult made = RunKitCommand({"make-project", "--layout", layout, "-o", project});
    ASSERT_EQ(made.exitCode, 0) << made.err;
    const TJson listed = PagesOf(show, project);
    // No page leaves a photo's place empty, the last of a folder neither.
    for (const TJson& page : listed) {
      for (const TJson& binding : page["bindings"]) {
        EXPECT_FALSE(binding["element"] == "TPrintPageElementPicture" &&
                     binding["object"].is_null())
            << "page " << page["index"];
      }
    }
    const auto pages = ObjectsPerPage(listed);
    std::vector<size_t> actualSizes;
    std::vector<std::string> shown;
    for (const auto& page : pages) {
      actualSizes.push_back(page.size());
      shown.insert(shown.end(), page.begin(), page.end());
    }
    EXPECT_EQ(actualSizes, sizes);
    EXPECT_EQ(shown, paths);
  }
}

const char* const kOwnLayout = R"({
  "name": "eigen",
  "templates": [
    { "name": "Titel", "size": [29.7, 21], "background": "#FF336699",
      "backgroundPicture": "Papier.jpg",
      "elements": [
        { "type": "rectangle", "rect": [0.05, 0.05, 0.95, 0.95], "fill": false },
        { "type": "picture", "rect": [0.1, 0.1, 0.9, 0.9], "rotation": 4 }
      ] },
    { "name": "Drei", "size": [30, 20],
      "elements": [
        { "type": "picture", "rect": [0, 0, 0.33, 1] },
        { "type": "ellipse", "rect": [0.33, 0.25, 0.66, 0.75], "circle": true },
        { "type": "picture", "rect": [0.66, 0, 1, 1], "takesPhoto": false }
      ] }
  ],
  "structure": [
    { "page": "Titel" },
    { "loop": [
        { "event": "chapter", "do": [ { "page": "Titel" } ] },
        { "page": "Drei" }
      ] }
  ]
})";

// What the JSON says of the structure, in the form inspect describes it.
TJson ExpectedStructure(const TJson& items, const std::map<std::string, int>& ids) {
  TJson list = TJson::array();
  for (const TJson& item : items) {
    TJson described;
    if (item.contains("page")) {
      described["class"] = "TPageTemplateStructureElementPage";
      described["templateId"] = ids.at(item["page"].get<std::string>());
      described["children"] = TJson::array();
    } else if (item.contains("loop")) {
      described["class"] = "TSlideShowPageTemplateStructureElementLoop";
      described["children"] = ExpectedStructure(item["loop"], ids);
    } else {
      described["class"] = "TPageTemplateSlideShowStructureElementEvent";
      described["children"] = ExpectedStructure(item["do"], ids);
    }
    list.push_back(described);
  }
  return list;
}

TEST(KitMakeProjectTest, LayoutFileAndTheProjectReadBackAgree) {
  const TempFolder folder;
  const std::string file = folder.Write("eigen.json", kOwnLayout);
  const std::string project = folder.File("eigen.pwt");
  const KitResult made = RunKitCommand({"make-project", "--layout", file, "-o", project});
  ASSERT_EQ(made.exitCode, 0) << made.err;
  const KitResult inspected = RunKitCommand({"inspect", project, "--json"});
  ASSERT_EQ(inspected.exitCode, 0) << inspected.err;
  const TJson stored = TJson::parse(inspected.out);
  const TJson layout = TJson::parse(kOwnLayout);

  EXPECT_EQ(stored["project"]["title"], "eigen");
  ASSERT_EQ(stored["templates"].size(), layout["templates"].size());
  std::map<std::string, int> ids;
  for (size_t t = 0; t < layout["templates"].size(); ++t) {
    const TJson& written = layout["templates"][t];
    const TJson& read = stored["templates"][t];
    SCOPED_TRACE(written["name"].get<std::string>());
    ids[written["name"]] = read["id"].get<int>();
    EXPECT_EQ(read["id"], t + 1);
    EXPECT_EQ(read["name"], written["name"]);
    EXPECT_EQ(read["widthCm"], written["size"][0]);
    EXPECT_EQ(read["heightCm"], written["size"][1]);
    EXPECT_EQ(read["backgroundColor"], written.value("background", "#FFFFFFFF"));
    EXPECT_EQ(read["backgroundPicture"], written.value("backgroundPicture", ""));
    ASSERT_EQ(read["elements"].size(), written["elements"].size());
    for (size_t e = 0; e < written["elements"].size(); ++e) {
      const TJson& element = written["elements"][e];
      const std::map<std::string, std::string> classes = {{"picture", "TPrintPageElementPicture"},
                                                          {"rectangle", "TPrintPageElementRect"},
                                                          {"ellipse", "TPrintPageElementEllipse"}};
      EXPECT_EQ(read["elements"][e]["class"], classes.at(element["type"]));
      EXPECT_EQ(read["elements"][e]["rect"], element["rect"]);
      EXPECT_EQ(read["elements"][e]["takesObject"],
                element["type"] == "picture" && element.value("takesPhoto", true));
    }
  }
  EXPECT_EQ(stored["structure"], ExpectedStructure(layout["structure"], ids));
}

TEST(KitMakeProjectTest, MistakesInALayoutFileNameTheFileAndLine) {
  const TempFolder folder;
  std::string text = kOwnLayout;
  text.replace(text.find("\"rotation\""), 10, "\"rotaton\"");
  const std::string file = folder.Write("falsch.json", text);
  const std::string project = folder.File("falsch.pwt");
  const KitResult result = RunKitCommand({"make-project", "--layout", file, "-o", project});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_NE(result.err.find("falsch.json, line 8: unknown field \"rotaton\" in a picture element"),
            std::string::npos)
      << result.err;
  EXPECT_FALSE(fs::exists(project));

  const KitResult unknown = RunKitCommand({"make-project", "--layout", "neun", "-o", project});
  EXPECT_EQ(unknown.exitCode, 1);
  EXPECT_NE(unknown.err.find("einzel, mosaik, rahmen, stapel, vier, zwei"), std::string::npos)
      << unknown.err;
  EXPECT_EQ(RunKitCommand({"make-project", "-o", project}).exitCode, 2);
}

}  // namespace
}  // namespace nimbra::test
