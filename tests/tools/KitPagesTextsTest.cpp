#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <nlohmann/json.hpp>

#include "JpegTestData.h"
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

std::unique_ptr<TPrintPageElementText> UserText() {
  return std::make_unique<TPrintPageElementUserText>();
}

const std::vector<TextCase>& Cases() {
  static const std::vector<TextCase> cases = {
      {UserText, "TPrintPageElementUserText", "100%%", "100%"},
      {DescribingFirstPicture, "TPrintPageElementPictureText", "%filename%", "strand4.jpg"},
      {[] { return std::make_unique<TPrintPageElementPageNumberText>(); },
       "TPrintPageElementPageNumberText", "%SEITENNR%", "4"},
      {UserText, "TPrintPageElementUserText", "%ort%", "Berlin"},
      {UserText, "TPrintPageElementUserText", "%unknownkey%", "%unknownkey%"},
  };
  return cases;
}

// The texts of ChapterCases on the page of Strand.jpg, the photo at 2.3 of Urlaub.kvt.
const std::vector<TextCase>& ChapterCases() {
  static const std::vector<TextCase> cases = {
      {DescribingFirstPicture, "TPrintPageElementPictureText", "%FileName%", "Strand.jpg"},
      {DescribingFirstPicture, "TPrintPageElementPictureText", "%position%", "2.3"},
      // The document has no title of its own.
      {DescribingFirstPicture, "TPrintPageElementPictureText", "%slideshowtitle%", "Urlaub.kvt"},
      {DescribingFirstPicture, "TPrintPageElementPictureText",
       "%capturedate% %capturetime% %captureyear%", "14.07.2021 15:30:05 2021"},
      {DescribingFirstPicture, "TPrintPageElementPictureText", "%EXIFModel%", "EOS 5"},
      {DescribingFirstPicture, "TPrintPageElementPictureText", "%IPTCCity%", "Berlin"},
      {UserText, "TPrintPageElementUserText", "%CreatorApp%", "Erstellt mit Velmora Nimbra"},
      {UserText, "TPrintPageElementUserText", "%kapitelname%", "Sommer"},
  };
  return cases;
}
constexpr size_t kTitleCase = 2;
constexpr size_t kPositionCase = 1;
constexpr size_t kChapterCase = 7;

// A project with the variable Ort = Berlin whose one template holds a picture and then the given
// texts, repeated until the slideshow ends: one photo a page.
std::string WriteTextProject(const TempFolder& folder, const std::vector<TextCase>& textCases) {
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
  for (const TextCase& textCase : textCases) {
    std::unique_ptr<TPrintPageElementText> text = textCase.make();
    text->TextProperties().SetText(textCase.written);
    pageTemplate.Elements().Add(std::move(text));
  }
  test::RepeatUntilTheShowEnds(project, pageTemplate);
  const std::string path = folder.File("texts.pwt");
  EXPECT_TRUE(project.SaveToFile(path));
  return path;
}

// What the kit lists for each text of the cases, in order after the picture.
nlohmann::json ShownTexts(const std::vector<TextCase>& textCases) {
  nlohmann::json shown = nlohmann::json::array();
  for (size_t i = 0; i < textCases.size(); ++i) {
    shown.push_back({{"element", i + 1},
                     {"class", textCases[i].className},
                     {"text", textCases[i].shownOnPage4}});
  }
  return shown;
}

std::vector<std::string> PagesArgs(const TempFolder& folder) {
  // The photos are on disk: a name that resolves to no file has no file name to show.
  std::vector<std::string> photos;
  for (int i = 1; i <= 4; ++i) {
    photos.push_back(folder.Write("strand" + std::to_string(i) + ".jpg", "not decoded"));
  }
  test::WriteNamedPictureShow(folder.File("show.kvt"), photos);
  const std::string project = WriteTextProject(folder, Cases());
  return {"pages", "-p", folder.File("show.kvt"), "-t", project, "--texts"};
}

