// Drawing the picture element: fitting, turning, centring, transparency, the placeholder, the
// effect stages, the decode size and the reports of pictures that cannot be loaded.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "DrawingTestSupport.h"
#include "elements/ElementErrorReporting.h"
#include "elements/PrintPageElementPicture.h"
#include "framework/ErrorCounter.h"
#include "raster/Blend.h"
#include "raster/PictureFile.h"
#include "raster/StretchDraw.h"
#include "storage/FileAccess.h"
#include "storage/Packager.h"
#include "storage/PackageFileListItem.h"
#include "templates/Bitmap32Cache.h"

namespace nimbra {
namespace {

using test::ChangedArea;
using test::RenderLikeTheEngine;
using test::Uniform;

constexpr TColor32 kPage = 0xFF1E3250;     // (30, 50, 80)
constexpr TColor32 kPhoto = 0xFFC86432;    // (200, 100, 50)

class PictureDrawingTest : public test::TDrawingTest {
 protected:
  // A fixed picture file over the given part of the page.
  static void Show(TPrintPageElementPicture& element, const std::string& file,
                   const TDoubleRect& bounds = {0, 0, 1, 1}) {
    element.PictureProperties().SetUseSlideShowPicture(false);
    element.SetFileName(file);
    element.SetBounds(bounds);
  }
};

// A picture whose upper half is one colour and lower half another.
TBitmap32 TwoHalves(int width, int height, TColor32 top, TColor32 bottom) {
  TBitmap32 bitmap = Uniform(width, height, top);
  FillRect(bitmap, {0, height / 2, width, height}, bottom);
  return bitmap;
}

// Records what the element hands its effects.
class TRecordingEffect : public TPrintWizardPictureEffect {
 public:
  struct TCall {
    int Width, Height;
    TPixelRect Rect;
    bool HasTransformation;
    double Sx, Sy;
    bool Preview;
  };

  TRecordingEffect(uint8_t stage, std::vector<TCall>& calls)
      : TPrintWizardPictureEffect(nullptr, stage), calls_(calls) {}

  void Apply(TBitmap32& bitmap, const TPixelRect& rect, double, TAffineTransformation* t,
             double sx, double sy) override {
    calls_.push_back({bitmap.Width(), bitmap.Height(), rect, t != nullptr, sx, sy, Preview()});
  }

