#include "platform/SessionBus.h"

#include <QDBusConnection>
#include <QDBusError>

#include "platform/WallpaperBackend.h"

namespace nimbra {

QDBusMessage CallSessionBusAllowingErrors(const QDBusMessage& call, int timeoutMilliseconds) {
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected()) {
    throw EWallpaperError("es läuft kein D-Bus-Sitzungsbus (" + bus.lastError().message().toStdString() +
                          ")");
  }
  return bus.call(call, QDBus::Block, timeoutMilliseconds);
}

QDBusMessage CallSessionBus(const QDBusMessage& call, int timeoutMilliseconds) {
  QDBusMessage reply = CallSessionBusAllowingErrors(call, timeoutMilliseconds);
  if (reply.type() == QDBusMessage::ErrorMessage) {
    throw EWallpaperError("der Aufruf " + call.member().toStdString() + " an " +
                          call.service().toStdString() +
                          " ist gescheitert: " + reply.errorMessage().toStdString());
  }
  return reply;
}

std::string ErrorNameOf(const QDBusMessage& reply) {
  return reply.type() == QDBusMessage::ErrorMessage ? reply.errorName().toStdString()
                                                    : std::string();
}

}  // namespace nimbra
