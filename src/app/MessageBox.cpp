#include "app/MessageBox.h"

#include <QApplication>
#include <QMessageBox>
#include <iostream>
#include <memory>

#include "framework/ApplicationInfo.h"

namespace nimbra {

namespace {

QString Title() {
  const std::shared_ptr<ISlideShowApplicationInfo> info = SlideShowApplicationInfo();
  return QString::fromStdString(info ? info->ProductName() : std::string("Nimbra"));
}

}  // namespace

bool CanShowMessageBoxes() {
  if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) return false;
  const QString platform = QGuiApplication::platformName();
  return platform != "offscreen" && platform != "minimal";
}

void PrintMessage(const std::string& text) {
  std::cerr << Title().toStdString() << ": " << text << std::endl;
}

void ShowMessageBox(const std::string& text, TMessageBoxKind kind) {
  if (!CanShowMessageBoxes()) {
    PrintMessage(text);
    return;
  }
  const QMessageBox::Icon icon = kind == TMessageBoxKind::Error         ? QMessageBox::Critical
                                 : kind == TMessageBoxKind::Information ? QMessageBox::Information
                                                                        : QMessageBox::NoIcon;
  QMessageBox box(icon, Title(), QString::fromStdString(text), QMessageBox::Ok);
  box.exec();
}

bool AskErrorQuestion(const std::string& text) {
  if (!CanShowMessageBoxes()) {
    PrintMessage(text);
    return false;
  }
  QMessageBox box(QMessageBox::Critical, Title(), QString::fromStdString(text),
                  QMessageBox::Yes | QMessageBox::No);
  return box.exec() == QMessageBox::Yes;
}

}  // namespace nimbra
