#include "album/ProgramStartup.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "album/NimbraApplicationInfo.h"
#include "raster/PictureFormats.h"
#include "storage/ClassRegistry.h"

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
      }
      EXPECT_EQ(NimbraApplicationInfo(), nullptr);
      EXPECT_EQ(GetClass("TPageTemplateDateVariable"), nullptr);
      EXPECT_EQ(GetClass("TPrintWizardPictureEngineProperties"), nullptr);
      EXPECT_FALSE(ReadsJpeg());
    }
  }
}

}  // namespace
}  // namespace nimbra
