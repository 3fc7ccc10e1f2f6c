// WebP, HEIC and AVIF photos, written with the libraries' own encoders and stored turned with the
// turn noted in the file, drawn by the picture element onto a page: upright, in their colours,
// filling the box as a PNG of the same picture does.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DrawingTestSupport.h"
#include "HeifWebpTestPictures.h"
#include "elements/PrintPageElementPicture.h"

namespace nimbra {
namespace {

using test::RenderLikeTheEngine;
using test::Uniform;

constexpr TColor32 kPage = 0xFF1E3250;

class PhotoFormatsDrawingTest : public test::TDrawingTest {};

TEST_F(PhotoFormatsDrawingTest, ModernPhotosDrawUprightInTheirColours) {
  const TBitmap32 upright = test::ColourBlocks(160, 120);
  const std::vector<std::pair<std::string, std::string>> photos = {
      {"photo.png", test::PngBytes(upright)},
      {"photo.webp", test::WebpBytes(upright, {.exifOrientation = 6})},
      {"photo.heic", test::HeifBytes(upright, {.orientation = 6, .exifOrientation = 6})},
      {"photo.avif", test::HeifBytes(upright, {.av1 = true, .orientation = 8})},
  };
  TPrintPageElementPicture element;
  element.PictureProperties().SetUseSlideShowPicture(false);
  element.SetBounds({0, 0, 1, 1});
  for (const auto& [name, bytes] : photos) {
    element.SetFileName(folder_.Write(name, bytes));
    TBitmap32 page = Uniform(200, 150, kPage);
    RenderLikeTheEngine(element, page);
    // The box has the photo's proportions: it is covered to its edges.
    for (const auto& [x, y] : {std::pair{0, 0}, {199, 0}, {0, 149}, {199, 149}}) {
      EXPECT_NE(page.Pixel(x, y), kPage) << name << " " << x << "," << y;
    }
    EXPECT_LE(test::BlockColourError(page), 12) << name;
  }
}

}  // namespace
}  // namespace nimbra
