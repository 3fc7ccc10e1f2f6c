#include <gtest/gtest.h>
#include <stdlib.h>

#include <QApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCall>
#include <QDBusVariant>
#include <QDBusVirtualObject>
#include <QThread>
#include <mutex>

#include "PlatformTestSession.h"
#include "RootPicture.h"
#include "ShellTestSupport.h"
#include "album/DesktopNimbraProperties.h"
#include "album/NimbraApplicationInfo.h"
#include "app/DesktopChanger.h"
#include "app/DesktopNimbraTray.h"
#include "platform/WallpaperSetter.h"
#include "platform/X11Wallpaper.h"

namespace nimbra {
namespace {

const QString kWatcherService = "org.kde.StatusNotifierWatcher";
const QString kWatcherPath = "/StatusNotifierWatcher";
const QString kItemInterface = "org.kde.StatusNotifierItem";
const QString kMenuInterface = "com.canonical.dbusmenu";

// A notification area as far as an application sees it: the watcher that items register with,
// saying that a host is there to show them.
class TWatcherStandIn : public QDBusVirtualObject {
 public:
  bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
    if (message.interface() == kWatcherService &&
        message.member() == "RegisterStatusNotifierItem") {
      std::lock_guard lock(mutex_);
      const QString item = message.arguments().value(0).toString();
      // An item may name its object path instead of its service; then the sender is the service.
      items_.push_back((item.startsWith('/') ? message.service() : item).toStdString());
      connection.send(message.createReply());
      return true;
    }
    if (message.interface() == "org.freedesktop.DBus.Properties") {
      const QString name = message.arguments().value(1).toString();
      if (message.member() == "Get") {
        connection.send(message.createReply(QVariant::fromValue(QDBusVariant(Property(name)))));
        return true;
      }
      if (message.member() == "GetAll") {
        QVariantMap all;
        for (const char* property :
             {"IsStatusNotifierHostRegistered", "ProtocolVersion", "RegisteredStatusNotifierItems"}) {
          all.insert(property, Property(property));
        }
        connection.send(message.createReply(QVariant::fromValue(all)));
        return true;
      }
    }
    return false;
  }

  QString introspect(const QString&) const override {
    return "<interface name=\"org.kde.StatusNotifierWatcher\">"
           "<method name=\"RegisterStatusNotifierItem\">"
           "<arg name=\"service\" type=\"s\" direction=\"in\"/></method>"
           "<property name=\"IsStatusNotifierHostRegistered\" type=\"b\" access=\"read\"/>"
           "<property name=\"ProtocolVersion\" type=\"i\" access=\"read\"/>"
           "<property name=\"RegisteredStatusNotifierItems\" type=\"as\" access=\"read\"/>"
           "</interface>";
  }

  std::vector<std::string> Items() const {
    std::lock_guard lock(mutex_);
    return items_;
  }

 private:
  QVariant Property(const QString& name) const {
    if (name == "IsStatusNotifierHostRegistered") return true;
    if (name == "ProtocolVersion") return 0;
    QStringList items;
    for (const std::string& item : Items()) items << QString::fromStdString(item);
    return items;
  }

  mutable std::mutex mutex_;
  std::vector<std::string> items_;
};

// One entry of a menu as DBusMenu lays it out.
struct TMenuEntry {
  int Id = 0;
  std::string Label;  // "-" for a separator
  bool Checkable = false;
};

void ReadLayout(const QDBusArgument& argument, std::vector<TMenuEntry>& entries, bool root) {
  int id = 0;
  QVariantMap properties;
  argument.beginStructure();
  argument >> id >> properties;
  if (!root) {
    TMenuEntry entry;
    entry.Id = id;
    entry.Label = properties.value("type").toString() == "separator"
                      ? "-"
                      : properties.value("label").toString().remove('&').toStdString();
    entry.Checkable = properties.value("toggle-type").toString() == "checkmark";
    entries.push_back(entry);
  }
  argument.beginArray();
  while (!argument.atEnd()) {
    QDBusVariant child;
    argument >> child;
    ReadLayout(child.variant().value<QDBusArgument>(), entries, false);
  }
  argument.endArray();
  argument.endStructure();
}

unsigned long Rgb(TColor32 colour) { return colour & 0xFFFFFF; }

class TrayStatusNotifierTest : public ::testing::Test {
 protected:
  // The desktop comes first: Qt looks for a tray host once, when the first icon is made.
  static void SetUpTestSuite() {
    setupError_ = xvfb_.Start(320, 240);
    if (setupError_.empty()) setupError_ = test::EnsurePrivateSessionBus();
    if (!setupError_.empty()) return;
    ::setenv("DISPLAY", xvfb_.Display().c_str(), 1);
    ::unsetenv("WAYLAND_DISPLAY");
    static int argc = 3;
    static char name[] = "nimbra_tray_tests";
    static char platformSwitch[] = "-platform";
    static char platform[] = "xcb";
    static char* argv[] = {name, platformSwitch, platform, nullptr};
    application_ = new QApplication(argc, argv);
    watcherThread_ = std::make_unique<QThread>();
    watcher_ = std::make_unique<TWatcherStandIn>();
    watcherThread_->start();
    watcher_->moveToThread(watcherThread_.get());
    watcherBus_ = std::make_unique<QDBusConnection>(
        QDBusConnection::connectToBus(QDBusConnection::SessionBus, "tray-host-stand-in"));
    if (!watcherBus_->registerVirtualObject(kWatcherPath, watcher_.get()) ||
        !watcherBus_->registerService(kWatcherService)) {
      setupError_ = "the watcher stand-in could not register";
      return;
    }
  }
  static void TearDownTestSuite() {
    if (watcherBus_) {
      watcherBus_->unregisterService(kWatcherService);
      watcherBus_->unregisterObject(kWatcherPath);
      watcherBus_.reset();
      QDBusConnection::disconnectFromBus("tray-host-stand-in");
    }
    if (watcherThread_) {
      watcherThread_->quit();
      watcherThread_->wait();
    }
  }