 private:
  std::vector<TCall>& calls_;
};

TEST_F(PictureDrawingTest, KeptAspectPictureIsFittedAndCentredInItsBox) {
  const std::string wide = SavePicture("wide.png", Uniform(400, 300, kPhoto));
  const std::string large = SavePicture("large.png", Uniform(1000, 750, kPhoto));
  TPrintPageElementPicture element;
  TBitmap32 page = Uniform(200, 200, kPage);
  // Unturned, every fit mode (even one that does not exist) draws the fitted picture:
  // 200 × 150, 25 pixels below the top, exactly the photo's colour to its edges; so does a
  // picture more than twice that size.
  const std::vector<std::pair<std::string, uint8_t>> cases{
      {wide, 0}, {wide, 1}, {wide, 2}, {wide, 3}, {large, 1}};
  for (const auto& [file, mode] : cases) {
    Show(element, file);
    element.PictureProperties().SetFitMode(mode);
    page.Clear(kPage);
    RenderLikeTheEngine(element, page);
    EXPECT_EQ(ChangedArea(page, kPage), (TRect{0, 25, 200, 175})) << int(mode);
    EXPECT_EQ(ChangedArea(page, kPhoto), (TRect{0, 0, 200, 200})) << int(mode);
    for (int y = 25; y < 175; ++y) {
      for (int x = 0; x < 200; ++x) ASSERT_EQ(page.Pixel(x, y), kPhoto) << x << "," << y;
    }
  }

  Show(element, wide);
  element.PictureProperties().SetKeepAspectRatio(false);
  page.Clear(kPage);
  RenderLikeTheEngine(element, page);
  EXPECT_EQ(ChangedArea(page, kPhoto), TRect{});
}

TEST_F(PictureDrawingTest, ElementsOffTheOriginAreCentredInTheirOwnRectangle) {
  TPrintPageElementPicture element;
  // A tall picture in a 100 × 100 box at (100, 50) of a 400 × 200 page: 50 × 100, centred.
  Show(element, SavePicture("tall.png", Uniform(30, 60, kPhoto)), {0.25, 0.25, 0.5, 0.75});
  TBitmap32 page = Uniform(400, 200, kPage);
  RenderLikeTheEngine(element, page);
  EXPECT_EQ(ChangedArea(page, kPage), (TRect{125, 50, 175, 150}));
  EXPECT_EQ(page.Pixel(125, 50), kPhoto);
  EXPECT_EQ(page.Pixel(174, 149), kPhoto);
}

TEST_F(PictureDrawingTest, TransparencyBlendsThePictureOnce) {
  TPrintPageElementPicture element;
  Show(element, SavePicture("photo.png", Uniform(20, 20, kPhoto)));
  TBitmap32 page = Uniform(20, 20, kPage);
  element.PictureProperties().SetTransparency(128);
  RenderLikeTheEngine(element, page);
  EXPECT_EQ(page.Pixel(10, 10), BlendColors(kPhoto, kPage, 127));
  EXPECT_EQ(ChangedArea(page, page.Pixel(10, 10)), TRect{});

  element.PictureProperties().SetTransparency(255);
  page.Clear(kPage);
  RenderLikeTheEngine(element, page);
  EXPECT_EQ(ChangedArea(page, kPage), TRect{});
}

TEST_F(PictureDrawingTest, APicturesOwnAlphaShowsThePageThrough) {
  TBitmap32 picture = Uniform(20, 20, kPhoto);
  FillRect(picture, {0, 0, 20, 10}, kColor32Transparent);
  TPrintPageElementPicture element;
  Show(element, SavePicture("half.png", picture));
  TBitmap32 page = Uniform(20, 20, kPage);
  RenderLikeTheEngine(element, page);
  EXPECT_EQ(page.Pixel(10, 2), kPage);
  EXPECT_EQ(page.Pixel(10, 17), kPhoto);
}

TEST_F(PictureDrawingTest, AutoRotateTurnsPortraitsInLandscapeBoxesOnly) {
  const TColor32 red = 0xFFFF0000;
  const TColor32 blue = 0xFF0000FF;
  TPrintPageElementPicture element;
  element.PictureProperties().SetAutoRotate(true);
  // A portrait in a 200 × 100 box is turned by a quarter: its top half lands on the left.
  Show(element, SavePicture("portrait.png", TwoHalves(100, 200, red, blue)));
  TBitmap32 page = Uniform(200, 100, kPage);
  RenderLikeTheEngine(element, page);
  EXPECT_EQ(page.Pixel(50, 50), red);
  EXPECT_EQ(page.Pixel(150, 50), blue);
  EXPECT_EQ(page.Pixel(50, 5), red);
  EXPECT_EQ(page.Pixel(150, 94), blue);

  // Without AutoRotate the portrait stands upright in the middle, 50 × 100.
  element.PictureProperties().SetAutoRotate(false);
  page.Clear(kPage);
  RenderLikeTheEngine(element, page);
  EXPECT_EQ(ChangedArea(page, kPage), (TRect{75, 0, 125, 100}));
  EXPECT_EQ(page.Pixel(100, 10), red);

  // A landscape picture is not turned.
  element.PictureProperties().SetAutoRotate(true);
  Show(element, SavePicture("landscape.png", TwoHalves(200, 100, red, blue)));
  page.Clear(kPage);
  RenderLikeTheEngine(element, page);
  EXPECT_EQ(page.Pixel(100, 10), red);
  EXPECT_EQ(page.Pixel(100, 90), blue);
}

TEST_F(PictureDrawingTest, TurnedPicturesStayInsideTheirBoxExceptInFitModeTwo) {
  const TPixelRect box{100, 100, 300, 300};
  for (const uint8_t mode : {kFitRotatedInside, kFitRotatedBounds, kFitAsUnrotated}) {
    TPrintPageElementPicture element;
    Show(element, SavePicture("photo.png", Uniform(200, 100, kPhoto)), {0.25, 0.25, 0.75, 0.75});
    element.PictureProperties().SetRotationAngle(45);
    element.PictureProperties().SetFitMode(mode);
    TBitmap32 page = Uniform(400, 400, kPage);
    RenderLikeTheEngine(element, page);
    const TRect changed = ChangedArea(page, kPage);
    EXPECT_EQ(page.Pixel(200, 200), kPhoto) << int(mode);
    const bool inside = changed.Left >= box.Left && changed.Top >= box.Top &&
                        changed.Right <= box.Right && changed.Bottom <= box.Bottom;
    EXPECT_EQ(inside, mode != kFitAsUnrotated) << int(mode);
    // The turned picture is centred: as far from the box's edges on the left as on the right.
    EXPECT_LE(std::abs((changed.Left - box.Left) - (box.Right - changed.Right)), 2) << int(mode);
    EXPECT_LE(std::abs((changed.Top - box.Top) - (box.Bottom - changed.Bottom)), 2) << int(mode);
  }
}

TEST_F(PictureDrawingTest, QuarterTurnFillsTheTurnedBox) {
  TPrintPageElementPicture element;
  Show(element, SavePicture("photo.png", Uniform(200, 100, kPhoto)));
  element.PictureProperties().SetRotationAngle(90);
  TBitmap32 page = Uniform(200, 200, kPage);
  RenderLikeTheEngine(element, page);
  // Upright now: a column 100 wide over the full height, the page left and right of it.
  EXPECT_EQ(page.Pixel(100, 100), kPhoto);
  EXPECT_EQ(page.Pixel(60, 5), kPhoto);
  EXPECT_EQ(page.Pixel(45, 100), kPage);
  EXPECT_EQ(page.Pixel(155, 100), kPage);
  const TRect changed = ChangedArea(page, kPage);
  EXPECT_NEAR(changed.Width(), 100, 2);
  EXPECT_NEAR(changed.Height(), 200, 1);
}

TEST_F(PictureDrawingTest, RandomRotationTurnsByTheAngleDrawnForTheRendering) {
  const std::string file = SavePicture("photo.png", Uniform(200, 100, kPhoto));
  TPrintPageElementPicture random;
  Show(random, file);
  random.PictureProperties().SetRotationAngle(30);  // not used while the angle is random
  random.PictureProperties().SetRandomRotation(true);
  random.SetRendering(1);
  TBitmap32 page = Uniform(200, 200, kPage);
  random.SetTargetBitmap(&page);
  // An angle large enough to tell from an unturned picture: below about 2.5 degrees the
  // turned picture's smoothed edge still reaches into the pixel checked below.
  do {
    random.BeginRender();
  } while (std::abs(random.RandomAngle()) < 3);
  random.Print(&page, {0, 0, 200, 200});

  TPrintPageElementPicture fixed;
  Show(fixed, file);
  fixed.PictureProperties().SetRotationAngle(static_cast<float>(random.RandomAngle()));
  TBitmap32 expected = Uniform(200, 200, kPage);
  RenderLikeTheEngine(fixed, expected);
  EXPECT_TRUE(page == expected);
  // Turned, the picture no longer reaches the box's corners as the upright 200 × 100 would.
  EXPECT_EQ(page.Pixel(1, 51), kPage);
}

TEST_F(PictureDrawingTest, AnUnknownFitModeDrawsNothingWhenTurned) {
  TPrintPageElementPicture element;
  Show(element, SavePicture("photo.png", Uniform(20, 10, kPhoto)));
  element.PictureProperties().SetRotationAngle(30);
  element.PictureProperties().SetFitMode(3);
  TBitmap32 page = Uniform(40, 40, kPage);
  RenderLikeTheEngine(element, page);
  EXPECT_EQ(ChangedArea(page, kPage), TRect{});
}

TEST_F(PictureDrawingTest, DesignViewShowsAPlaceholderAndAFrame) {
  TPrintPageElementPicture element;  // takes the slideshow's picture, but none is bound
  element.SetBounds({0.1, 0.1, 0.9, 0.9});
  TBitmap32 page = Uniform(100, 60, kPage);
  RenderLikeTheEngine(element, page);
  EXPECT_EQ(ChangedArea(page, kPage), TRect{});

  element.SetRendering(0);
  ASSERT_TRUE(element.Render(page, {0, 0, 100, 60}));
  // E = (10, 6)–(90, 54): a white box, black outline (under the grey design frame), black cross.
  EXPECT_EQ(ChangedArea(page, kPage), (TRect{10, 6, 90, 54}));
  const TColor32 frame = BlendColors(TPrintablePageElement::kDesignFrameColor, kColor32Black);
  EXPECT_EQ(page.Pixel(10, 6), frame);
  EXPECT_EQ(page.Pixel(89, 53), frame);
  EXPECT_EQ(page.Pixel(50, 6), frame);
  EXPECT_EQ(page.Pixel(11, 7), kColor32Black);   // the diagonal starts in the corner
  EXPECT_EQ(page.Pixel(88, 52), kColor32Black);  // and ends in the opposite one
  EXPECT_EQ(page.Pixel(50, 10), kColor32White);
  EXPECT_EQ(page.Pixel(20, 40), kColor32White);
}

TEST_F(PictureDrawingTest, EffectsSeeTheWorkingCopyBeforeAndTheResultAfterTheGeometry) {
  std::vector<TRecordingEffect::TCall> calls;
  TPrintPageElementPicture element;
  TPrintWizardPictureEffectList& effects = element.PictureProperties().Effects();
  effects.Add(std::make_unique<TRecordingEffect>(kEffectStageAfterGeometry, calls));
  effects.Add(std::make_unique<TRecordingEffect>(kEffectStageBeforeGeometry, calls));
  // 5000 × 100 in a 400 × 400 box fits as 400 × 8; rendering works on twice that.
  Show(element, SavePicture("banner.png", Uniform(5000, 100, kPhoto)));
  TBitmap32 page = Uniform(400, 400, kPage);
  RenderLikeTheEngine(element, page);
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[0].Width, 800);
  EXPECT_EQ(calls[0].Height, 16);
  EXPECT_FALSE(calls[0].HasTransformation);
  EXPECT_FALSE(calls[0].Preview);
  EXPECT_EQ(calls[1].Width, 400);
  EXPECT_EQ(calls[1].Height, 8);
  EXPECT_EQ(calls[1].Rect, (TPixelRect{0, 0, 800, 16}));
  EXPECT_TRUE(calls[1].HasTransformation);
  EXPECT_DOUBLE_EQ(calls[1].Sx, 2);
  EXPECT_DOUBLE_EQ(calls[1].Sy, 2);

