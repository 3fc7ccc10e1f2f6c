#include "DrawingTestSupport.h"

#include "elements/ElementInterfaces.h"
#include "raster/PictureFormatRegistration.h"
#include "raster/PictureWriters.h"
#include "storage/FileAccess.h"
#include "storage/MemoryStream.h"
#include "templates/Bitmap32Cache.h"
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

std::string WithExifOrientation(const std::string& jpeg, uint16_t orientation) {
  // Little-endian TIFF structure: header, one directory with the orientation tag (SHORT, 1).
  std::string tiff("II*\0\x08\0\0\0\x01\0\x12\x01\x03\0\x01\0\0\0", 18);
  tiff += static_cast<char>(orientation & 0xFF);
  tiff += static_cast<char>(orientation >> 8);
  tiff += std::string(6, '\0');  // rest of the value field, no next directory
  const std::string payload = std::string("Exif\0\0", 6) + tiff;
  const size_t length = payload.size() + 2;
  std::string segment("\xFF\xE1", 2);
  segment += static_cast<char>(length >> 8);
  segment += static_cast<char>(length & 0xFF);
  return jpeg.substr(0, 2) + segment + payload + jpeg.substr(2);
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

}  // namespace nimbra::test
