// Watches the screens for a change of size (a monitor plugged in or out, a new resolution, a
// panel that moved) and has the changer render the current page again for the new size. Screens
// send several signals for one change, so it acts once they have been quiet for a moment. The
// wallpaper setter learns the connected monitors' names at the same time.
#pragma once

#include <QObject>
#include <QTimer>

class QScreen;

namespace nimbra {

class TNimbraDesktopChanger;

class TScreenChangeWatcher : public QObject {
 public:
  static constexpr int kSettleMilliseconds = 1000;

  // Needs a QGuiApplication; the changer must outlive the watcher.
  explicit TScreenChangeWatcher(TNimbraDesktopChanger& changer, QObject* parent = nullptr);

 private:
  void Watch(QScreen* screen);
  void Settled();

  TNimbraDesktopChanger& changer_;
  QTimer settle_;
};

}  // namespace nimbra
