// The icon in the desktop's notification area: hint, context menu, click, and an animation over
// its images that runs while a page renders. Desktops without any tray host (a StatusNotifierItem
// watcher or an XEmbed tray) get no icon: the album says so once and runs on without it.
#pragma once

#include <QIcon>
#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QMenu;
class QSystemTrayIcon;

namespace nimbra {

class TAnimatedTrayIcon : public QObject {
 public:
  using TReportFunction = std::function<void(const std::string& message)>;

  // Started at login, the album may come before the panel that hosts tray icons; until one
  // appears it looks again this often.
  static constexpr int kTrayRetryMilliseconds = 5000;
  // How long a notice stays, where the desktop lets the program choose.
  static constexpr int kNoticeMilliseconds = 15000;

  explicit TAnimatedTrayIcon(QObject* parent = nullptr);
  ~TAnimatedTrayIcon() override;

  // Shows the icon when a tray host exists; otherwise reports it (once) and shows the icon as soon
  // as a host turns up.
  void SetActive(bool active);
  bool Active() const { return active_; }
  // Whether the icon is on show in a tray.
  bool Visible() const;

  // The images: the first is the still icon, the others the animation's frames.
  void SetImages(std::vector<QIcon> images);
  int ImageCount() const { return static_cast<int>(images_.size()); }
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int index);
  void SetFrameDelay(int milliseconds) { animation_.setInterval(milliseconds); }
  int FrameDelay() const { return animation_.interval(); }
  void SetAnimate(bool animate);
  bool Animate() const { return animation_.isActive(); }

  void SetHint(const std::string& hint);
  std::string Hint() const;
  // A passing message beside the icon (the desktop's notification); nothing to answer or close.
  void ShowNotice(const std::string& title, const std::string& text);
  void SetMenu(QMenu* menu);

  // Raised when the user clicks the icon.
  std::function<void()> OnClick;
  // Hears that no tray exists; standard error unless replaced.
  TReportFunction OnUnavailable;

 private:
  void NextFrame();
  void ShowWhenTrayAppears();
  // The desktop's icon, made when it is first shown: making one talks to the desktop (its tray
  // host on the session bus), which an album that never shows it (--once) has no need for.
  QSystemTrayIcon& ShownIcon();

  std::unique_ptr<QSystemTrayIcon> icon_;
  std::vector<QIcon> images_;
  QString hint_;
  QMenu* menu_ = nullptr;
  int imageIndex_ = 0;
  QTimer animation_;
  QTimer retry_;
  bool active_ = false;
  bool reported_ = false;
};

}  // namespace nimbra
