#include "raster/FontSupport.h"

#include <QGuiApplication>
#include <cstdio>
#include <memory>

namespace nimbra {

namespace {

// The application's arguments must outlive it, and it takes out those it understands, so they
// are laid out afresh for each application. The platform is chosen here rather than through the
// environment, so that programs started by this one do not inherit the choice.
char applicationName[] = "nimbra";
char platformSwitch[] = "-platform";
char platformName[] = "offscreen";
int applicationArgc = 0;
char* applicationArgv[4] = {};

// Starts and stops nest (a test's fonts around a program's start-up, say): the application goes
// with the last stop.
int users = 0;
std::unique_ptr<QGuiApplication> ownApplication;

// Qt's remarks while the application comes up (no runtime folder for a root user, say) concern
// a desktop this application never shows anything on: only failures are told.
void OnlyFailures(QtMsgType type, const QMessageLogContext&, const QString& message) {
  if (type == QtCriticalMsg || type == QtFatalMsg) {
    std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
  }
}

}  // namespace

void StartFontSupport() {
  if (users++ > 0 || QCoreApplication::instance() != nullptr) return;
  applicationArgc = 3;
  applicationArgv[0] = applicationName;
  applicationArgv[1] = platformSwitch;
  applicationArgv[2] = platformName;
  applicationArgv[3] = nullptr;
  const QtMessageHandler previous = qInstallMessageHandler(&OnlyFailures);
  ownApplication = std::make_unique<QGuiApplication>(applicationArgc, applicationArgv);
  qInstallMessageHandler(previous);
}

void StopFontSupport() {
  if (users > 0 && --users == 0) ownApplication.reset();
}

bool FontsAvailable() {
  return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
}

}  // namespace nimbra
