#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <nlohmann/json.hpp>

#include "KitRenderTestShow.h"
#include "KitRunner.h"
#include "TempFolder.h"
#include "elements/PageTemplateVariable.h"
#include "elements/PrintPageElementPageNumberText.h"
#include "elements/PrintPageElementPicture.h"
#include "elements/PrintPageElementPictureText.h"
#include "elements/PrintPageElementUserText.h"
#include "nimbra-kit/KitStartup.h"
#include "templates/PageTemplateProject.h"

namespace nimbra {
namespace {

using test::KitResult;
using test::RunKitCommand;
using test::TempFolder;

// One text element of the template: as written, and as page 4 of four photos shows it.
struct TextCase {
  std::function<std::unique_ptr<TPrintPageElementText>()> make;
  std::string className;
  std::string written;
  std::string shownOnPage4;
};

std::unique_ptr<TPrintPageElementText> DescribingFirstPicture() {
  auto text = std::make_unique<TPrintPageElementPictureText>();
  text->PictureTextProperties().SetPictureNumber(1);
  return text;
}

const std::vector<TextCase>& Cases() {
  static const std::vector<TextCase> cases = {
      {[] { return std::make_unique<TPrintPageElementUserText>(); }, "TPrintPageElementUserText",
       "100%%", "100%"},
      {DescribingFirstPicture, "TPrintPageElementPictureText", "%filename%", "strand4.jpg"},
      {[] { return std::make_unique<TPrintPageElementPageNumberText>(); },
       "TPrintPageElementPageNumberText", "%SEITENNR%", "4"},
      {[] { return std::make_unique<TPrintPageElementUserText>(); }, "TPrintPageElementUserText",
       "%ort%", "Berlin"},
      {[] { return std::make_unique<TPrintPageElementUserText>(); }, "TPrintPageElementUserText",
       "%unknownkey%", "%unknownkey%"},
  };
  return cases;
}

// A project with the variable Ort = Berlin whose one template holds a picture and then the texts
// of Cases, repeated until the slideshow ends: one photo a page.
std::string WriteTextProject(const TempFolder& folder) {
  // The variables' class comes from the registries the kit starts.
  const kit::TKitSession session;
  TPrintWizardPageTemplateProject project;
  auto& variables =
      dynamic_cast<TPageTemplateVariableProperties&>(*project.ProjectProperties()->Variables())
          .Variables();
  variables.AddVariable(TPageTemplateStringVariable::StaticClass());
  variables.Items(0).SetVariableName("Ort");
  EXPECT_TRUE(variables.Items(0).SetValueText("Berlin"));
  TPageTemplate& pageTemplate = *project.FirstTemplate();
  pageTemplate.Elements().Add(std::make_unique<TPrintPageElementPicture>());
  for (const TextCase& textCase : Cases()) {
    std::unique_ptr<TPrintPageElementText> text = textCase.make();
    text->TextProperties().SetText(textCase.written);
    pageTemplate.Elements().Add(std::move(text));
  }
  test::RepeatUntilTheShowEnds(project, pageTemplate);
  const std::string path = folder.File("texts.pwt");
  EXPECT_TRUE(project.SaveToFile(path));
  return path;
}

std::vector<std::string> PagesArgs(const TempFolder& folder) {
  // The photos are on disk: a name that resolves to no file has no file name to show.
  std::vector<std::string> photos;
  for (int i = 1; i <= 4; ++i) {
    photos.push_back(folder.Write("strand" + std::to_string(i) + ".jpg", "not decoded"));
  }
  test::WriteNamedPictureShow(folder.File("show.kvt"), photos);
  return {"pages", "-p", folder.File("show.kvt"), "-t", WriteTextProject(folder), "--texts"};
}

TEST(KitPagesTextsTest, EachPageListsTheFinalTextOfItsTextElements) {
  TempFolder folder;
  std::vector<std::string> args = PagesArgs(folder);
  args.push_back("--json");
  const KitResult result = RunKitCommand(args);
  ASSERT_EQ(result.exitCode, 0) << result.err;
  const nlohmann::json pages = nlohmann::json::parse(result.out)["pages"];
  ASSERT_EQ(pages.size(), 4u);

  nlohmann::json expected = nlohmann::json::array();
  for (size_t i = 0; i < Cases().size(); ++i) {
    expected.push_back({{"element", i + 1},
                        {"class", Cases()[i].className},
                        {"text", Cases()[i].shownOnPage4}});
  }
  EXPECT_EQ(pages[3]["texts"], expected);
  // The photo's name and the page number follow the page; the other texts do not.
  for (int page = 0; page < 3; ++page) {
    const std::string number = std::to_string(page + 1);
    EXPECT_EQ(pages[page]["texts"][1]["text"], "strand" + number + ".jpg");
    EXPECT_EQ(pages[page]["texts"][2]["text"], number);
    EXPECT_EQ(pages[page]["texts"][3]["text"], "Berlin");
  }
}

TEST(KitPagesTextsTest, PlainOutputPutsOneLinePerTextAfterItsPage) {
  TempFolder folder;
  const KitResult result = RunKitCommand(PagesArgs(folder));
  ASSERT_EQ(result.exitCode, 0) << result.err;
  const std::string page4 =
      "page 4: template 1 \"\": TPrintPageElementPicture 4, TPrintPageElementUserText -, "
      "TPrintPageElementPictureText -, TPrintPageElementPageNumberText -, "
      "TPrintPageElementUserText -, TPrintPageElementUserText -\n"
      "  element 1 TPrintPageElementUserText: \"100%\"\n"
      "  element 2 TPrintPageElementPictureText: \"strand4.jpg\"\n"
      "  element 3 TPrintPageElementPageNumberText: \"4\"\n"
      "  element 4 TPrintPageElementUserText: \"Berlin\"\n"
      "  element 5 TPrintPageElementUserText: \"%unknownkey%\"\n";
  ASSERT_GE(result.out.size(), page4.size());
  EXPECT_EQ(result.out.substr(result.out.size() - page4.size()), page4) << result.out;
}

}  // namespace
}  // namespace nimbra
