// The wallpaper's settings: one process-wide bag in the global settings list, under the caption
// "Grundeinstellungen".
#pragma once

#include "framework/Properties.h"

namespace nimbra {

class TWallpaperProperties : public TProperties {
  NIMBRA_DECLARE_PLUGIN()

 public:
  TWallpaperProperties() = default;

  // Whether a change is kept in the user's desktop settings beyond the session. Every Linux
  // desktop keeps its wallpaper setting, so no backend offers the other choice; the field is kept
  // for the stored form.
  bool UpdateProfile() const { return updateProfile_; }
  void SetUpdateProfile(bool value) { updateProfile_ = value; }

  void MapFields(TFieldMap& map) override;

 private:
  bool updateProfile_ = true;
};

// Registers the class and adds the process-wide bag to the global settings list (which must
// exist: after FrameworkStartup); its caption is set again after initialisation.
void RegisterWallpaperProperties();
void UnregisterWallpaperProperties();
// The process-wide bag, or none outside start-up and shutdown.
TWallpaperProperties* WallpaperProperties();

}  // namespace nimbra