  void SetUp() override {
    ASSERT_EQ(setupError_, "");
    InstallApplicationInfo();
  }
  void TearDown() override { ClearApplicationInfo(); }

  // Calls the tray's own service while the event loop serves it.
  static QDBusMessage Call(const QString& service, const QString& path, const QString& interface,
                           const QString& member, const QVariantList& arguments) {
    QDBusMessage call = QDBusMessage::createMethodCall(service, path, interface, member);
    call.setArguments(arguments);
    QDBusPendingCall pending = watcherBus_->asyncCall(call, 10000);
    test::ProcessEventsUntil([&] { return pending.isFinished(); });
    return pending.reply();
  }

  static inline test::TXvfb xvfb_;
  static inline std::string setupError_;
  static inline std::unique_ptr<QThread> watcherThread_;
  static inline std::unique_ptr<TWatcherStandIn> watcher_;
  static inline std::unique_ptr<QDBusConnection> watcherBus_;
  static inline QApplication* application_ = nullptr;
};

TEST_F(TrayStatusNotifierTest, MenuIsOfferedToTheTrayHostAndNextPageChangesTheWallpaper) {
  auto log = std::make_shared<test::TPagesLog>();
  TDesktopNimbraTray tray;
  tray.SetSettings(std::make_unique<TDesktopNimbraProperties>());
  auto changer = std::make_unique<TNimbraDesktopChanger>();
  changer->SetPageList(std::make_unique<test::TFakePages>(3, log));
  changer->SetWallpaperSetter(std::make_unique<TWallpaperSetter>(
      std::make_unique<TX11WallpaperBackend>(xvfb_.Display()), test::ScratchFolder().string(),
      "Hintergrund"));
  tray.SetChanger(std::move(changer));
  ASSERT_TRUE(tray.Initialize());
  tray.UpdateTrayState();
  ASSERT_TRUE(tray.TrayIcon().Visible()) << "the icon did not find the tray host";

  // 1. The icon registers with the watcher under a service of its own.
  ASSERT_TRUE(test::ProcessEventsUntil([] { return !watcher_->Items().empty(); }));
  const QString item = QString::fromStdString(watcher_->Items().back());
  const QDBusMessage menuPath =
      Call(item, "/StatusNotifierItem", "org.freedesktop.DBus.Properties", "Get",
           {kItemInterface, "Menu"});
  ASSERT_EQ(menuPath.type(), QDBusMessage::ReplyMessage) << menuPath.errorMessage().toStdString();
  const QString menu =
      menuPath.arguments().value(0).value<QDBusVariant>().variant().value<QDBusObjectPath>().path();
  ASSERT_FALSE(menu.isEmpty());

  // 2. The host reads the menu: the album's items in German, in their order.
  const QDBusMessage layout =
      Call(item, menu, kMenuInterface, "GetLayout", {0, -1, QStringList()});
  ASSERT_EQ(layout.type(), QDBusMessage::ReplyMessage) << layout.errorMessage().toStdString();
  std::vector<TMenuEntry> entries;
  ReadLayout(layout.arguments().value(1).value<QDBusArgument>(), entries, true);
  std::vector<std::string> labels;
  for (const TMenuEntry& entry : entries) labels.push_back(entry.Label);
  EXPECT_EQ(labels, (std::vector<std::string>{"Pause", "-", "Nächstes Bild", "Vorheriges Bild", "-",
                                              "Einstellungen", "Autostart", "-", "Info über...",
                                              "-", "Nimbra beenden"}));
  ASSERT_EQ(entries.size(), 11u);
  EXPECT_TRUE(entries[0].Checkable);
  EXPECT_TRUE(entries[6].Checkable);

  // 3. Clicking "Nächstes Bild" in the host shows the first page, and again the second.
  for (const int32_t page : {0, 1}) {
    const QDBusMessage clicked =
        Call(item, menu, kMenuInterface, "Event",
             {entries[2].Id, QString("clicked"), QVariant::fromValue(QDBusVariant(0)), 0u});
    ASSERT_NE(clicked.type(), QDBusMessage::ErrorMessage) << clicked.errorMessage().toStdString();
    const unsigned long expected = Rgb(test::PageColour(page));
    EXPECT_TRUE(test::ProcessEventsUntil([&] {
      return !tray.Changer()->Changing() && test::RootPicturePixel(xvfb_.Display(), 160, 120) == expected;
    })) << "page " << page;
  }
  EXPECT_EQ(tray.Changer()->PageIndex(), 1);
  EXPECT_EQ(tray.TrayIcon().ImageIndex(), 0);
}

}  // namespace
}  // namespace nimbra
