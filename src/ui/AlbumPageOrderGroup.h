// The group " Reihenfolge: " of the album's settings page: the pictures as the slideshow holds
// them, by capture date, or shuffled. Choosing "zufällig" draws a new shuffle each time, so the
// user who dislikes one can ask for another; leaving it checked keeps the shuffle (and with it the
// meaning of the remembered page).
#pragma once

#include <QGroupBox>
#include <functional>

#include "album/AlbumPageOrder.h"

class QRadioButton;

namespace nimbra {

class TAlbumPageOrderGroup : public QGroupBox {
 public:
  explicit TAlbumPageOrderGroup(QWidget* parent = nullptr);

  // The settings the buttons show and change; none disables the group.
  void ShowOrder(IAlbumPageOrderSettings* settings);
  // Raised after a click changed the settings.
  std::function<void()> OnModified;

  QRadioButton* AsStoredCheck() const { return asStoredCheck_; }
  QRadioButton* CaptureDateCheck() const { return captureDateCheck_; }
  QRadioButton* RandomCheck() const { return randomCheck_; }

 private:
  void OrderClicked(QRadioButton* button, TPageOrderMode mode);

  IAlbumPageOrderSettings* settings_ = nullptr;  // not owned
  QRadioButton* asStoredCheck_;
  QRadioButton* captureDateCheck_;
  QRadioButton* randomCheck_;
};

}  // namespace nimbra