  // The design view works on the picture as loaded, which is decoded just fitted into the box.
  calls.clear();
  element.SetRendering(0);
  element.Render(page, {0, 0, 400, 400});
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[0].Width, 400);
  EXPECT_EQ(calls[0].Height, 8);
  EXPECT_TRUE(calls[0].Preview);
}

TEST_F(PictureDrawingTest, JpegsAreDecodedNoLargerThanTheBoxNeeds) {
  TPrintPageElementPicture element;
  Show(element, SavePicture("photo.jpg", Uniform(1600, 1200, kPhoto)));
  element.SetRendering(1);
  // Without effects the picture is decoded for the size it is drawn at, fitted into 100 × 100 as
  // 100 × 75: an eighth of it (200 × 150) is reduced while decoding to two fifths more for the
  // resampling; for 101 × 76 the eighth does as well.
  std::unique_ptr<TBitmap32> rendered = element.LoadPicture(100, 100);
  ASSERT_TRUE(rendered);
  EXPECT_EQ(rendered->Width(), 140);
  EXPECT_EQ(rendered->Height(), 105);
  rendered = element.LoadPicture(101, 101);
  ASSERT_TRUE(rendered);
  EXPECT_EQ(rendered->Width(), 142);
  EXPECT_EQ(rendered->Height(), 107);
  // Effects work on the working copy of twice the fitted box, which the eighth no longer covers
  // for 101 × 101: a quarter (400 × 300) is averaged down while decoding to just cover 202 × 150.
  std::vector<TRecordingEffect::TCall> calls;
  element.PictureProperties().Effects().Add(
      std::make_unique<TRecordingEffect>(kEffectStageBeforeGeometry, calls));
  rendered = element.LoadPicture(101, 101);
  ASSERT_TRUE(rendered);
  EXPECT_EQ(rendered->Width(), 202);
  EXPECT_EQ(rendered->Height(), 152);
  EXPECT_EQ(Bitmap32Cache()->Get(element.GetFileName()), nullptr);

  // The design view needs the fitted box itself and keeps a copy fitted into it for the next
  // time.
  element.SetRendering(0);
  std::unique_ptr<TBitmap32> preview = element.LoadPicture(300, 300);
  ASSERT_TRUE(preview);
  EXPECT_EQ(preview->Width(), 300);
  EXPECT_EQ(preview->Height(), 225);
  preview = element.LoadPicture(100, 100);  // from the cache, as stored for 300 × 300
  ASSERT_TRUE(preview);
  EXPECT_EQ(preview->Width(), 300);
  EXPECT_EQ(preview->Height(), 225);
}

