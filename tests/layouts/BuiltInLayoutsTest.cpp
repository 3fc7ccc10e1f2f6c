#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "LayoutTestSupport.h"
#include "elements/PrintPageElementPageNumberText.h"
#include "elements/PrintPageElementPicture.h"
#include "elements/PrintWizardPictureEffectList.h"
#include "elements/PrintPageElementPictureText.h"
#include "layouts/BuiltInLayouts.h"
#include "layouts/LayoutReader.h"
#include "templates/PageTemplateProject.h"

namespace nimbra::test {
namespace {

using TBuiltInLayoutsTest = TLayoutTest;

std::string ReadText(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// The program carries exactly the files of data/layouts, each under its file name.
TEST_F(TBuiltInLayoutsTest, ProgramCarriesTheFilesOfTheLayoutFolder) {
  const std::filesystem::path folder = std::filesystem::path(NIMBRA_SOURCE_DIR) / "data/layouts";
  size_t files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    if (entry.path().extension() != ".json") continue;
    ++files;
    const TBuiltInLayout* layout = FindBuiltInLayout(entry.path().stem().string());
    ASSERT_NE(layout, nullptr) << entry.path();
    EXPECT_EQ(layout->Json, ReadText(entry.path()));
  }
  EXPECT_EQ(BuiltInLayouts().size(), files);
  EXPECT_EQ(FindBuiltInLayout("unbekannt"), nullptr);
}

TEST_F(TBuiltInLayoutsTest, FramedPhotosAreTurnedAtRandomOnColour) {
  const TLayout layout = ReadLayout(FindBuiltInLayout("rahmen")->Json);
  auto& framed = dynamic_cast<TPrintWizardPageTemplate&>(*layout.Project->Templates().Items(0));
  EXPECT_NE(framed.WizardProperties().BackColor(), 0xFF000000u);
  bool turned = false;
  for (int32_t e = 0; e < framed.Elements().Count(); ++e) {
    const auto* picture = dynamic_cast<const TPrintPageElementPicture*>(framed.Elements().Items(e));
    if (picture != nullptr) {
      turned = picture->PictureProperties().RandomRotation();
    }
  }
  EXPECT_TRUE(turned);
  const TLayout einzel = ReadLayout(FindBuiltInLayout("einzel")->Json);
  auto& single = dynamic_cast<TPrintWizardPageTemplate&>(*einzel.Project->Templates().Items(0));
  EXPECT_EQ(single.WizardProperties().BackColor(), 0xFF000000u);
}

// The class of every element of the layout's first template, with the caption's picture number or
// the page number's position after it.
std::vector<std::string> ElementsOf(std::string_view name) {
  const TLayout layout = ReadLayout(FindBuiltInLayout(name)->Json);
  const TPageTemplate& page = *layout.Project->Templates().Items(0);
  std::vector<std::string> elements;
  for (int32_t e = 0; e < page.Elements().Count(); ++e) {
    const TPageElement& element = *page.Elements().Items(e);
    std::string entry = element.ClassName();
    if (const auto* caption = dynamic_cast<const TPrintPageElementPictureText*>(&element)) {
      entry += " " + std::to_string(caption->PictureTextProperties().PictureNumber()) + " " +
               caption->PictureTextProperties().Text();
    }
    if (const auto* number = dynamic_cast<const TPrintPageElementPageNumberText*>(&element)) {
      entry += " " + number->PageNumberProperties().Position()->ClassName();
    }
    elements.push_back(entry);
  }
  return elements;
}

// Prints: every photo of the frame and pile layouts has a border and then a shadow.
TEST_F(TBuiltInLayoutsTest, PrintLayoutsFrameAndShadowEveryPhoto) {
  for (const char* name : {"rahmen", "stapel"}) {
    SCOPED_TRACE(name);
    const TLayout layout = ReadLayout(FindBuiltInLayout(name)->Json);
    int pictures = 0;
    for (int32_t t = 0; t < layout.Project->Templates().Count(); ++t) {
      const TPageElementList& elements = layout.Project->Templates().Items(t)->Elements();
      for (int32_t e = 0; e < elements.Count(); ++e) {
        const auto* picture = dynamic_cast<const TPrintPageElementPicture*>(elements.Items(e));
        if (picture == nullptr) continue;
        ++pictures;
        const TPrintWizardPictureEffectList& effects = picture->PictureProperties().Effects();
        ASSERT_EQ(effects.Count(), 2);
        EXPECT_EQ(effects.Effects(0)->ClassName(), "TPrintWizardPictureEffectSimpleBorder");
        EXPECT_EQ(effects.Effects(1)->ClassName(), "TPrintWizardPictureEffectShadow");
      }
    }
    EXPECT_GE(pictures, 3);
  }
}

TEST_F(TBuiltInLayoutsTest, CaptionedLayoutsWriteDatesAndPageNumbers) {
  const std::string caption = "TPrintPageElementPictureText ";
  EXPECT_EQ(ElementsOf("beschriftet"),
            (std::vector<std::string>{"TPrintPageElementPicture", "TPrintPageElementPicture",
                                      caption + "1 %filename%", caption + "1 %capturedate%",
                                      caption + "2 %filename%", caption + "2 %capturedate%"}));
  EXPECT_EQ(ElementsOf("buch"),
            (std::vector<std::string>{
                "TPrintPageElementPicture",
                "TPrintPageElementPageNumberText TPrintPageElementPageNumberTextPositionJumping"}));
}

}  // namespace
}  // namespace nimbra::test
