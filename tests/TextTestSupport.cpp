#include "TextTestSupport.h"

#include <gtest/gtest.h>

#include <QFontDatabase>
#include <QStringList>
#include <algorithm>

#include "raster/FontSupport.h"

namespace nimbra::test {

namespace {

std::string& LoadedFace() {
  static std::string face;
  return face;
}

// The fonts live from before the first test until after the last.
class TTestFontEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    StartFontSupport();
    const int id = QFontDatabase::addApplicationFont(NIMBRA_TEST_FONT);
    const QStringList families = QFontDatabase::applicationFontFamilies(id);
    ASSERT_FALSE(families.isEmpty()) << "cannot load the test font " << NIMBRA_TEST_FONT;
    LoadedFace() = families.first().toStdString();
  }
  void TearDown() override { StopFontSupport(); }
};

[[maybe_unused]] ::testing::Environment* const environment =
    ::testing::AddGlobalTestEnvironment(new TTestFontEnvironment);

}  // namespace

const std::string& TestFontFace() { return LoadedFace(); }

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
