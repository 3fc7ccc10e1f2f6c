#include "album/NimbraApplicationInfo.h"

#include <gtest/gtest.h>

namespace nimbra {
namespace {

class ApplicationInfoTest : public ::testing::Test {
 protected:
  void SetUp() override { InstallApplicationInfo(); }
  void TearDown() override { ClearApplicationInfo(); }
};

TEST_F(ApplicationInfoTest, AlbumAnswersAsVelmoraNimbra) {
  const auto product = NimbraApplicationInfo();
  ASSERT_NE(product, nullptr);
  EXPECT_EQ(product->FullVersion(), "1.0.00");
  EXPECT_EQ(product->RegistryKey(), "\\Software\\Velmora\\Nimbra\\1.x\\");
  EXPECT_EQ(product->DataFolder(), "Velmora\\Nimbra\\");
  EXPECT_EQ(product->WebUrl(), "http://" + product->WebAddress());
  EXPECT_EQ(product->InternalName(), "Nimbra");
  EXPECT_EQ(product->HelpFileName(), "Nimbra.chm");
  EXPECT_EQ(product->LogoFileName(), "Nimbra.jpg");
}

TEST_F(ApplicationInfoTest, FrameworkAndPrintWizardShareOneForwardingAdapter) {
  const auto framework = SlideShowApplicationInfo();
  ASSERT_NE(framework, nullptr);
  EXPECT_EQ(PrintWizardApplicationInfo(), framework);
  EXPECT_EQ(framework->FullVersion(), NimbraApplicationInfo()->FullVersion());
  EXPECT_EQ(framework->CopyrightText(), NimbraApplicationInfo()->CopyrightText());
  EXPECT_EQ(framework->Reserved1(), "");
  EXPECT_EQ(framework->Reserved2(), "");
  EXPECT_EQ(framework->Reserved3(), "");
}

// A product of another maker: composite answers follow its basic texts.
class TOtherProductInfo : public TNimbraApplicationInfo {
 public:
  std::string CompanyName() const override { return "A"; }
  std::string ProductName() const override { return "B"; }
};

TEST_F(ApplicationInfoTest, AnswersAreBuiltFromTheInstalledProductAtCallTime) {
  const auto framework = SlideShowApplicationInfo();
  SetNimbraApplicationInfo(std::make_shared<TOtherProductInfo>());
  EXPECT_EQ(framework->RegistryKey(), "\\Software\\A\\B\\1.x\\");
  EXPECT_EQ(framework->DataFolder(), "A\\B\\");
  EXPECT_EQ(framework->CompanyName(), "A");
}

TEST_F(ApplicationInfoTest, ClearingEmptiesEveryHolder) {
  ClearApplicationInfo();
  EXPECT_EQ(NimbraApplicationInfo(), nullptr);
  EXPECT_EQ(SlideShowApplicationInfo(), nullptr);
  EXPECT_EQ(PrintWizardApplicationInfo(), nullptr);
}

}  // namespace
}  // namespace nimbra
