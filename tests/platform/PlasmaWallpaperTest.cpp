#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QJsonArray>
#include <QJsonDocument>
#include <QThread>
#include <QUrl>
#include <fstream>
#include <memory>
#include <mutex>

#include "PlatformTestSession.h"
#include "platform/FileUri.h"
#include "platform/PlasmaWallpaper.h"

namespace nimbra {
namespace {

// Plasma's shell as far as the wallpaper is concerned: records each script it is asked to run
// and answers as the test says.
class TPlasmaShellStandIn : public QDBusVirtualObject {
 public:
  bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
    if (message.interface() != "org.kde.PlasmaShell" || message.member() != "evaluateScript") {
      return false;
    }
    std::lock_guard lock(mutex_);
    scripts_.push_back(message.arguments().value(0).toString().toStdString());
    connection.send(refusal_.isEmpty()
                        ? message.createReply()
                        : message.createErrorReply("org.kde.PlasmaShell.Error", refusal_));
    return true;
  }
  QString introspect(const QString&) const override {
    return "<interface name=\"org.kde.PlasmaShell\"><method name=\"evaluateScript\">"
           "<arg name=\"script\" type=\"s\" direction=\"in\"/></method></interface>";
  }

  std::vector<std::string> Scripts() const {
    std::lock_guard lock(mutex_);
    return scripts_;
  }
  void Refuse(const QString& message) {
    std::lock_guard lock(mutex_);
    refusal_ = message;
  }

 private:
  mutable std::mutex mutex_;
  std::vector<std::string> scripts_;
  QString refusal_;
};

class PlasmaWallpaperTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    static int argc = 1;
    static char name[] = "nimbra_platform_tests";
    static char* argv[] = {name, nullptr};
    if (QCoreApplication::instance() == nullptr) application_ = new QCoreApplication(argc, argv);
  }

  void SetUp() override {
    const std::string busError = test::EnsurePrivateSessionBus();
    ASSERT_EQ(busError, "") << "the private session bus did not start";
    // The stand-in has a connection and a thread of its own, so the backend's blocking call
    // really crosses the bus and is answered while the test thread waits.
    shellThread_.start();
    shell_.moveToThread(&shellThread_);
    shellBus_ = std::make_unique<QDBusConnection>(
        QDBusConnection::connectToBus(QDBusConnection::SessionBus, "plasma-shell-stand-in"));
    ASSERT_TRUE(shellBus_->isConnected());
    ASSERT_TRUE(shellBus_->registerVirtualObject("/PlasmaShell", &shell_));
    ASSERT_TRUE(shellBus_->registerService("org.kde.plasmashell"));
  }

  void TearDown() override {
    shellBus_->unregisterService("org.kde.plasmashell");
    shellBus_->unregisterObject("/PlasmaShell");
    shellBus_.reset();
    QDBusConnection::disconnectFromBus("plasma-shell-stand-in");
    shellThread_.quit();
    shellThread_.wait();
  }

  // The script's picture: the string literal on its first line, read back as JSON.
  static std::string ImageOf(const std::string& script) {
    const std::string prefix = "var image = ";
    const size_t end = script.find(";\n");
    if (script.rfind(prefix, 0) != 0 || end == std::string::npos) return "(no image line)";
    const std::string literal = script.substr(prefix.size(), end - prefix.size());
    const QJsonDocument parsed =
        QJsonDocument::fromJson(QByteArray::fromStdString("[" + literal + "]"));
    if (!parsed.isArray()) return "(not a JSON string: " + literal + ")";
    return parsed.array().at(0).toString().toStdString();
  }

  static inline QCoreApplication* application_ = nullptr;
  QThread shellThread_;
  TPlasmaShellStandIn shell_;
  std::unique_ptr<QDBusConnection> shellBus_;
};

