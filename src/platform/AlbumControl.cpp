#include "platform/AlbumControl.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QMetaObject>
#include <algorithm>

namespace nimbra {

namespace {

constexpr int kCallTimeout = 5000;

QString Text(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QDBusConnection ConnectedSessionBus() {
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected()) {
    throw EAlbumControlError("Der Sitzungsbus (D-Bus) ist nicht erreichbar: " +
                             bus.lastError().message().toStdString());
  }
  return bus;
}

}  // namespace

// The served object. Commands run queued on the service's thread, after the reply has gone, so
// that Quit can end the album without leaving the caller without an answer.
class TAlbumControlService::TObject final : public QDBusVirtualObject {
 public:
  TObject(std::string name, std::string source, TAlbumControlHandlers handlers)
      : name_(std::move(name)), source_(std::move(source)), handlers_(std::move(handlers)) {}

  QString introspect(const QString&) const override {
    return QStringLiteral(
               "<interface name=\"%1\">"
               "<method name=\"Next\"/><method name=\"Previous\"/><method name=\"Pause\"/>"
               "<method name=\"Resume\"/><method name=\"Quit\"/>"
               "<method name=\"Describe\"><arg name=\"name\" type=\"s\" direction=\"out\"/>"
               "<arg name=\"source\" type=\"s\" direction=\"out\"/></method>"
               "</interface>")
        .arg(Text(kAlbumInterface));
  }

  bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
    if (message.interface() != Text(kAlbumInterface)) return false;
    const QString member = message.member();
    if (member == QLatin1String("Describe")) {
      connection.send(message.createReply({QString::fromStdString(name_),
                                           QString::fromStdString(source_)}));
      return true;
    }
    const std::function<void()>* handler = Handler(member);
    if (handler == nullptr) return false;
    connection.send(message.createReply());
    if (*handler) QMetaObject::invokeMethod(this, *handler, Qt::QueuedConnection);
    return true;
  }

 private:
  const std::function<void()>* Handler(const QString& member) const {
    if (member == QLatin1String("Next")) return &handlers_.Next;
    if (member == QLatin1String("Previous")) return &handlers_.Previous;
    if (member == QLatin1String("Pause")) return &handlers_.Pause;
    if (member == QLatin1String("Resume")) return &handlers_.Resume;
    if (member == QLatin1String("Quit")) return &handlers_.Quit;
    return nullptr;
  }

  std::string name_;
  std::string source_;
  TAlbumControlHandlers handlers_;
};

TAlbumControlService::TAlbumControlService() = default;

TAlbumControlService::~TAlbumControlService() {
  if (!object_) return;
  QDBusConnection bus = QDBusConnection::sessionBus();
  bus.unregisterObject(Text(kAlbumObjectPath));
  bus.unregisterService(QString::fromStdString(busName_));
}

void TAlbumControlService::Start(const std::string& key, const std::string& name,
                                 const std::string& source, TAlbumControlHandlers handlers) {
  QDBusConnection bus = ConnectedSessionBus();
  const std::string busName = std::string(kAlbumBusNamePrefix) + key;
  auto object = std::make_unique<TObject>(name, source, std::move(handlers));
  if (!bus.registerVirtualObject(Text(kAlbumObjectPath), object.get())) {
    throw EAlbumControlError("Das Album kann sich nicht am Sitzungsbus anmelden: " +
                             bus.lastError().message().toStdString());
  }
  if (!bus.registerService(QString::fromStdString(busName))) {
    bus.unregisterObject(Text(kAlbumObjectPath));
    throw EAlbumControlError("Der Name \"" + busName + "\" ist am Sitzungsbus schon vergeben.");
  }
  object_ = std::move(object);
  busName_ = busName;
}

std::vector<TRunningAlbum> RunningAlbums() {
  QDBusConnection bus = ConnectedSessionBus();
  const QStringList names = bus.interface()->registeredServiceNames().value();
  std::vector<TRunningAlbum> albums;
  for (const QString& busName : names) {
    if (!busName.startsWith(Text(kAlbumBusNamePrefix))) continue;
    const QDBusMessage call = QDBusMessage::createMethodCall(
        busName, Text(kAlbumObjectPath), Text(kAlbumInterface), QStringLiteral("Describe"));
    const QDBusMessage reply = bus.call(call, QDBus::Block, kCallTimeout);
    // An album that ended in the meantime, or hangs, is not one to control.
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().size() != 2) continue;
    albums.push_back({busName.toStdString(), reply.arguments()[0].toString().toStdString(),
                      reply.arguments()[1].toString().toStdString()});
  }
  std::sort(albums.begin(), albums.end(),
            [](const TRunningAlbum& a, const TRunningAlbum& b) { return a.Name < b.Name; });
  return albums;
}

void SendAlbumCommand(const TRunningAlbum& album, std::string_view command) {
  QDBusConnection bus = ConnectedSessionBus();
  const QDBusMessage call =
      QDBusMessage::createMethodCall(QString::fromStdString(album.BusName), Text(kAlbumObjectPath),
                                     Text(kAlbumInterface), Text(command));
  const QDBusMessage reply = bus.call(call, QDBus::Block, kCallTimeout);
  if (reply.type() != QDBusMessage::ReplyMessage) {
    throw EAlbumControlError("Das Album „" + album.Name + "“ antwortet nicht: " +
                             reply.errorMessage().toStdString());
  }
}

}  // namespace nimbra
