#include "platform/MonitorNames.h"

#include <QGuiApplication>
#include <QScreen>
#include <QThread>

namespace nimbra {

std::vector<std::string> ConnectedMonitorNames() {
  std::vector<std::string> names;
  auto* application = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
  if (application == nullptr || QThread::currentThread() != application->thread()) return names;
  for (const QScreen* screen : QGuiApplication::screens()) {
    if (!screen->name().isEmpty()) names.push_back(screen->name().toStdString());
  }
  return names;
}

}  // namespace nimbra