// The largest and the mean difference of the colour channels of two pictures of one size.
struct TDifference {
  int Largest = 0;
  double Mean = 0;
};

TDifference DifferenceOf(const TBitmap32& a, const TBitmap32& b) {
  TDifference difference;
  double total = 0;
  for (int y = 0; y < a.Height(); ++y) {
    for (int x = 0; x < a.Width(); ++x) {
      for (const int shift : {16, 8, 0}) {
        const int d = std::abs(static_cast<int>((a.Pixel(x, y) >> shift) & 0xFF) -
                               static_cast<int>((b.Pixel(x, y) >> shift) & 0xFF));
        difference.Largest = std::max(difference.Largest, d);
        total += d;
      }
    }
  }
  difference.Mean = total / (double(a.Width()) * a.Height() * 3);
  return difference;
}

TEST_F(PictureDrawingTest, PhotosAveragedWhileDecodingLookAsIfDrawnFromFullSize) {
  // Gradients under fine grain, 1000 × 600: in a 240 × 144 box the JPEG is decoded at half size
  // and averaged down to 480 × 288 as it is read, the PNG averaged down from its full size.
  TBitmap32 photo(1000, 600);
  uint32_t noise = 11;
  for (int y = 0; y < 600; ++y) {
    for (int x = 0; x < 1000; ++x) {
      noise = noise * 1103515245u + 12345u;
      const auto grain = static_cast<int>((noise >> 16) & 15);
      photo.SetPixel(x, y, Color32(static_cast<uint8_t>(x / 5 + grain),
                                   static_cast<uint8_t>(y * 2 / 5 + grain),
                                   static_cast<uint8_t>((x + y) / 8 + grain)));
    }
  }
  TPrintPageElementPicture element;
  TBitmap32 fromJpeg = Uniform(240, 144, kPage);
  Show(element, SavePicture("photo.jpg", photo));
  RenderLikeTheEngine(element, fromJpeg);
  TBitmap32 fromPng = Uniform(240, 144, kPage);
  Show(element, SavePicture("photo.png", photo));
  RenderLikeTheEngine(element, fromPng);

  const TDifference difference = DifferenceOf(fromJpeg, fromPng);
  EXPECT_LE(difference.Largest, 12);
  EXPECT_LE(difference.Mean, 1.5);
}

