#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTimer>
#include <filesystem>

#include "ShellTestSupport.h"
#include "TempFolder.h"
#include "album/DesktopNimbraProperties.h"
#include "album/NimbraApplicationInfo.h"
#include "app/DesktopChanger.h"
#include "app/DesktopNimbraTray.h"
#include "app/ShellRegistration.h"
#include "framework/FrameworkStartup.h"
#include "platform/WallpaperSetter.h"
#include "ui/DesktopNimbraPropertyEditorFrame.h"
#include "ui/PropertyFrameDialog.h"

namespace nimbra {
namespace {

namespace fs = std::filesystem;

// The album's tray as the album's window uses it: autostart arguments of its own, and messages
// kept for the test instead of shown.
class TTestTray : public TDesktopNimbraTray {
 public:
  using TDesktopNimbraTray::TDesktopNimbraTray;
  std::vector<std::string> AutostartParameters() override { return parameters; }
  void ShowMessage(const std::string& text, TMessageBoxKind) override { messages.push_back(text); }
  void Notify(const std::string& text) override { notices.push_back(text); }
  std::vector<std::string> parameters;
  std::vector<std::string> messages;
  std::vector<std::string> notices;
};

// A desktop that refuses every picture.
class TRefusingBackend : public TWallpaperBackend {
 public:
  std::string Name() const override { return "refusing"; }
  TWallpaperNeeds Needs() const override { return {}; }
  void Apply(const TWallpaperPicture&) override { throw EWallpaperError("the desktop said no"); }
};

class TrayIconTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::Application();
    InstallApplicationInfo();
    FrameworkStartup();
    ShellStartup();
    TTrayIconOptions options;
    options.ShowIcon = false;
    options.AutostartFolder = (folder_.Path() / "autostart").string();
    options.Executable = "/opt/album/Velmora Nimbra";
    tray_ = std::make_unique<TTestTray>(options);
    tray_->OnClose = [this] { ++closed_; };
    tray_->SetSettings(std::make_unique<TDesktopNimbraProperties>());
  }
  void TearDown() override {
    tray_.reset();
    ShellShutdown();
    FrameworkShutdown();
    ClearApplicationInfo();
  }

  // A changer over count pages on a small fixed screen, showing through the backend given.
  TNimbraDesktopChanger& AddChanger(int32_t count,
                                    std::unique_ptr<TWallpaperBackend> backend = nullptr) {
    auto changer = std::make_unique<TNimbraDesktopChanger>();
    changer->SetPageList(std::make_unique<test::TFakePages>(count, log_));
    if (!backend) backend = std::make_unique<test::TRecordingBackend>(shown_);
    changer->SetWallpaperSetter(std::make_unique<TWallpaperSetter>(
        std::move(backend), folder_.Path().string(), "Hintergrund"));
    changer->SetScreenGeometryFunction([] { return FixedScreenGeometry(32, 24); });
    tray_->SetChanger(std::move(changer));
    return *tray_->Changer();
  }

  std::vector<std::string> MenuTexts() const {
    std::vector<std::string> texts;
    for (const QAction* action : tray_->PopupMenu1().actions()) {
      texts.push_back(action->isSeparator() ? "-" : action->text().toStdString());
    }
    return texts;
  }

  std::string AutostartFile() const {
    return (folder_.Path() / "autostart" / "Velmora Nimbra.desktop").string();
  }

  test::TempFolder folder_;
  std::shared_ptr<test::TPagesLog> log_ = std::make_shared<test::TPagesLog>();
  std::shared_ptr<test::TShownPictures> shown_ = std::make_shared<test::TShownPictures>();
  std::unique_ptr<TTestTray> tray_;
  int closed_ = 0;
};

TEST_F(TrayIconTest, MenuHintAndExitCaptionOfTheAlbum) {
  ASSERT_TRUE(tray_->Initialize());
  tray_->UpdateTrayState();
  EXPECT_EQ(MenuTexts(), (std::vector<std::string>{"Pause", "-", "Nächstes Bild",
                                                   "Vorheriges Bild", "-", "Einstellungen",
                                                   "Autostart", "-", "Info über...", "-",
                                                   "Nimbra beenden"}));
  EXPECT_EQ(tray_->TrayIcon().Hint(), "Velmora Nimbra");
  EXPECT_TRUE(tray_->PauseAction().isCheckable());
  EXPECT_TRUE(tray_->AutoRunAction().isCheckable());
  EXPECT_FALSE(tray_->NextPageAction().isCheckable());
  EXPECT_EQ(tray_->TrayIcon().FrameDelay(), 300);
  EXPECT_EQ(tray_->Timer().interval(), 2000);
  EXPECT_FALSE(tray_->Timer().isActive());
  // The exit item ends the program without touching autostart.
  tray_->ExitAction().trigger();
  EXPECT_EQ(closed_, 1);
  EXPECT_FALSE(fs::exists(AutostartFile()));
}

