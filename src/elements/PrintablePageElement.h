// The common base of every element that prints itself: the text, picture and geometric elements.
// Rendering into a bitmap goes through Print, with the bitmap as canvas and, for elements that
// draw into the engine's page bitmap, as target.
#pragma once

#include "elements/ElementInterfaces.h"
#include "elements/RenderContext.h"
#include "templates/PageElement.h"

namespace nimbra {

class TErrorCounter;

// The category every element of the system is listed under.
inline constexpr const char* kElementCategoryGeneral = "Allgemein";

class TPrintablePageElement : public TPrintWizardElement, public IPrintablePageElement {
  NIMBRA_DECLARE_PLUGIN()

 public:
  // The design-view frame drawn around an element that is not being rendered for output.
  static constexpr TColor32 kDesignFrameColor = Color32(100, 100, 100, 100);

  // Sets the bitmap as target (for elements that take one), prints onto it, lets go of the target
  // and, in the design view, draws the design frame; true.
  bool Render(TBitmap32& bitmap, const TPixelRect& pageRect) override;
  // Draws the element on a canvas; nothing in this base.
  void Print(TBitmap32* canvas, const TPixelRect& pageRect) override;

 protected:
  explicit TPrintablePageElement(const TMetaClass& propertiesClass,
                                 double defaultWidth = kDefaultWidth,
                                 double defaultHeight = kDefaultHeight)
      : TPrintWizardElement(propertiesClass, defaultWidth, defaultHeight) {}

  // The context a documented Print draws with: the element's mode and resolution, what its
  // documented calls handed over (target, error counter), the item its page is bound to, and the
  // thread's current generator.
  TRenderContext DocumentedContext(TBitmap32* canvas, const TPixelRect& pageRect) const;
  // Kept for DocumentedContext by the elements that offer SetTargetBitmap and SetErrorCounter.
  TBitmap32* DocumentedTarget() const { return documentedTarget_; }
  void SetDocumentedTarget(TBitmap32* bitmap) { documentedTarget_ = bitmap; }
  TErrorCounter* DocumentedErrorCounter() const { return documentedErrorCounter_; }
  void SetDocumentedErrorCounter(TErrorCounter* counter) { documentedErrorCounter_ = counter; }

 private:
  TBitmap32* documentedTarget_ = nullptr;
  TErrorCounter* documentedErrorCounter_ = nullptr;
};

}  // namespace nimbra
