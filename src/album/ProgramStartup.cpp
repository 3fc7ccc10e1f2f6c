#include "album/ProgramStartup.h"

#include "album/NimbraApplicationInfo.h"
#include "elements/ElementRegistration.h"
#include "framework/FrameworkStartup.h"
#include "raster/FontSupport.h"
#include "raster/PictureFormatRegistration.h"
#include "render/RenderRegistration.h"
#include "slideshow/SlideShowSettingsClasses.h"
#include "templates/Bitmap32Cache.h"

namespace nimbra {

namespace {

struct TStartupUnit {
  TStartupStage Stage;
  void (*Start)();
  void (*Stop)();
};

// In start order; each stage's units follow those of the stage before.
constexpr TStartupUnit kUnits[] = {
    {TStartupStage::Documents, &InstallApplicationInfo, &ClearApplicationInfo},
    {TStartupStage::Documents, &FrameworkStartup, &FrameworkShutdown},
    {TStartupStage::Documents, &RegisterSlideShowSettingsClasses,
     &UnregisterSlideShowSettingsClasses},
    {TStartupStage::Documents, &DocumentUnitsStartup, &DocumentUnitsShutdown},
    // Texts on pages need Qt's fonts, which need a GUI application: a program without one
    // (nimbra-kit) gets an offscreen one.
    {TStartupStage::Rendering, &StartFontSupport, &StopFontSupport},
    {TStartupStage::Rendering, &RenderStartup, &RenderShutdown},
    {TStartupStage::Rendering, &RegisterPictureFormats, &UnregisterPictureFormats},
    // Without it every page decodes its template's background picture again.
    {TStartupStage::Rendering, &CreateBitmap32Cache, &FreeBitmap32Cache},
};

void StopUnits(size_t count) {
  while (count > 0) kUnits[--count].Stop();
}

}  // namespace

TProgramStartup::TProgramStartup(TStartupStage last) {
  try {
    for (const TStartupUnit& unit : kUnits) {
      if (unit.Stage > last) break;
      unit.Start();
      ++started_;
    }
  } catch (...) {
    // Only stops what was started; the failure goes on to the caller as it was.
    StopUnits(started_);
    throw;
  }
}

TProgramStartup::~TProgramStartup() { StopUnits(started_); }

}  // namespace nimbra