TEST_F(TrayIconTest, WithoutATrayHostTheAlbumSaysSoOnceAndGoesOn) {
  // The offscreen desktop of these tests has no notification area.
  TAnimatedTrayIcon icon;
  std::vector<std::string> reports;
  icon.OnUnavailable = [&](const std::string& message) { reports.push_back(message); };
  icon.SetActive(true);
  icon.SetActive(false);
  icon.SetActive(true);
  EXPECT_EQ(reports.size(), 1u);
  EXPECT_TRUE(icon.Active());
  EXPECT_FALSE(icon.Visible());
  // The album itself goes on: its menu and changes work without the icon.
  TNimbraDesktopChanger& changer = AddChanger(2);
  tray_->NextPageAction().trigger();
  ASSERT_TRUE(test::ProcessEventsUntil([&] { return !changer.Changing(); }));
  EXPECT_EQ(shown_->Count(), 1u);
}

TEST_F(TrayIconTest, TimerRunsOnlyInTimedModeAndWhileNotPaused) {
  TNimbraDesktopChanger& changer = AddChanger(3);
  tray_->Settings()->SetInterval(90000);
  tray_->SettingsChanged();
  EXPECT_TRUE(tray_->Timer().isActive());
  EXPECT_EQ(changer.Interval(), 90000);

  tray_->PauseAction().trigger();
  EXPECT_TRUE(tray_->Paused());
  EXPECT_TRUE(tray_->PauseAction().isChecked());
  EXPECT_FALSE(tray_->Timer().isActive());
  tray_->SettingsChanged();  // settings confirmed while paused: still paused
  EXPECT_FALSE(tray_->Timer().isActive());
  tray_->PauseAction().trigger();
  EXPECT_FALSE(tray_->PauseAction().isChecked());
  EXPECT_TRUE(tray_->Timer().isActive());

  for (const uint8_t mode : {1, 2}) {
    tray_->Settings()->SetChangeMode(mode);
    tray_->SettingsChanged();
    EXPECT_FALSE(tray_->Timer().isActive()) << int(mode);
    tray_->SetPaused(true);
    tray_->SetPaused(false);  // resuming does not bring the timer back outside timed mode
    EXPECT_FALSE(tray_->Timer().isActive()) << int(mode);
  }
}

TEST_F(TrayIconTest, PausingWhileAChangeRendersOnlyStopsTheTimer) {
  AddChanger(4);
  tray_->SettingsChanged();
  log_->GateOpen = false;
  tray_->NextPageAction().trigger();
  ASSERT_TRUE(log_->WaitForStarted(1));
  EXPECT_TRUE(tray_->TrayIcon().Animate());
  tray_->PauseAction().trigger();
  EXPECT_FALSE(tray_->Timer().isActive());
  log_->OpenGate();
  ASSERT_TRUE(test::ProcessEventsUntil([&] { return !tray_->Changer()->Changing(); }));
  EXPECT_EQ(shown_->Count(), 1u);
  EXPECT_FALSE(tray_->TrayIcon().Animate());
  EXPECT_EQ(tray_->TrayIcon().ImageIndex(), 0);
}

TEST_F(TrayIconTest, NextAndPreviousAnimateTheIconWhileTheyRender) {
  AddChanger(3);
  log_->GateOpen = false;
  tray_->NextPageAction().trigger();
  ASSERT_TRUE(log_->WaitForStarted(1));
  EXPECT_TRUE(tray_->TrayIcon().Animate());
  // The frames move on while the page renders.
  ASSERT_TRUE(test::ProcessEventsUntil([&] { return tray_->TrayIcon().ImageIndex() >= 2; }));
  log_->OpenGate();
  ASSERT_TRUE(test::ProcessEventsUntil([&] { return !tray_->Changer()->Changing(); }));
  EXPECT_FALSE(tray_->TrayIcon().Animate());
  EXPECT_EQ(tray_->TrayIcon().ImageIndex(), 0);

  tray_->PreviousPageAction().trigger();
  ASSERT_TRUE(test::ProcessEventsUntil([&] { return !tray_->Changer()->Changing(); }));
  tray_->PreviousPageAction().trigger();
  ASSERT_TRUE(test::ProcessEventsUntil([&] { return !tray_->Changer()->Changing(); }));
  std::vector<int32_t> pages;
  for (const test::TRenderCall& call : log_->Snapshot()) pages.push_back(call.PageIndex);
  EXPECT_EQ(pages, (std::vector<int32_t>{0, 2, 1}));
  EXPECT_TRUE(tray_->messages.empty());
}

