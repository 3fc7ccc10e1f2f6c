#include "album/ProgramStartup.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "album/NimbraApplicationInfo.h"
#include "framework/Plugins.h"
#include "framework/VariablePlugin.h"
#include "raster/FontSupport.h"
#include "raster/PictureFormats.h"
#include "storage/ClassRegistry.h"
#include "templates/Bitmap32Cache.h"

namespace nimbra {
namespace {

bool ReadsJpeg() {
  const std::vector<std::string> extensions = PictureFormatExtensions();
  return std::find(extensions.begin(), extensions.end(), "jpg") != extensions.end();
}

// What each stage makes known, and that all of it is gone when the start-up goes: twice over, as
// the kit's tests start and end it again and again in one process.
TEST(ProgramStartupTest, EachStageStartsItsUnitsAndTheEndUndoesThem) {
  struct TCase {
    TStartupStage Last;
    bool Draws;
  };
  for (int round = 0; round < 2; ++round) {
    for (const TCase& test : {TCase{TStartupStage::Documents, false},
                              TCase{TStartupStage::Rendering, true}}) {
      SCOPED_TRACE(test.Draws ? "up to rendering" : "up to the documents");
      {
        const TProgramStartup startup(test.Last);
        EXPECT_NE(NimbraApplicationInfo(), nullptr);
        EXPECT_NE(GetClass("TPageTemplateDateVariable"), nullptr);
        EXPECT_EQ(GetClass("TPrintWizardPictureEngineProperties") != nullptr, test.Draws);
        EXPECT_EQ(ReadsJpeg(), test.Draws);
        EXPECT_EQ(Bitmap32Cache() != nullptr, test.Draws);
        EXPECT_EQ(FontsAvailable(), test.Draws);
      }
      EXPECT_EQ(NimbraApplicationInfo(), nullptr);
      EXPECT_EQ(GetClass("TPageTemplateDateVariable"), nullptr);
      EXPECT_EQ(GetClass("TPrintWizardPictureEngineProperties"), nullptr);
      EXPECT_FALSE(ReadsJpeg());
      EXPECT_EQ(Bitmap32Cache(), nullptr);
      EXPECT_FALSE(FontsAvailable());
    }
  }
}

// The object variables sit in the main registry between the slideshow's base kinds and the
// structure events, and speak for this application.
TEST(ProgramStartupTest, ObjectVariablesAreRegisteredInTheirPlace) {
  const TProgramStartup startup(TStartupStage::Documents);
  std::vector<std::string> names;
  for (int i = 0; i < MainPlugins()->Count(); ++i) {
    names.push_back(MainPlugins()->Items(i).PluginClass().ClassName());
  }
  const auto at = [&](const std::string& name) {
    return std::find(names.begin(), names.end(), name) - names.begin();
  };
  const auto text = at("TSlideShowObjectTextVariablePlugin");
  EXPECT_EQ(at("TSlideShowObjectFiledateVariablePlugin"), text + 23);
  EXPECT_EQ(at("TSlideShowCreatorAppVariablePlugin"), text + 24);
  EXPECT_LT(at("TSoundSlideShowObject"), text);
  EXPECT_EQ(at("TStructureEventOnListEnd"), text + 25);

  EXPECT_EQ(SubstituteVariables(MainPlugins(), nullptr, "%CreatorApp%"),
            "Erstellt mit Velmora Nimbra");
}

}  // namespace
}  // namespace nimbra
