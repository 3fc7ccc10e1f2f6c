#include "DrawingTestSupport.h"

#include <algorithm>

#include "elements/ElementInterfaces.h"
#include "raster/Bitmap32Cache.h"
#include "raster/PictureFormatRegistration.h"
#include "raster/PictureWriters.h"
#include "storage/FileAccess.h"
#include "storage/MemoryStream.h"
#include "templates/PageElement.h"

namespace nimbra::test {

void TDrawingTest::SetUpTestSuite() {
  TElementsTest::SetUpTestSuite();
  RegisterPictureFormats();
}

void TDrawingTest::TearDownTestSuite() {
  UnregisterPictureFormats();
  TElementsTest::TearDownTestSuite();
}

void TDrawingTest::SetUp() {
  access_ = std::make_shared<TFileAccess>();
  SetFileAccess(access_);
  SetBitmap32Cache(std::make_shared<TBitmap32Cache>());
}

void TDrawingTest::TearDown() {
  SetBitmap32Cache(nullptr);
  SetFileAccess(nullptr);
}

std::string TDrawingTest::SavePicture(const std::string& name, const TBitmap32& bitmap) {
  const bool jpeg = name.ends_with(".jpg");
  return folder_.Write(name, jpeg ? JpegBytes(bitmap) : PngBytes(bitmap));
}

std::string PngBytes(const TBitmap32& bitmap) {
  TMemoryStream stream;
  SavePng(bitmap, stream);
  return stream.ToString();
}

std::string JpegBytes(const TBitmap32& bitmap, int quality) {
  TMemoryStream stream;
  SaveJpeg(bitmap, stream, quality);
  return stream.ToString();
}

TBitmap32 Uniform(int width, int height, TColor32 colour) {
  TBitmap32 bitmap(width, height);
  bitmap.Clear(colour);
  return bitmap;
}

void RenderLikeTheEngine(TPageElement& element, TBitmap32& page) {
  auto* printable = dynamic_cast<IPrintablePageElement*>(&element);
  if (printable == nullptr) return;
  const TPixelRect pageRect{0, 0, page.Width(), page.Height()};
  if (auto* wizard = dynamic_cast<TPrintWizardElement*>(&element)) wizard->SetRendering(1);
  if (auto* target = dynamic_cast<ITargetBitmapElement*>(&element)) target->SetTargetBitmap(&page);
  auto* notify = dynamic_cast<IRenderNotify*>(&element);
  if (notify != nullptr) notify->BeginRender();
  printable->Print(&page, pageRect);
  if (auto* bitmapPrintable = dynamic_cast<IBitmapPrintable*>(&element)) {
    bitmapPrintable->PrintToBitmap(page, &page, pageRect);
  } else {
    auto* pass = dynamic_cast<ICanvasPassControl*>(&element);
    if (pass == nullptr || !pass->SkipsCanvasPass()) printable->Print(&page, pageRect);
  }
  if (notify != nullptr) notify->EndRender();
}

TRect ChangedArea(const TBitmap32& bitmap, TColor32 colour) {
  TRect area{bitmap.Width(), bitmap.Height(), 0, 0};
  for (int y = 0; y < bitmap.Height(); ++y) {
    for (int x = 0; x < bitmap.Width(); ++x) {
      if (bitmap.Pixel(x, y) == colour) continue;
      area = {std::min(area.Left, x), std::min(area.Top, y), std::max(area.Right, x + 1),
              std::max(area.Bottom, y + 1)};
    }
  }
  return area.IsEmpty() ? TRect{} : area;
}

}  // namespace nimbra::test
