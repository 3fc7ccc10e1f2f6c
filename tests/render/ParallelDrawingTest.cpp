// Pages drawn on two threads at once, with render contexts of their own: pictures decoded from
// disk and from one package, several at once on the decode pool's threads, a random turn, a
// turned packaged picture, translucent shapes, texts in a font of their own, and a background
// picture, which both pages take from the program's bitmap cache as the programs do.
// The thread-sanitizer build runs this test (scripts/test.sh).
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <functional>
#include <mutex>
#include <set>
#include <exception>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "RenderTestSupport.h"
#include "TempFolder.h"
#include "TextTestSupport.h"
#include "elements/DecodedPictures.h"
#include "elements/DrawingRandom.h"
#include "elements/PrintPageElementGeometric.h"
#include "elements/PrintPageElementPageNumberText.h"
#include "elements/PrintPageElementPicture.h"
#include "elements/PrintPageElementPictureText.h"
#include "framework/ErrorCounter.h"
#include "raster/FontSupport.h"
#include "raster/PictureWriters.h"
#include "render/PictureDecodePool.h"
#include "render/PrintWizardPictureEngine.h"
#include "storage/FileAccess.h"
#include "storage/MemoryStream.h"
#include "storage/PackageFileListItem.h"
#include "templates/Bitmap32Cache.h"

namespace nimbra {
namespace {

using test::TempFolder;

constexpr std::array<uint32_t, 2> kSeeds{11, 12};

// A picture whose every part looks different, so that a misplaced pixel shows.
TBitmap32 Pattern(int width, int height, TColor32 base) {
  TBitmap32 bitmap(width, height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      bitmap.SetPixel(x, y, Color32(static_cast<uint8_t>(RedComponent(base) ^ (x * 7)),
                                    static_cast<uint8_t>(GreenComponent(base) ^ y),
                                    static_cast<uint8_t>(BlueComponent(base) ^ (x + y))));
    }
  }
  return bitmap;
}

std::string Encoded(const TBitmap32& bitmap, bool jpeg) {
  TMemoryStream stream;
  if (jpeg) {
    SaveJpeg(bitmap, stream);
  } else {
    SavePng(bitmap, stream);
  }
  return stream.ToString();
}

class ParallelDrawingTest : public test::TRenderTest {
 protected:
  void SetUp() override {
    TRenderTest::SetUp();
    CreateBitmap32Cache();
    SetFileAccess(access_);
    WritePictures();
    BuildProject();
    show_ = std::make_unique<test::TTestShow>(
        std::vector<std::string>{folder_.File("eins.jpg"), folder_.File("zwei.png")});
    bag_.SetWidth(320);
    bag_.SetHeight(240);
    engine_.SetProperties(&bag_);
    // More threads than this machine may have, so that the pictures are decoded on several.
    engine_.SetDecodeThreads(3);
    engine_.SetProject(&project_.Project());
    engine_.SetSlideShowTree(show_->Tree());
    list_ = engine_.BuildPageList();
  }
  void TearDown() override {
    list_.reset();
    engine_.SetSlideShowTree(nullptr);
    SetFileAccess(nullptr);
    FreeBitmap32Cache();
  }

  // Two photos of the slideshow on disk, the background beside them, a stamp in a package.
  void WritePictures() {
    folder_.Write("eins.jpg", Encoded(Pattern(300, 200, Color32(200, 40, 90)), true));
    folder_.Write("zwei.png", Encoded(Pattern(120, 260, Color32(10, 180, 60)), false));
    folder_.Write("grund.png", Encoded(Pattern(16, 12, Color32(90, 90, 200)), false));
    const std::string stamp =
        folder_.Write("stempel.png", Encoded(Pattern(64, 40, Color32(250, 250, 0)), false));
    TPackager packager;
    ASSERT_TRUE(packager.CreatePackageFile(folder_.File("album.pkg")));
    ASSERT_TRUE(packager.AddFile(stamp, std::make_unique<TPackageFileListItem>("stempel.png")));
    ASSERT_TRUE(packager.Close());
    ASSERT_TRUE(access_->AddPlainPackage(folder_.File("album.pkg")));
  }

