// The render engine the album uses: it draws each page into a 32-bit bitmap of the size its
// settings give and either writes the page as a numbered picture file or keeps it in memory for
// its caller. The desktop changer sets the size to the screen's work area and asks for one page
// at a time with RenderToBitmap.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "render/PrintWizardPictureEngineProperties.h"
#include "render/PrintWizardRenderEngine.h"

namespace nimbra {

// What EndPage does with a finished page: save it as a numbered file, or keep it in memory.
// Other values of the byte do nothing.
enum class TPictureEngineMode : uint8_t { SaveFiles = 0, KeepLast = 1 };
inline constexpr TPictureEngineMode kPictureEngineSaveFiles = TPictureEngineMode::SaveFiles;
inline constexpr TPictureEngineMode kPictureEngineKeepLast = TPictureEngineMode::KeepLast;

class TPrintWizardPictureEngine : public TPrintWizardRenderEngine {
  NIMBRA_DECLARE_PLUGIN()

 public:
  static constexpr int32_t kErrorCannotCreateDirectory = 202;
  static constexpr int32_t kErrorCannotSaveFile = 1001;

  TPrintWizardPictureEngine();
  ~TPrintWizardPictureEngine() override;

  // The settings' Resolution (96 without settings).
  double Resolution() const override;
  // Saves the page, or keeps it as LastPicture, by Mode.
  void EndPage() override;
  const TMetaClass* PropertiesClass() const override;
  // (0, 0, PixelWidth, PixelHeight) of the settings; raises std::logic_error without them.
  TPixelRect PageRect() const override;
  // The page bitmap itself: elements print straight into it.
  TBitmap32* Canvas() const override { return PageBitmap(); }

  // Writes the page bitmap to PageFileName in the settings' format. File problems are reported to
  // the error counter (an existing file as a hint, 202 for a folder that cannot be created, 1001
  // for a file that cannot be written), never raised.
  virtual void SavePage();
  // OutputDirectory, then FileNamePrefix and PageNumber with at least five digits, then "." and
  // the format's extension: page 7 with "Bild" in JPEG is "Bild00007.jpg" in OutputDirectory.
  virtual std::string PageFileName() const;
  virtual void FreeLastPicture() { lastPicture_.reset(); }
  // Draws the page and hands the picture over; raises what drawing raises. Mode is the same
  // afterwards, whichever way the call ends.
  virtual std::unique_ptr<TBitmap32> RenderToBitmap(const TRenderPageTemplateListItem& record);
  // The same picture, drawn without the engine's page bitmap, progress, page number or mode:
  // several threads may draw pages this way at once, while nothing changes the settings, the
  // page list or the project, and while no bitmap cache is installed (backgrounds would share it
  // unguarded). Each needs a counter of its own (none: nothing is counted) and a generator of its
  // own, which makes the page's random turns independent of the other pages.
  std::unique_ptr<TBitmap32> DrawPage(const TRenderPageTemplateListItem& record,
                                      TErrorCounter* counter, TDrawingRandom& random) const;

  TPictureEngineMode Mode() const { return mode_; }
  void SetMode(TPictureEngineMode mode) { mode_ = mode; }
  // The last page kept in memory, or none.
  const TBitmap32* LastPicture() const { return lastPicture_.get(); }
  // The settings as the picture engine's class, or none.
  TPrintWizardPictureEngineProperties* PictureProperties() const;

 private:
  void ReportError(const std::string& text, int32_t errorNr);

  TPictureEngineMode mode_ = kPictureEngineSaveFiles;
  std::unique_ptr<TBitmap32> lastPicture_;
};

}  // namespace nimbra