// A photo-like picture: smooth light over fine texture, and hard-edged shapes in it.
TBitmap32 DetailedPhoto(int width, int height) {
  TBitmap32 photo(width, height);
  uint32_t noise = 7;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      noise = noise * 1103515245u + 12345u;
      const double light = 0.5 + 0.25 * std::sin(x * 0.013) + 0.2 * std::cos(y * 0.021);
      const double texture = 30 * std::sin(x * 0.15 + y * 0.1) + ((noise >> 16) & 15);
      const bool stripe = ((x / 37 + y / 53) % 5) == 0;
      const bool disc = (x - width / 3) * (x - width / 3) + (y - height / 2) * (y - height / 2) <
                        (height / 5) * (height / 5);
      const auto channel = [&](double base) {
        const double value = stripe ? 235 : disc ? 25 + texture / 2 : base * light + texture;
        return static_cast<uint8_t>(std::clamp(value, 0.0, 255.0));
      };
      photo.SetPixel(x, y, Color32(channel(220), channel(170), channel(120)));
    }
  }
  return photo;
}

TEST_F(PictureDrawingTest, PhotosDecodedForTheirDrawnSizeLookAsIfDrawnFromFullSize) {
  // A 2400 × 1600 JPEG drawn 600 × 400 (decoded at a quarter) and 450 × 300 (at a quarter, then
  // resampled), against the photo decoded whole and drawn with Lanczos into the same place
  // (here at most 39 and 1.5 on average). Real photos stay well within the bounds: four-photo
  // pages of 3840 × 2160 with landscapes and a detailed abstract picture of up to 5640 × 3172
  // differ from the same pages drawn from full decodes by at most 36, 0.44 on average.
  const TBitmap32 photo = DetailedPhoto(2400, 1600);
  const std::string file = folder_.Write("detail.jpg", test::JpegBytes(photo, 90));
  const std::unique_ptr<TBitmap32> whole = LoadBitmap32(file);
  ASSERT_TRUE(whole);
  for (const TPixelRect box : {TPixelRect{20, 10, 620, 410}, TPixelRect{30, 60, 480, 360}}) {
    TPrintPageElementPicture element;
    Show(element, file, {box.Left / 640.0, box.Top / 420.0, box.Right / 640.0, box.Bottom / 420.0});
    TBitmap32 drawn = Uniform(640, 420, kPage);
    RenderLikeTheEngine(element, drawn);
    TBitmap32 expected = Uniform(640, 420, kPage);
    StretchDraw(expected, {box.Left, box.Top, box.Right, box.Bottom}, *whole,
                TResamplingFilter::Lanczos, TDrawMode::Blend);
    const TDifference difference = DifferenceOf(drawn, expected);
    EXPECT_LE(difference.Largest, 40) << box.Width();
    EXPECT_LE(difference.Mean, 2.0) << box.Width();
    // The pictures differ: the drawn one was decoded smaller.
    EXPECT_GT(difference.Mean, 0) << box.Width();
  }
}