  // One template for every page: the background picture, the slideshow's photo turned at random,
  // the packaged stamp turned by a fixed angle, a missing picture, and two translucent shapes.
  void BuildProject() {
    TPrintWizardPageTemplateProperties& page = project_.Template().WizardProperties();
    page.SetBackgroundFile(folder_.File("grund.png"));
    page.SetBackgroundAlpha(160);
    auto& photo = project_.Add<TPrintPageElementPicture>({0.05, 0.05, 0.55, 0.6});
    photo.PictureProperties().SetRandomRotation(true);
    auto& stamp = project_.Add<TPrintPageElementPicture>({0.6, 0.05, 0.95, 0.45});
    stamp.PictureProperties().SetUseSlideShowPicture(false);
    stamp.PictureProperties().SetRotationAngle(30);
    stamp.SetFileName("|stempel.png");
    // Two more pictures, so that the page has several to decode at once.
    auto& again = project_.Add<TPrintPageElementPicture>({0.3, 0.5, 0.6, 0.9});
    again.PictureProperties().SetUseSlideShowPicture(false);
    again.SetFileName(folder_.File("eins.jpg"));
    auto& upright = project_.Add<TPrintPageElementPicture>({0.72, 0.5, 0.98, 0.95});
    upright.PictureProperties().SetUseSlideShowPicture(false);
    upright.SetFileName(folder_.File("zwei.png"));
    auto& missing = project_.Add<TPrintPageElementPicture>({0.6, 0.5, 0.7, 0.6});
    missing.PictureProperties().SetUseSlideShowPicture(false);
    missing.SetFileName(folder_.File("fehlt.png"));
    auto& band = project_.Add<TPrintPageElementRect>({0.02, 0.65, 0.98, 0.9});
    band.GeometricProperties().SetFillColor(Color32(0, 0, 255, 100));
    auto& ring = project_.Add<TPrintPageElementEllipse>({0.5, 0.4, 0.9, 0.95});
    ring.GeometricProperties().SetFillColor(Color32(255, 255, 0, 120));
    ring.GeometricProperties().SetBorderColor(Color32(0, 0, 0, 200));
    auto& caption = project_.Add<TPrintPageElementPictureText>({0.05, 0.62, 0.55, 0.75});
    caption.PictureTextProperties().SetPictureNumber(1);
    caption.TextProperties().SetText("%filename% auf Seite %position%");
    caption.TextProperties().SetFont(TFontRecord{0, test::TestFontFace(), 14, kFontStyleBold});
    auto& number = project_.Add<TPrintPageElementPageNumberText>({0.9, 0.92, 0.98, 0.98});
    number.TextProperties().SetFont(TFontRecord{0x00FFFFFF, test::TestFontFace(), 12, 0});
  }

  std::unique_ptr<TBitmap32> Draw(int page, TErrorCounter& errors) const {
    TDrawingRandom random(kSeeds[static_cast<size_t>(page)]);
    return engine_.DrawPage(*list_->Items(page), &errors, random);
  }

  TempFolder folder_;
  std::shared_ptr<TFileAccess> access_ = std::make_shared<TFileAccess>();
  test::TTestProject project_{Color32(240, 230, 210)};
  std::unique_ptr<test::TTestShow> show_;
  TPrintWizardPictureEngineProperties bag_;
  TPrintWizardPictureEngine engine_;
  std::unique_ptr<TRenderPageTemplateList> list_;
};

TEST_F(ParallelDrawingTest, PagesDrawnAtTheSameTimeMatchThemDrawnOneAfterTheOther) {
  ASSERT_EQ(list_->Count(), 2);
  // The texts are drawn, not passed over for want of fonts.
  ASSERT_TRUE(FontsAvailable());
  std::array<TErrorCounter, 2> errors;
  std::array<std::unique_ptr<TBitmap32>, 2> alone;
  for (int page : {0, 1}) alone[page] = Draw(page, errors[page]);

  // Each thread draws its page twice, so that the two drawings overlap for certain.
  std::array<TErrorCounter, 2> sharedErrors;
  std::array<std::unique_ptr<TBitmap32>, 2> together;
  std::array<std::string, 2> failures;
  std::vector<std::thread> threads;
  for (int page : {0, 1}) {
    threads.emplace_back([&, page] {
      try {
        for (int round = 0; round < 2; ++round) together[page] = Draw(page, sharedErrors[page]);
      } catch (const std::exception& error) {
        failures[page] = error.what();
      }
    });
  }
  for (std::thread& thread : threads) thread.join();

  for (int page : {0, 1}) {
    EXPECT_EQ(failures[page], "") << page;
    ASSERT_NE(alone[page], nullptr);
    ASSERT_NE(together[page], nullptr);
    EXPECT_TRUE(*together[page] == *alone[page]) << page;
    // Each page counts its own missing picture, once per drawing.
    EXPECT_EQ(errors[page].WarningCount(), 1) << page;
    EXPECT_EQ(sharedErrors[page].WarningCount(), 2) << page;
  }
  // Different photos: the comparison above is between drawn pages, not empty ones.
  EXPECT_FALSE(*alone[0] == *alone[1]);

  // The background was decoded once and shared from the cache.
  EXPECT_NE(Bitmap32Cache()->Get(folder_.File("grund.png")), nullptr);
}

TEST_F(ParallelDrawingTest, PagesDecodedOnThePoolMatchThemDecodedByEachElement) {
  for (int page : {0, 1}) {
    TErrorCounter pooled;
    const std::unique_ptr<TBitmap32> withPool = Draw(page, pooled);
    engine_.SetDecodeThreads(1);
    TErrorCounter alone;
    const std::unique_ptr<TBitmap32> withoutPool = Draw(page, alone);
    engine_.SetDecodeThreads(3);
    ASSERT_NE(withPool, nullptr);
    ASSERT_NE(withoutPool, nullptr);
    EXPECT_TRUE(*withPool == *withoutPool) << page;
    // The missing picture is counted once either way: a picture the pool cannot decode is left
    // to its element, which reports it.
    EXPECT_EQ(pooled.WarningCount(), 1) << page;
    EXPECT_EQ(alone.WarningCount(), 1) << page;
  }
}

TEST(PictureDecodePoolTest, RunsEveryJobOnceOnItsThreadsAtTheCallersPriority) {
  // The drawing thread's idle priority (nice 19, which a thread may always take for itself)
  // holds for the threads it starts.
  std::mutex mutex;
  std::set<std::thread::id> threads;
  std::vector<int> runs(9, 0);
  std::vector<int> niceness;
  std::thread drawing([&] {
    setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), 19);
    std::vector<std::function<void()>> jobs;
    for (size_t i = 0; i < runs.size(); ++i) {
      jobs.emplace_back([&, i] {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        const std::lock_guard<std::mutex> lock(mutex);
        ++runs[i];
        threads.insert(std::this_thread::get_id());
        niceness.push_back(getpriority(PRIO_PROCESS, static_cast<id_t>(gettid())));
      });
    }
    TPictureDecodePool(3).Start(std::move(jobs))->Wait();
  });
  drawing.join();
  EXPECT_EQ(runs, std::vector<int>(9, 1));
  EXPECT_GE(threads.size(), 2u);
  EXPECT_LE(threads.size(), 3u);
  EXPECT_EQ(niceness, std::vector<int>(9, 19));
  EXPECT_GE(TPictureDecodePool().Threads(), 1);
}