TEST_F(PlasmaWallpaperTest, ScriptPutsTheImagePluginWithTheFileOnEveryDesktop) {
  TWallpaperPicture picture;
  picture.BitmapFile = "/home/anna/Bilder/Velmora Nimbra Hintergrundbild (2).bmp";
  TPlasmaWallpaperBackend().Apply(picture);
  const auto scripts = shell_.Scripts();
  ASSERT_EQ(scripts.size(), 1U);
  const std::string& script = scripts[0];
  EXPECT_EQ(ImageOf(script), FileUri(picture.BitmapFile));
  EXPECT_NE(script.find("var all = desktops();\n"
                        "if (all.length == 0) throw new Error(\"Plasma hat keine Arbeitsfläche\");\n"
                        "for (var i = 0; i < all.length; i++) {"),
            std::string::npos)
      << script;
  EXPECT_NE(script.find("d.wallpaperPlugin = \"org.kde.image\";"), std::string::npos) << script;
  EXPECT_NE(script.find("d.currentConfigGroup = [\"Wallpaper\", \"org.kde.image\", \"General\"];"),
            std::string::npos)
      << script;
  EXPECT_NE(script.find("d.writeConfig(\"Image\", image);"), std::string::npos) << script;
}

TEST_F(PlasmaWallpaperTest, QuotesAndBackslashesInThePathStayIntact) {
  TWallpaperPicture picture;
  picture.BitmapFile = "/tmp/it's \"quoted\" \\ back\\slash\n\u2028 ä.bmp";
  TPlasmaWallpaperBackend().Apply(picture);
  const auto scripts = shell_.Scripts();
  ASSERT_EQ(scripts.size(), 1U);
  const std::string uri = ImageOf(scripts[0]);
  EXPECT_EQ(QUrl(QString::fromStdString(uri)).toLocalFile().toStdString(), picture.BitmapFile);
  // The literal itself survives any text, not just URIs.
  const std::string nasty = "a\"b\\c'd\ne\u2028f\x01g";
  EXPECT_EQ(ImageOf("var image = " + JavaScriptString(nasty) + ";\n"), nasty);
}

TEST_F(PlasmaWallpaperTest, EachScreensDesktopsGetThatScreensPictureByPosition) {
  ASSERT_EQ(test::MissingTool("node", "nodejs"), "");
  TWallpaperPicture picture;
  picture.BitmapFile = "/tmp/ganz.bmp";
  picture.Screens = {{"DP-1", {0, 0, 1600, 900}, "/tmp/links.bmp", ""},
                     {"DP-2", {1600, 0, 2624, 768}, "/tmp/rechts.bmp", ""}};
  TPlasmaWallpaperBackend().Apply(picture);
  const auto scripts = shell_.Scripts();
  ASSERT_EQ(scripts.size(), 1U);
  // Plasma's screen 0 is the right one here; two activities on it, one desktop on no screen.
  const std::string shell =
      "var shown = [];\n"
      "function desk(screen) { var d = {screen: screen, wallpaperPlugin: '', "
      "writeConfig: function (key, value) { shown.push(screen + ' ' + key + ' ' + value); }};"
      " return d; }\n"
      "var made = [desk(0), desk(1), desk(0), desk(-1)];\n"
      "function desktops() { return made; }\n"
      "function screenGeometry(s) { return s == 0 ? {x: 1600, y: 0} : {x: 0, y: 0}; }\n" +
      scripts[0] + "console.log(shown.join('\\n'));\n";
  const std::string file = (test::ScratchFolder() / "plasma-script.js").string();
  {
    std::ofstream out(file);
    out << shell;
  }
  bool ok = false;
  const std::string output = test::RunForOutput({"node", file}, &ok);
  ASSERT_TRUE(ok) << output;
  EXPECT_EQ(output, "0 Image file:///tmp/rechts.bmp\n1 Image file:///tmp/links.bmp\n"
                    "0 Image file:///tmp/rechts.bmp\n-1 Image file:///tmp/ganz.bmp");
}

TEST_F(PlasmaWallpaperTest, ARefusalIsReportedWithPlasmasMessage) {
  shell_.Refuse("Widgets are locked");
  TWallpaperPicture picture;
  picture.BitmapFile = "/tmp/page.bmp";
  try {
    TPlasmaWallpaperBackend().Apply(picture);
    ADD_FAILURE() << "a refused script was taken for success";
  } catch (const EWallpaperError& error) {
    EXPECT_NE(std::string(error.what()).find("Widgets are locked"), std::string::npos)
        << error.what();
  }
}

TEST_F(PlasmaWallpaperTest, NoPlasmaShellIsReported) {
  shellBus_->unregisterService("org.kde.plasmashell");
  TWallpaperPicture picture;
  picture.BitmapFile = "/tmp/page.bmp";
  EXPECT_THROW(TPlasmaWallpaperBackend().Apply(picture), EWallpaperError);
}

}  // namespace
}  // namespace nimbra
