// Shared pieces of the drawing tests: picture readers, a file access and the bitmap cache set up
// for a suite, pictures written with the project's own writers, and an element drawn the way the
// render engine draws it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "ElementTestSupport.h"
#include "TempFolder.h"
#include "TextTestSupport.h"
#include "raster/Bitmap32.h"
#include "templates/PageGeometry.h"

namespace nimbra {
class TFileAccess;
class TPageElement;
}  // namespace nimbra

namespace nimbra::test {

// The element suite's units plus the picture readers, a fresh file access and an empty bitmap
// cache for every test.
class TDrawingTest : public TElementsTest {
 public:
  static void SetUpTestSuite();
  static void TearDownTestSuite();

 protected:
  void SetUp() override;
  void TearDown() override;

  // Writes the bitmap as a picture file of the folder (PNG, or JPEG for ".jpg") and yields its
  // path.
  std::string SavePicture(const std::string& name, const TBitmap32& bitmap);

  TempFolder folder_;
  std::shared_ptr<TFileAccess> access_;
};

// The picture's bytes as PNG or, with quality, as JPEG.
std::string PngBytes(const TBitmap32& bitmap);
std::string JpegBytes(const TBitmap32& bitmap, int quality = 95);

// JPEG bytes with an EXIF block naming the orientation (1 to 8) right after the start marker.
std::string WithExifOrientation(const std::string& jpeg, uint16_t orientation);

TBitmap32 Uniform(int width, int height, TColor32 colour);

// Draws the element as the render engine's RenderElement does for the whole page bitmap: the
// Rendering flag, the target, BeginRender, the print call, the second pass unless the element
// skips it, EndRender.
void RenderLikeTheEngine(TPageElement& element, TBitmap32& page);

}  // namespace nimbra::test
