#include "app/AboutForm.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include "ShellTestSupport.h"
#include "album/NimbraApplicationInfo.h"
#include "framework/ApplicationInfo.h"

namespace nimbra {
namespace {

TEST(AboutFormTest, FadeRunsFromOpaqueToClearInHalfASecond) {
  EXPECT_EQ(FadeOpacity(-5), 255);
  EXPECT_EQ(FadeOpacity(0), 255);
  EXPECT_EQ(FadeOpacity(100), 204);
  EXPECT_EQ(FadeOpacity(250), 128);  // 127.5 rounds up
  EXPECT_EQ(FadeOpacity(499), 1);
  EXPECT_EQ(FadeOpacity(500), 0);
  EXPECT_EQ(FadeOpacity(60000), 0);
}

TEST(AboutFormTest, OneBoxWithTheAlbumsInformationAndBothButtons) {
  test::Application();
  InstallApplicationInfo();
  const std::shared_ptr<ISlideShowApplicationInfo> info = SlideShowApplicationInfo();
  int settingsShown = 0;
  std::vector<std::string> texts;
  bool sameBoxAfterSecondRequest = false;
  double opacityAfterClose = -1;
  QTimer driver;
  QObject::connect(&driver, &QTimer::timeout, [&] {
    TAboutForm* form = TAboutForm::OpenForm();
    if (form == nullptr || !form->isVisible()) return;
    driver.stop();
    texts = {form->windowTitle().toStdString(), form->ApplicationTitleLabel()->text().toStdString(),
             form->VersionLabel()->text().toStdString(),
             form->CopyrightLabel()->text().toStdString(), form->OkButton()->text().toStdString(),
             form->SettingsButton()->text().toStdString()};
    EXPECT_NE(form->URL()->text().toStdString().find(info->WebAddress()), std::string::npos);
    EXPECT_FALSE(form->LogoImage()->pixmap().isNull());
    // A second request while the box is open brings that one forward instead of a new one.
    TAboutForm::Execute([] { ADD_FAILURE() << "the second request opened a box"; });
    sameBoxAfterSecondRequest = TAboutForm::OpenForm() == form;
    form->SettingsButton()->click();
    form->OkButton()->click();
    opacityAfterClose = form->windowOpacity();
  });
  driver.start(20);
  TAboutForm::Execute([&] { ++settingsShown; });

  EXPECT_EQ(texts, (std::vector<std::string>{"Info über...", info->ProductName(),
                                             "Version " + info->FullVersion(),
                                             info->CopyrightText(), "Ok", "Einstellungen"}));
  EXPECT_TRUE(sameBoxAfterSecondRequest);
  EXPECT_EQ(settingsShown, 1);
  EXPECT_EQ(opacityAfterClose, 0.0);
  EXPECT_EQ(TAboutForm::OpenForm(), nullptr);
  ClearApplicationInfo();
}

}  // namespace
}  // namespace nimbra