// Taken on 14 July 2021 and edited later, which DateTime records and the capture must not take;
// with the camera's model and two cities, of which the first counts.
std::string BeachPhoto() {
  const auto ascii = [](uint16_t tag, const std::string& value) {
    return test::TTiffTag{tag, 2, static_cast<uint32_t>(value.size() + 1), value + '\0', {}};
  };
  test::TTiffDirectories tiff;
  tiff.First = {ascii(0x0110, "EOS 5"), ascii(0x0132, "2022:03:01 09:10:11")};
  tiff.Exif = {ascii(0x9003, "2021:07:14 15:30:05")};
  const std::string cities = test::IptcDataset(2, 90, "Berlin") + test::IptcDataset(2, 90, "Paris");
  const std::string iptc =
      test::IptcPayload({test::PhotoshopResource(test::kIptcResource, "", cities)});
  return test::JpegFile({test::JpegSegment(test::kApp1, test::ExifPayload(tiff)),
                         test::JpegSegment(test::kApp13, iptc)});
}

// The pages of Urlaub.kvt, titled as given: Anreise.jpg, then the chapter Sommer holding
// Zelt.jpg, See.jpg and Strand.jpg, under the texts of ChapterCases.
nlohmann::json ChapterShowPages(const TempFolder& folder, const std::string& title) {
  std::vector<std::string> photos;
  for (const char* name : {"Anreise.jpg", "Zelt.jpg", "See.jpg"}) {
    photos.push_back(folder.Write(name, "not decoded"));
  }
  photos.push_back(folder.Write("Strand.jpg", BeachPhoto()));
  test::WriteChapterShow(folder.File("Urlaub.kvt"), title, "Sommer", photos);
  const KitResult result =
      RunKitCommand({"pages", "-p", folder.File("Urlaub.kvt"), "-t",
                     WriteTextProject(folder, ChapterCases()), "--texts", "--json"});
  EXPECT_EQ(result.exitCode, 0) << result.err;
  if (result.exitCode != 0) return nlohmann::json::array();
  return nlohmann::json::parse(result.out)["pages"];
}

TEST(KitPagesTextsTest, EachPageListsTheFinalTextOfItsTextElements) {
  TempFolder folder;
  std::vector<std::string> args = PagesArgs(folder);
  args.push_back("--json");
  const KitResult result = RunKitCommand(args);
  ASSERT_EQ(result.exitCode, 0) << result.err;
  const nlohmann::json pages = nlohmann::json::parse(result.out)["pages"];
  ASSERT_EQ(pages.size(), 4u);

  EXPECT_EQ(pages[3]["texts"], ShownTexts(Cases()));
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

TEST(KitPagesTextsTest, TextsShowThePhotoOfThePageItsChapterDocumentAndMetadata) {
  TempFolder folder;
  const nlohmann::json pages = ChapterShowPages(folder, "");
  ASSERT_EQ(pages.size(), 4u);
  EXPECT_EQ(pages[3]["texts"], ShownTexts(ChapterCases()));
  // The position and the chapter follow the page; the first photo stands outside the chapter.
  const char* const positions[] = {"1", "2.1", "2.2"};
  for (int page = 0; page < 3; ++page) {
    EXPECT_EQ(pages[page]["texts"][kPositionCase]["text"], positions[page]);
    EXPECT_EQ(pages[page]["texts"][kChapterCase]["text"],
              std::string(page == 0 ? "Kapitelname" : "Sommer"));
  }
}

TEST(KitPagesTextsTest, AShowsOwnTitleIsShownAsWritten) {
  TempFolder folder;
  const nlohmann::json pages = ChapterShowPages(folder, "50% off");
  ASSERT_EQ(pages.size(), 4u);
  EXPECT_EQ(pages[3]["texts"][kTitleCase]["text"], "50% off");
}

}  // namespace
}  // namespace nimbra
