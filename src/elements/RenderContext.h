// Everything drawing an element needs besides the element itself: where the pixels go, whether
// the page is drawn for output or for the design view, at what resolution, who hears about
// pictures that cannot be loaded, which slideshow object the element stands for, and where chance
// comes from. The engine makes one per page and hands it to each element by reference; nothing of
// it stays behind in the elements, so that several pages can be drawn at the same time, each with
// a context (and a page) of its own.
#pragma once

#include "elements/DrawingRandom.h"
#include "framework/CustomTree.h"
#include "raster/Bitmap32.h"
#include "templates/PageElement.h"
#include "templates/PageGeometry.h"
#include "templates/RenderMode.h"

namespace nimbra {

class TDecodedPictures;
class TErrorCounter;

struct TRenderContext {
  TRenderMode Mode = TRenderMode::DesignView;
  // The page bitmap elements that blend draw into; none when there is none. Not owned.
  TBitmap32* TargetBitmap = nullptr;
  // The surface of the engine's print call (the target itself for the picture engine); none for
  // no surface. Not owned.
  TBitmap32* Canvas = nullptr;
  // The page in the canvas's pixels.
  TPixelRect PageRect;
  // Dots per inch that centimetre sizes inside the page convert at.
  double Resolution = TPrintWizardElement::kDefaultResolution;
  // Where missing and unreadable pictures are counted, or none. Pages drawn at the same time
  // need counters of their own. Not owned.
  TErrorCounter* ErrorCounter = nullptr;
  // The slideshow tree item the element being drawn stands for, or none; the engine also makes
  // it the page's BoundItem for the element's drawing, which is where variables look it up.
  TRef<ITreeItem> BoundItem;
  // The generator the drawing takes chance from; none: the thread's current one.
  TDrawingRandom* Random = nullptr;
  // The page's pictures decoded ahead, for the elements to take, or none. Not owned.
  TDecodedPictures* Decoded = nullptr;

  bool FinalRendering() const { return Mode == TRenderMode::FinalRendering; }
  TDrawingRandom& Chance() const { return Random != nullptr ? *Random : CurrentDrawingRandom(); }
};

}  // namespace nimbra
