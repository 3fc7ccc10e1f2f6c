// Blocking method calls on the user's session D-Bus for the desktops that take their wallpaper
// that way. Safe from any thread, including the render thread.
#pragma once

#include <QDBusMessage>
#include <string>

namespace nimbra {

// Sends the call and returns the reply; raises EWallpaperError with the bus's own error text when
// there is no session bus, the service is missing, or the method fails or times out.
QDBusMessage CallSessionBus(const QDBusMessage& call, int timeoutMilliseconds = 15000);

// The error name of a reply message ("org.xfce.Xfconf.Error.PropertyNotFound"), empty for success.
std::string ErrorNameOf(const QDBusMessage& reply);

// Like CallSessionBus, but an error reply comes back instead of raising.
QDBusMessage CallSessionBusAllowingErrors(const QDBusMessage& call,
                                          int timeoutMilliseconds = 15000);

}  // namespace nimbra
