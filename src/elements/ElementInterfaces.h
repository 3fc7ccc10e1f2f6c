// What a render engine asks of page elements while it draws a page. An element offers the
// interfaces it needs: every printable element draws through IPrintablePageElement; the others let
// an element draw straight into the engine's page bitmap, hear when a rendering starts and ends,
// or say that one print call is enough. The elements of the system also offer IContextPrintable:
// the engine then hands them everything in a render context and sets nothing on them.
//
// A canvas is the drawing surface of a 32-bit bitmap; elements are handed the bitmap whose surface
// it is (none when there is no canvas).
#pragma once

#include <string_view>

#include "framework/Interface.h"
#include "raster/Bitmap32.h"
#include "templates/PageGeometry.h"

namespace nimbra {

struct TRenderContext;

class IPrintablePageElement : public virtual IInterface {
 public:
  static constexpr std::string_view kIID = "{534052B6-38C4-46D5-89ED-23F1A74818BF}";

  // Draws the element on the canvas; pageRect is the page in the canvas's pixels.
  virtual void Print(TBitmap32* canvas, const TPixelRect& pageRect) = 0;
};

class ITargetBitmapElement : public virtual IInterface {
 public:
  static constexpr std::string_view kIID = "{EAFFD8C1-43E2-4BDA-B40B-88B6193FD1B3}";

  // The engine's page bitmap while it draws the element, none otherwise; not owned.
  virtual void SetTargetBitmap(TBitmap32* bitmap) = 0;
};

class IRenderNotify : public virtual IInterface {
 public:
  static constexpr std::string_view kIID = "{0D8C0EF9-7AF9-41B2-AB11-DEEABBD44F45}";

  virtual void BeginRender() = 0;
  virtual void EndRender() = 0;
};

class IBitmapPrintable : public virtual IInterface {
 public:
  static constexpr std::string_view kIID = "{367C33E3-3427-4029-A805-A14DAD51BDD9}";

  // Draws the element onto the bitmap's own canvas.
  virtual void PrintToBitmap(TBitmap32& bitmap, TBitmap32* canvas, const TPixelRect& pageRect) = 0;
};

class ICanvasPassControl : public virtual IInterface {
 public:
  static constexpr std::string_view kIID = "{CD31156E-BF6A-4C6D-8211-F08DAEB48678}";

  // True when the element is complete after the engine's print call and must not be printed a
  // second time onto the page bitmap's canvas.
  virtual bool SkipsCanvasPass() const = 0;
};

class IContextPrintable : public virtual IInterface {
 public:
  static constexpr std::string_view kIID = "{ADD62CB4-5507-4400-BB0E-83161959015C}";

  // The element's print call for a rendering with the context, on the context's canvas: what
  // Print does after the target, the error counter and the mode were set and BeginRender called.
  virtual void PrintWith(const TRenderContext& context) = 0;
};

}  // namespace nimbra
