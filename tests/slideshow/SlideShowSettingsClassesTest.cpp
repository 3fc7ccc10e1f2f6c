#include <gtest/gtest.h>

#include "framework/Plugins.h"
#include "framework/Properties.h"
#include "slideshow/SlideShowSettingsClasses.h"
#include "storage/TextCase.h"

namespace nimbra {
namespace {

TEST(SlideShowSettingsClassesTest, DocumentsCreateTheBagsByTheirStoredNames) {
  RegisterSlideShowSettingsClasses();
  for (const char* name :
       {"TSlideShowProperties", "tmusicproperties", "TSlideShowInfoProperties"}) {
    const std::unique_ptr<TObject> bag = CreateByClassName(name);
    ASSERT_NE(dynamic_cast<TProperties*>(bag.get()), nullptr) << name;
    EXPECT_TRUE(SameTextAscii(bag->ClassName(), name)) << name;
  }
  UnregisterSlideShowSettingsClasses();
  EXPECT_EQ(GetClass("TSlideShowProperties"), nullptr);
  EXPECT_EQ(CreateByClassName("TMusicProperties"), nullptr);
}

}  // namespace
}  // namespace nimbra
