#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "KitPagesTestShow.h"
#include "KitRenderTestShow.h"
#include "KitRunner.h"
#include "TempFolder.h"
#include "elements/PrintPageElementPicture.h"
#include "elements/PrintPageElementUserText.h"
#include "templates/PageTemplateProject.h"
#include "templates/PageTemplate.h"

namespace nimbra {
namespace {

using test::KitResult;
using test::RunKitCommand;
using test::TempFolder;

// A project whose one template "Bilder" holds two pictures and a text; the structure repeats it
// until the slideshow ends. With side, the template asks for that page side.
std::string WriteProject(const TempFolder& folder, uint8_t side = kPageSideAny) {
  TPrintWizardPageTemplateProject project;
  TPageTemplate& pageTemplate = *project.FirstTemplate();
  pageTemplate.Properties().SetName("Bilder");
  pageTemplate.Properties().SetSide(side);
  pageTemplate.Elements().Add(std::make_unique<TPrintPageElementPicture>());
  pageTemplate.Elements().Add(std::make_unique<TPrintPageElementPicture>());
  pageTemplate.Elements().Add(std::make_unique<TPrintPageElementUserText>());
  test::RepeatUntilTheShowEnds(project, pageTemplate);
  const std::string path = folder.File("album.pwt");
  EXPECT_TRUE(project.SaveToFile(path));
  return path;
}

nlohmann::json PagesJson(const std::vector<std::string>& args) {
  const KitResult result = RunKitCommand(args);
  EXPECT_EQ(result.exitCode, 0) << result.err;
  return nlohmann::json::parse(result.out);
}

TEST(KitPagesTest, ListsEachPageWithItsTemplateAndBoundObjects) {
  TempFolder folder;
  test::WritePictureShow(folder.File("show.kvt"), 3);
  const nlohmann::json json =
      PagesJson({"pages", "-p", folder.File("show.kvt"), "-t", WriteProject(folder), "--json"});
  const nlohmann::json expected = nlohmann::json::parse(R"({"pages": [
    {"index": 0, "templateId": 1, "templateName": "Bilder", "blank": false, "bindings": [
      {"element": "TPrintPageElementPicture", "object": "1"},
      {"element": "TPrintPageElementPicture", "object": "2"},
      {"element": "TPrintPageElementUserText", "object": "3"}]},
    {"index": 1, "templateId": 1, "templateName": "Bilder", "blank": false, "bindings": [
      {"element": "TPrintPageElementPicture", "object": "3"},
      {"element": "TPrintPageElementPicture", "object": null},
      {"element": "TPrintPageElementUserText", "object": null}]}]})");
  EXPECT_EQ(json, expected);

  const KitResult readable =
      RunKitCommand({"pages", "-p", folder.File("show.kvt"), "-t", folder.File("album.pwt")});
  ASSERT_EQ(readable.exitCode, 0) << readable.err;
  EXPECT_EQ(readable.out,
            "page 1: template 1 \"Bilder\": TPrintPageElementPicture 1, TPrintPageElementPicture "
            "2, TPrintPageElementUserText 3\n"
            "page 2: template 1 \"Bilder\": TPrintPageElementPicture 3, TPrintPageElementPicture "
            "-, TPrintPageElementUserText -\n");
}

TEST(KitPagesTest, ReadsDocumentsInsideAPackageAndInsertsBlankPages) {
  TempFolder folder;
  test::WritePictureShow(folder.File("show.kvt"), 2, true);
  WriteProject(folder, kPageSideEven);
  const KitResult packed = RunKitCommand({"pack", "-o", folder.File("album.pkg"),
                                          folder.File("show.kvt"), folder.File("album.pwt")});
  ASSERT_EQ(packed.exitCode, 0) << packed.err;

  const nlohmann::json json = PagesJson({"pages", "-p", "|show.kvt", "-t", "|album.pwt",
                                         "--package", folder.File("album.pkg"), "--blank-pages",
                                         "--json"});
  ASSERT_EQ(json["pages"].size(), 2u);
  EXPECT_EQ(json["pages"][0]["blank"], true);
  EXPECT_EQ(json["pages"][0]["bindings"].size(), 0u);
  EXPECT_EQ(json["pages"][1]["index"], 1);
  EXPECT_EQ(json["pages"][1]["bindings"][0]["object"], "1.1");
  EXPECT_EQ(json["pages"][1]["bindings"][1]["object"], "1.2");

  const nlohmann::json plain = PagesJson({"pages", "-p", "|show.kvt", "-t", "|album.pwt",
                                          "--package", folder.File("album.pkg"), "--json"});
  EXPECT_EQ(plain["pages"].size(), 1u);
}

TEST(KitPagesTest, UnreadableDocumentsFailWithOneLine) {
  TempFolder folder;
  test::WritePictureShow(folder.File("show.kvt"), 1);
  const std::string project = WriteProject(folder);
  const std::string text = folder.Write("notes.txt", std::string(64, 'x'));

  for (const auto& args : std::vector<std::vector<std::string>>{
           {"pages", "-p", text, "-t", project},
           {"pages", "-p", folder.File("show.kvt"), "-t", text},
           {"pages", "-p", folder.File("show.kvt"), "-t", folder.File("show.kvt")},
           {"pages", "-p", folder.File("missing.kvt"), "-t", project}}) {
    const KitResult result = RunKitCommand(args);
    EXPECT_EQ(result.exitCode, 1) << args[2] << " " << args[4];
    EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
  }
  EXPECT_EQ(RunKitCommand({"pages", "-p", folder.File("show.kvt")}).exitCode, 2);
}

}  // namespace
}  // namespace nimbra
