// "xfce": xfdesktop keeps one picture per screen, monitor and workspace in the xfconf channel
// "xfce4-desktop" and follows changes to it. We talk to xfconfd over the session D-Bus: switch off
// every backdrop cycler (it would replace our page), then set every picture property, each to its
// monitor's picture when there is one per screen. A fresh configuration has none: then they are
// created for the connected monitors and the workspaces.
#pragma once

#include <string>
#include <vector>

#include "platform/WallpaperBackend.h"

namespace nimbra {

// The property names to create when the channel has no picture property: for each monitor
// connector and workspace "/backdrop/screen0/monitor<NAME>/workspace<N>/last-image".
std::vector<std::string> XfcePicturePropertiesFor(const std::vector<std::string>& monitorNames,
                                                  int workspaceCount);

// The file a picture property is set to: that of the screen the property's monitor names
// ("…/monitorHDMI-1/…"), else the whole picture.
std::string XfceFileFor(const TWallpaperPicture& picture, const std::string& property);

class TXfceWallpaperBackend : public TWallpaperBackend {
 public:
  std::string Name() const override { return "xfce"; }
  std::string Title() const override { return "Xfce"; }
  // xfdesktop ignores a property set to the value it has.
  TWallpaperNeeds Needs() const override {
    return {.FreshName = true, .Png = false, .FilePerScreen = true};
  }
  void Apply(const TWallpaperPicture& picture) override;
};

}  // namespace nimbra