TEST(DecodedPicturesTest, PicturesWaitForRoomAndElementsThatTakeNoneFreeTheirs) {
  // Room for one picture: the thread decoding three in turn can only go on once the one before
  // is taken or given up. The first is never taken; taking the third gives it up.
  const std::array<TPrintPageElementPicture, 3> elements;
  TDecodedPictures decoded(1);
  for (const auto& element : elements) decoded.Expect(&element);
  const auto picture = [] { return TDecodedPicture{std::make_unique<TBitmap32>(2, 2), {2, 2}}; };
  std::thread decoding([&] {
    for (const auto& element : elements) {
      const bool room = decoded.BeginDecode(&element);
      decoded.Put(&element, room ? picture() : TDecodedPicture{}, room);
    }
  });
  EXPECT_NE(decoded.Take(&elements[1]).Picture, nullptr);
  EXPECT_NE(decoded.Take(&elements[2]).Picture, nullptr);
  EXPECT_EQ(decoded.Take(&elements[2]).Picture, nullptr);  // handed over once
  decoding.join();
  // Room goes in the order the pictures are drawn: a later picture asking first waits, or the
  // drawing would wait for an earlier one that never gets room.
  TDecodedPictures ordered(1);
  ordered.Expect(&elements[0]);
  ordered.Expect(&elements[1]);
  std::thread later([&] {
    EXPECT_TRUE(ordered.BeginDecode(&elements[1]));
    ordered.Put(&elements[1], picture(), true);
  });
  ASSERT_TRUE(ordered.BeginDecode(&elements[0]));
  ordered.Put(&elements[0], picture(), true);
  EXPECT_NE(ordered.Take(&elements[0]).Picture, nullptr);
  EXPECT_NE(ordered.Take(&elements[1]).Picture, nullptr);
  later.join();
  // Abandoned, nobody waits for room any more.
  TDecodedPictures abandoned(1);
  abandoned.Expect(&elements[0]);
  abandoned.Expect(&elements[1]);
  ASSERT_TRUE(abandoned.BeginDecode(&elements[0]));
  abandoned.Put(&elements[0], picture(), true);
  std::thread waiting([&] { EXPECT_FALSE(abandoned.BeginDecode(&elements[1])); });
  abandoned.Abandon();
  waiting.join();
}

TEST_F(ParallelDrawingTest, APageDrawnWithAGeneratorOfItsOwnIsThePageTheEngineRenders) {
  TErrorCounter errors;
  const std::unique_ptr<TBitmap32> drawn = Draw(0, errors);
  SeedDrawingRandom(kSeeds[0]);
  const std::unique_ptr<TBitmap32> rendered = engine_.RenderToBitmap(*list_->Items(0));
  ASSERT_NE(drawn, nullptr);
  ASSERT_NE(rendered, nullptr);
  EXPECT_TRUE(*rendered == *drawn);
  // The seed decides the random turn.
  TDrawingRandom other(kSeeds[0] + 100);
  EXPECT_FALSE(*engine_.DrawPage(*list_->Items(0), &errors, other) == *drawn);
}

}  // namespace
}  // namespace nimbra