TEST_F(TrayIconTest, RefusedWallpaperIsNoticedOnceWithoutABoxAndTheAlbumGoesOn) {
  AddChanger(3, std::make_unique<TRefusingBackend>());
  for (int change = 0; change < 3; ++change) {
    tray_->NextPageAction().trigger();
    ASSERT_TRUE(test::ProcessEventsUntil([&] { return !tray_->Changer()->Changing(); }));
  }
  EXPECT_EQ(log_->Snapshot().size(), 3u);
  EXPECT_EQ(tray_->Changer()->PageIndex(), 2);
  EXPECT_EQ(tray_->notices,
            std::vector<std::string>{
                WallpaperFailureMessage("refusing: the desktop said no")});
  EXPECT_TRUE(tray_->messages.empty());
  EXPECT_FALSE(tray_->TrayIcon().Animate());
}

TEST_F(TrayIconTest, AutostartFollowsTheMenuAndIsRefreshedAtClose) {
  // Without arguments (command-line mode without documents) autostart cannot be switched on.
  tray_->AutoRunAction().trigger();
  EXPECT_FALSE(tray_->AutoRunAction().isChecked());
  EXPECT_FALSE(fs::exists(AutostartFile()));

  tray_->parameters = {"-p", "/home/anna/Alben/Urlaub.kvt"};
  tray_->AutoRunAction().trigger();
  EXPECT_TRUE(tray_->AutoRunAction().isChecked());
  ASSERT_TRUE(fs::exists(AutostartFile()));
  EXPECT_NE(test::TempFolder::Read(AutostartFile())
                .find("Exec=\"/opt/album/Velmora Nimbra\" -p /home/anna/Alben/Urlaub.kvt\n"),
            std::string::npos);

  // A normal end writes the current paths into the existing entry.
  tray_->parameters = {"-p", "/home/anna/Alben/Winter.kvt"};
  tray_->Close();
  EXPECT_EQ(closed_, 1);
  EXPECT_NE(test::TempFolder::Read(AutostartFile()).find("Winter.kvt"), std::string::npos);
  // An end the program asked for itself (Quit) leaves it alone.
  tray_->parameters = {"-p", "/home/anna/Alben/Herbst.kvt"};
  tray_->Quit();
  ASSERT_TRUE(test::ProcessEventsUntil([&] { return closed_ == 2; }));
  EXPECT_EQ(test::TempFolder::Read(AutostartFile()).find("Herbst.kvt"), std::string::npos);

  tray_->AutoRunAction().trigger();
  EXPECT_FALSE(tray_->AutoRunAction().isChecked());
  EXPECT_FALSE(fs::exists(AutostartFile()));
}

TEST_F(TrayIconTest, SettingsDialogAppliesTheConfirmedCopy) {
  AddChanger(3);
  tray_->SettingsChanged();
  ASSERT_TRUE(tray_->Timer().isActive());
  std::string caption;
  bool intervalFieldsEnabled = true;
  // The dialog is modal: the test works it from a timer once it is up.
  QTimer driver;
  QObject::connect(&driver, &QTimer::timeout, [&] {
    // These classes carry no Qt meta-object of their own, so qobject_cast cannot tell them.
    auto* dialog = dynamic_cast<TPropertyFrameDialog*>(QApplication::activeModalWidget());
    if (dialog == nullptr) return;
    driver.stop();
    caption = dialog->windowTitle().toStdString();
    TDesktopNimbraPropertyEditorFrame* frame = nullptr;
    for (QWidget* child : dialog->findChildren<QWidget*>()) {
      if (auto* found = dynamic_cast<TDesktopNimbraPropertyEditorFrame*>(child)) frame = found;
    }
    if (frame == nullptr) return dialog->reject();
    frame->NoAutoSwitchCheck()->click();
    intervalFieldsEnabled = frame->MinEdit()->isEnabled();
    dialog->OkButton()->click();
  });
  driver.start(20);
  tray_->PropertiesAction().trigger();
  EXPECT_EQ(caption, "Velmora Nimbra - Einstellungen");
  EXPECT_FALSE(intervalFieldsEnabled);
  EXPECT_EQ(tray_->Settings()->ChangeMode(), 2);
  EXPECT_FALSE(tray_->Timer().isActive());
}

}  // namespace
}  // namespace nimbra