TEST_F(PictureDrawingTest, TurnedPhotosAreDecodedByTheirShownProportions) {
  // Stored lying on its side, shown upright as 1200 × 1600: fitted into 100 × 100 as 75 × 100,
  // so an eighth (150 × 200 upright) covers it and is reduced to two fifths more.
  const std::string file = folder_.Write(
      "upright.jpg", test::WithExifOrientation(test::JpegBytes(Uniform(1600, 1200, kPhoto)), 6));
  TPrintPageElementPicture element;
  Show(element, file);
  element.SetRendering(1);
  const std::unique_ptr<TBitmap32> rendered = element.LoadPicture(100, 100);
  ASSERT_TRUE(rendered);
  EXPECT_EQ(rendered->Width(), 105);
  EXPECT_EQ(rendered->Height(), 140);
}

TEST_F(PictureDrawingTest, PicturesComeFromPackages) {
  const std::string content = folder_.Write("photo.jpg", test::JpegBytes(Uniform(64, 48, kPhoto)));
  const std::string path = folder_.File("album.pkg");
  {
    TPackager packager;
    ASSERT_TRUE(packager.CreatePackageFile(path));
    ASSERT_TRUE(packager.AddFile(content, std::make_unique<TPackageFileListItem>("photo.jpg")));
    ASSERT_TRUE(packager.Close());
  }
  std::filesystem::remove(content);
  ASSERT_TRUE(access_->AddPlainPackage(path));

  TPrintPageElementPicture element;
  Show(element, "|photo.jpg");
  TBitmap32 page = Uniform(64, 48, kPage);
  RenderLikeTheEngine(element, page);
  for (const auto& [x, y] : {std::pair{0, 0}, std::pair{32, 24}, std::pair{63, 47}}) {
    const TColor32 pixel = page.Pixel(x, y);
    EXPECT_NEAR(RedComponent(pixel), 200, 3);
    EXPECT_NEAR(GreenComponent(pixel), 100, 3);
    EXPECT_NEAR(BlueComponent(pixel), 50, 3);
  }
}

