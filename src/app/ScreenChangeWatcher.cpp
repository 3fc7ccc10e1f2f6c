#include "app/ScreenChangeWatcher.h"

#include <QGuiApplication>
#include <QScreen>

#include "app/DesktopChanger.h"
#include "platform/MonitorNames.h"
#include "platform/WallpaperSetter.h"

namespace nimbra {

TScreenChangeWatcher::TScreenChangeWatcher(TNimbraDesktopChanger& changer, QObject* parent)
    : QObject(parent), changer_(changer) {
  settle_.setSingleShot(true);
  settle_.setInterval(kSettleMilliseconds);
  QObject::connect(&settle_, &QTimer::timeout, this, [this] { Settled(); });
  auto* application = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
  if (application == nullptr) return;
  QObject::connect(application, &QGuiApplication::screenAdded, this, [this](QScreen* screen) {
    Watch(screen);
    settle_.start();
  });
  QObject::connect(application, &QGuiApplication::screenRemoved, this,
                   [this] { settle_.start(); });
  QObject::connect(application, &QGuiApplication::primaryScreenChanged, this,
                   [this] { settle_.start(); });
  for (QScreen* screen : QGuiApplication::screens()) Watch(screen);
  if (TWallpaperSetter* setter = changer_.WallpaperSetter()) {
    setter->SetMonitorNames(ConnectedMonitorNames());
  }
}

void TScreenChangeWatcher::Watch(QScreen* screen) {
  QObject::connect(screen, &QScreen::geometryChanged, this, [this] { settle_.start(); });
  QObject::connect(screen, &QScreen::availableGeometryChanged, this, [this] { settle_.start(); });
}

void TScreenChangeWatcher::Settled() {
  if (TWallpaperSetter* setter = changer_.WallpaperSetter()) {
    setter->SetMonitorNames(ConnectedMonitorNames());
  }
  changer_.ScreenChanged();
}

}  // namespace nimbra
