#include "platform/XfceWallpaper.h"

#include <QDBusArgument>
#include <QDBusMetaType>
#include <QDBusVariant>
#include <QString>
#include <QVariantMap>
#include <algorithm>

#include "platform/SessionBus.h"

namespace nimbra {

namespace {

const QString kService = "org.xfce.Xfconf";
const QString kPath = "/org/xfce/Xfconf";
const QString kInterface = "org.xfce.Xfconf";
const QString kChannel = "xfce4-desktop";

bool EndsWith(const QString& text, const char* suffix) {
  return text.endsWith(QLatin1String(suffix));
}

// Every property under the base, or none when the channel or the base does not exist yet.
QVariantMap AllProperties(const QString& channel, const QString& base) {
  QDBusMessage call =
      QDBusMessage::createMethodCall(kService, kPath, kInterface, "GetAllProperties");
  call << channel << base;
  const QDBusMessage reply = CallSessionBusAllowingErrors(call);
  if (ErrorNameOf(reply) == "org.xfce.Xfconf.Error.PropertyNotFound" ||
      ErrorNameOf(reply) == "org.xfce.Xfconf.Error.ChannelNotFound") {
    return {};
  }
  if (reply.type() == QDBusMessage::ErrorMessage) {
    throw EWallpaperError("xfconf kann den Kanal " + channel.toStdString() +
                          " nicht auflisten: " + reply.errorMessage().toStdString());
  }
  if (reply.arguments().isEmpty()) return {};
  const QVariant answer = reply.arguments().constFirst();
  if (answer.canConvert<QDBusArgument>()) {
    return qdbus_cast<QVariantMap>(answer.value<QDBusArgument>());
  }
  return answer.toMap();
}

QVariant StoredProperty(const QString& property) {
  QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface, "GetProperty");
  call << kChannel << property;
  const QDBusMessage reply = CallSessionBus(call);
  if (reply.arguments().isEmpty()) return {};
  return reply.arguments().constFirst().value<QDBusVariant>().variant();
}

// Sets the property and reads it back: xfconfd answers each call, and what it answers on reading
// is what xfdesktop is told.
void SetProperty(const QString& property, const QVariant& value) {
  QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface, "SetProperty");
  call << kChannel << property << QVariant::fromValue(QDBusVariant(value));
  CallSessionBus(call);
  const QVariant stored = StoredProperty(property);
  if (stored != value) {
    throw EWallpaperError("xfconf hat " + property.toStdString() + " nicht übernommen, es lautet \"" +
                          stored.toString().toStdString() + "\"");
  }
}

// How many workspaces xfwm4 keeps; one when it has never said.
int WorkspaceCount() {
  const QVariantMap general = AllProperties("xfwm4", "/general");
  const int count = general.value("/general/workspace_count", 1).toInt();
  return std::clamp(count, 1, 64);
}

}  // namespace

std::vector<std::string> XfcePicturePropertiesFor(const std::vector<std::string>& monitorNames,
                                                  int workspaceCount) {
  std::vector<std::string> properties;
  for (const std::string& monitor : monitorNames) {
    for (int workspace = 0; workspace < workspaceCount; ++workspace) {
      properties.push_back("/backdrop/screen0/monitor" + monitor + "/workspace" +
                           std::to_string(workspace) + "/last-image");
    }
  }
  return properties;
}

std::string XfceFileFor(const TWallpaperPicture& picture, const std::string& property) {
  const std::string mark = "/monitor";
  const size_t start = property.find(mark);
  if (start != std::string::npos) {
    const size_t nameStart = start + mark.size();
    const std::string monitor =
        property.substr(nameStart, property.find('/', nameStart) - nameStart);
    for (const TWallpaperScreen& screen : picture.Screens) {
      if (!screen.Name.empty() && screen.Name == monitor && !screen.BitmapFile.empty()) {
        return screen.BitmapFile;
      }
    }
  }
  return picture.BitmapFile;
}

void TXfceWallpaperBackend::Apply(const TWallpaperPicture& picture) {
  const QVariantMap backdrop = AllProperties(kChannel, "/backdrop");
  // 1. A running cycler would put its own picture back.
  for (auto it = backdrop.begin(); it != backdrop.end(); ++it) {
    if (EndsWith(it.key(), "/backdrop-cycle-enable") && it.value().toBool()) {
      SetProperty(it.key(), false);
    }
  }
  // 2. Every picture property; "image-path" is the name older releases used.
  const auto fileFor = [&picture](const QString& property) {
    return QString::fromStdString(XfceFileFor(picture, property.toStdString()));
  };
  bool anyPicture = false;
  for (auto it = backdrop.begin(); it != backdrop.end(); ++it) {
    if (EndsWith(it.key(), "/last-image") || EndsWith(it.key(), "/image-path")) {
      SetProperty(it.key(), fileFor(it.key()));
      anyPicture = true;
    }
  }
  if (anyPicture) return;
  // 3. A fresh configuration: create the properties xfdesktop will look for.
  if (picture.MonitorNames.empty()) {
    throw EWallpaperError(
        "Xfce hat noch keine Hintergrund-Einstellungen, und die angeschlossenen Bildschirme sind "
        "nicht bekannt");
  }
  for (const std::string& property :
       XfcePicturePropertiesFor(picture.MonitorNames, WorkspaceCount())) {
    SetProperty(QString::fromStdString(property), fileFor(QString::fromStdString(property)));
  }
}

}  // namespace nimbra