TEST_F(PictureDrawingTest, PicturesThatCannotBeLoadedDrawNothingAndAreCounted) {
  TErrorCounter errors;
  TBitmap32 page = Uniform(20, 20, kPage);

  TPrintPageElementPicture missing;
  Show(missing, "fehlt.jpg");
  missing.SetErrorCounter(&errors);
  RenderLikeTheEngine(missing, page);

  TPrintPageElementPicture broken;
  const std::string brokenFile = folder_.Write("kaputt.jpg", "no picture at all");
  Show(broken, brokenFile);
  broken.SetErrorCounter(&errors);
  RenderLikeTheEngine(broken, page);

  TPrintPageElementPicture packaged;
  Show(packaged, "|nirgends.png");
  packaged.SetErrorCounter(&errors);
  RenderLikeTheEngine(packaged, page);

  EXPECT_EQ(ChangedArea(page, kPage), TRect{});
  ASSERT_EQ(errors.WarningCount(), 3);
  EXPECT_EQ(errors.Warnings().Items(0).Text, "Die Datei \"fehlt.jpg\" kann nicht gefunden werden.");
  EXPECT_EQ(errors.Warnings().Items(1).Text,
            "Die Datei \"" + broken.GetFileName() + "\" kann nicht gelesen werden.");
  EXPECT_EQ(errors.Warnings().Items(2).Text,
            "Die Datei \"|nirgends.png\" kann nicht gefunden werden.");
  EXPECT_FALSE(errors.HasCriticalErrors());

  // An element waiting for the slideshow's picture without one has nothing to report.
  TPrintPageElementPicture unbound;
  unbound.SetErrorCounter(&errors);
  RenderLikeTheEngine(unbound, page);
  EXPECT_EQ(errors.WarningCount(), 3);

  // Said together with their count; a warning about something else is not counted.
  ReportFileWarning(&errors, kEffectSkippedText, "bild.jpg");
  EXPECT_EQ(PicturesNotDrawnMessage(errors.Warnings()),
            "3 Bilder konnten nicht gezeichnet werden: " + errors.Warnings().Items(0).Text + " " +
                errors.Warnings().Items(1).Text + " " + errors.Warnings().Items(2).Text);
  EXPECT_EQ(PicturesNotDrawnMessage(errors.Warnings(), 2),
            "1 Bild konnte nicht gezeichnet werden: " + errors.Warnings().Items(2).Text);
  EXPECT_EQ(PicturesNotDrawnMessage(errors.Warnings(), 3), "");
}

// In the design view a missing photo's placeholder names the file; an empty element's does not.
TEST_F(PictureDrawingTest, DesignViewNamesAMissingPhotoOnItsPlaceholder) {
  TPrintPageElementPicture missing;
  Show(missing, "fehlt.jpg");
  TPrintPageElementPicture empty;
  TBitmap32 named = Uniform(200, 120, kPage);
  TBitmap32 plain = Uniform(200, 120, kPage);
  for (auto [element, page] : {std::pair{&missing, &named}, {&empty, &plain}}) {
    element->SetBounds({0, 0, 1, 1});
    element->SetRendering(0);
    ASSERT_TRUE(element->Render(*page, {0, 0, 200, 120}));
  }
  EXPECT_EQ(named.Pixel(100, 20), plain.Pixel(100, 20));
  int differing = 0;
  for (int x = 0; x < 200; ++x) differing += named.Pixel(x, 60) != plain.Pixel(x, 60);
  EXPECT_GT(differing, 10);
}

}  // namespace
}  // namespace nimbra
