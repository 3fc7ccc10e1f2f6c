// The page walk: background, elements in list order, the two print passes, bound objects, page
// size and the life of the page bitmap, over test elements that fill their rectangles.
#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <utility>

#include "RenderTestSupport.h"
#include "elements/ElementErrorReporting.h"
#include "render/PrintWizardPictureEngine.h"

namespace nimbra {
namespace {

using test::RecordOf;
using test::RenderLog;
using test::TTestFillElement;
using test::TTestFullElement;
using test::TTestProject;
using test::TTestShow;

constexpr TColor32 kBackground = Color32(30, 50, 80);
constexpr TDoubleRect kLeftHalf{0, 0, 0.5, 1};
constexpr TDoubleRect kMiddle{0.25, 0, 0.75, 1};

class RenderEngineWalkTest : public test::TRenderTest {
 protected:
  RenderEngineWalkTest() {
    bag_.SetWidth(40);
    bag_.SetHeight(20);
    engine_.SetProperties(&bag_);
  }

  // The engine holds a counted reference to the slideshow's tree, so the show must outlive it.
  TTestShow& MakeShow(int pictures) {
    show_ = std::make_unique<TTestShow>(pictures);
    return *show_;
  }

  TPrintWizardPictureEngineProperties bag_;
  std::unique_ptr<TTestShow> show_;
  TPrintWizardPictureEngine engine_;
};

TEST_F(RenderEngineWalkTest, APageWithoutElementsShowsOnlyTheBackground) {
  TTestProject project(kBackground);
  const std::unique_ptr<TBitmap32> picture =
      engine_.RenderToBitmap(*RecordOf(project.Template()));
  ASSERT_NE(picture, nullptr);
  TBitmap32 expected(40, 20);
  expected.Clear(kBackground);
  EXPECT_EQ(*picture, expected);
}

// A spare bitmap is drawn over, not cleared: the page must not show what it held, a translucent
// element included. One of another size is not used.
TEST_F(RenderEngineWalkTest, APageDrawnIntoASpareBitmapEqualsOneDrawnFresh) {
  TTestProject project(kBackground);
  project.Add<TTestFillElement>(kLeftHalf).SetColor(Color32(255, 0, 0, 128));
  const std::unique_ptr<TBitmap32> fresh = engine_.RenderToBitmap(*RecordOf(project.Template()));
  ASSERT_NE(fresh, nullptr);
  for (const auto& [width, height] : {std::pair{40, 20}, std::pair{41, 20}}) {
    TBitmap32 spare(width, height);
    spare.Clear(Color32(1, 2, 3, 4));
    engine_.KeepSpareBitmap(std::move(spare));
    const std::unique_ptr<TBitmap32> reused =
        engine_.RenderToBitmap(*RecordOf(project.Template()));
    ASSERT_NE(reused, nullptr);
    EXPECT_EQ(*reused, *fresh) << width;
  }
}

TEST_F(RenderEngineWalkTest, ElementsDrawInListOrderOverTheBackground) {
  TTestProject project(kBackground);
  project.Add<TTestFillElement>(kLeftHalf).SetColor(Color32(255, 0, 0));
  project.Add<test::TTestSkippingElement>(kMiddle).SetColor(Color32(0, 0, 255));
  const std::unique_ptr<TBitmap32> picture =
      engine_.RenderToBitmap(*RecordOf(project.Template()));
  ASSERT_NE(picture, nullptr);
  for (int x = 0; x < 40; ++x) {
    const TColor32 expected = x >= 10 && x < 30 ? Color32(0, 0, 255)
                              : x < 10          ? Color32(255, 0, 0)
                                                : kBackground;
    EXPECT_EQ(picture->Pixel(x, 7), expected) << x;
  }
}

// A translucent colour shows whether an element was printed once or twice on the page.
TEST_F(RenderEngineWalkTest, OnlyElementsThatSkipTheCanvasPassArePrintedOnce) {
  TTestProject project(kBackground);
  project.Add<TTestFillElement>(kLeftHalf).SetColor(Color32(255, 0, 0, 128));
  project.Add<test::TTestSkippingElement>(TDoubleRect{0.5, 0, 1, 1})
      .SetColor(Color32(255, 0, 0, 128));
  const std::unique_ptr<TBitmap32> picture =
      engine_.RenderToBitmap(*RecordOf(project.Template()));
  ASSERT_NE(picture, nullptr);
  EXPECT_EQ(picture->Pixel(5, 5), Color32(199, 12, 20));   // blended twice
  EXPECT_EQ(picture->Pixel(35, 5), Color32(143, 25, 40));  // blended once
  EXPECT_EQ(RenderLog(), (std::vector<std::string>{
                             "TTestFillElement print canvas",
                             "TTestFillElement print canvas",
                             "TTestSkippingElement print canvas",
                         }));
}

TEST_F(RenderEngineWalkTest, AnElementHearsEveryCallInOrderAndSeesItsObjectOnThePage) {
  TTestShow show(1);
  TTestProject project(kBackground);
  project.Add<TTestFullElement>(kLeftHalf);
  bag_.SetResolution(150);
  const std::unique_ptr<TBitmap32> picture =
      engine_.RenderToBitmap(*RecordOf(project.Template(), {show.Item(0)}));
  ASSERT_NE(picture, nullptr);
  // The page bitmap is the canvas here: printed on it once, the element is not printed to it
  // again.
  EXPECT_EQ(RenderLog(), (std::vector<std::string>{
                             "target set",
                             "begin rendering=1",
                             "TTestFullElement print page bound 150dpi",
                             "end",
                         }));
}

TEST_F(RenderEngineWalkTest, ElementsThatCannotPrintAreSkipped) {
  TTestProject project(kBackground);
  project.Add<test::TTestSilentElement>(kMiddle);
  project.Add<TTestFillElement>(kLeftHalf).SetColor(Color32(255, 0, 0));
  const std::unique_ptr<TBitmap32> picture =
      engine_.RenderToBitmap(*RecordOf(project.Template()));
  ASSERT_NE(picture, nullptr);
  EXPECT_EQ(picture->Pixel(0, 0), Color32(255, 0, 0));
  EXPECT_EQ(picture->Pixel(39, 0), kBackground);
  EXPECT_EQ(RenderLog(), (std::vector<std::string>{"TTestFillElement print canvas",
                                                   "TTestFillElement print canvas"}));
}

// Counts a missing file while it draws, as the picture element does, and prints once.
class TReportingElement : public TTestFillElement,
                          public IErrorReportingElement,
                          public ICanvasPassControl {
  NIMBRA_DECLARE_PLUGIN()

 public:
  void SetErrorCounter(TErrorCounter* counter) override {
    counter_ = counter;
    RenderLog().push_back(counter != nullptr ? "counter set" : "counter taken back");
  }
  bool SkipsCanvasPass() const override { return true; }
  void Print(TBitmap32* canvas, const TPixelRect& pageRect) override {
    TTestFillElement::Print(canvas, pageRect);
    ReportFileWarning(counter_, kFileNotFoundText, "fehlt.jpg");
    if (fail_) throw std::runtime_error("the element cannot draw");
  }
  static inline bool fail_ = false;

 private:
  TErrorCounter* counter_ = nullptr;
};
NIMBRA_DEFINE_PLUGIN(TReportingElement, TTestFillElement)

TEST_F(RenderEngineWalkTest, ElementsReportToTheEngineCounterOnlyWhileTheyDraw) {
  TErrorCounter errors;
  engine_.SetErrorCounter(&errors);
  TTestProject project(kBackground);
  project.Add<TReportingElement>(kLeftHalf);
  ASSERT_NE(engine_.RenderToBitmap(*RecordOf(project.Template())), nullptr);
  ASSERT_EQ(errors.WarningCount(), 1);
  EXPECT_EQ(errors.Warnings().Items(0).Text, "Die Datei \"fehlt.jpg\" kann nicht gefunden werden.");
  // A failing element gives the counter back too.
  TReportingElement::fail_ = true;
  EXPECT_THROW(engine_.RenderToBitmap(*RecordOf(project.Template())), std::runtime_error);
  TReportingElement::fail_ = false;
  EXPECT_EQ(errors.WarningCount(), 2);
  EXPECT_EQ(RenderLog(), (std::vector<std::string>{
                             "counter set", "TReportingElement print canvas", "counter taken back",
                             "counter set", "TReportingElement print canvas", "counter taken back"}));
}

// An output whose canvas is not the page bitmap: the background reaches the canvas as a copy,
// and elements print on the canvas first, then on the page bitmap.
class TCanvasEngine : public TPrintWizardPictureEngine {
 public:
  TBitmap32* Canvas() const override { return &canvas_; }
  mutable TBitmap32 canvas_{40, 20};
};

TEST_F(RenderEngineWalkTest, AnotherCanvasGetsTheBackgroundAndThePrintCall) {
  TCanvasEngine engine;
  engine.SetProperties(&bag_);
  TTestProject project(kBackground);
  project.Add<TTestFullElement>(kLeftHalf).SetColor(Color32(255, 0, 0));
  project.Add<TTestFillElement>(kMiddle).SetColor(Color32(0, 0, 255));
  const std::unique_ptr<TBitmap32> picture = engine.RenderToBitmap(*RecordOf(project.Template()));
  ASSERT_NE(picture, nullptr);
  EXPECT_EQ(engine.canvas_.Pixel(0, 0), Color32(255, 0, 0));
  EXPECT_EQ(engine.canvas_.Pixel(39, 0), kBackground);
  // The bitmap-printing element leaves the page bitmap to PrintToBitmap; the other is printed
  // on both.
  EXPECT_EQ(picture->Pixel(0, 0), kBackground);
  EXPECT_EQ(picture->Pixel(20, 0), Color32(0, 0, 255));
  EXPECT_EQ(RenderLog(), (std::vector<std::string>{
                             "target set",
                             "begin rendering=1",
                             "TTestFullElement print other unbound 96dpi",
                             "print to bitmap page on other 40x20",
                             "end",
                             "TTestFillElement print canvas",
                             "TTestFillElement print canvas",
                         }));
}

TEST_F(RenderEngineWalkTest, ThePictureHasTheEngineSizeInItsUnit) {
  TTestProject project(kBackground);
  project.Template().WizardProperties().SetPageWidth(33.5);
  bag_.SetSizeUnit(kSizeUnitCentimetres);
  bag_.SetWidth(21);
  bag_.SetHeight(29.7);
  const std::unique_ptr<TBitmap32> picture =
      engine_.RenderToBitmap(*RecordOf(project.Template()));
  ASSERT_NE(picture, nullptr);
  EXPECT_EQ(picture->Width(), 794);
  EXPECT_EQ(picture->Height(), 1123);
}

TEST_F(RenderEngineWalkTest, EveryCallHandsOverANewPictureAndKeepsNone) {
  TTestProject project(kBackground);
  project.Add<TTestFillElement>(kLeftHalf).SetColor(Color32(255, 0, 0));
  const auto record = RecordOf(project.Template());
  engine_.SetMode(kPictureEngineSaveFiles);
  std::unique_ptr<TBitmap32> first = engine_.RenderToBitmap(*record);
  const std::unique_ptr<TBitmap32> second = engine_.RenderToBitmap(*record);
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(*first, *second);
  first->Clear(kColor32Black);
  EXPECT_EQ(second->Pixel(0, 0), Color32(255, 0, 0));
  EXPECT_EQ(engine_.LastPicture(), nullptr);
  EXPECT_EQ(engine_.PageBitmap(), nullptr);
  EXPECT_EQ(engine_.Mode(), kPictureEngineSaveFiles);
}

TEST_F(RenderEngineWalkTest, AFailingElementEndsThePageAndReachesTheCaller) {
  TTestProject project(kBackground);
  project.Add<TTestFillElement>(kLeftHalf);
  project.Add<test::TTestFailingElement>(kMiddle);
  TProgress progress;
  engine_.SetProgress(&progress);
  engine_.SetMode(kPictureEngineSaveFiles);
  EXPECT_THROW(engine_.RenderToBitmap(*RecordOf(project.Template())), std::runtime_error);
  EXPECT_EQ(engine_.PageBitmap(), nullptr);
  EXPECT_EQ(engine_.LastPicture(), nullptr);
  EXPECT_EQ(engine_.Mode(), kPictureEngineSaveFiles);
  EXPECT_EQ(progress.StepCount(), 0);
  // A size no bitmap can have fails the same way.
  bag_.SetWidth(-5);
  EXPECT_THROW(engine_.RenderToBitmap(*RecordOf(project.Template())), EBitmapSizeError);
  EXPECT_EQ(progress.StepCount(), 0);
}

// Progress of a full run: the run's step counts pages, each page's step counts its elements.
TEST_F(RenderEngineWalkTest, AFullRunReportsPagesAndElementsAndNumbersThePages) {
  TTestShow& show = MakeShow(5);
  TTestProject project(kBackground);
  // Two objects per page: three pages for five objects.
  project.Add<TTestFullElement>(kLeftHalf);
  project.Add<TTestFullElement>(kMiddle);
  TProgress progress;
  std::vector<std::string> events;
  progress.OnProgressAdded = [&](TObject*, TSingleProgress& step) {
    events.push_back("add " + step.Caption() + " " + std::to_string(step.Minimum()) + ".." +
                     std::to_string(step.Maximum()));
  };
  progress.OnProgress = [&](TObject*, TSingleProgress& step) {
    if (step.Caption() == TPrintWizardRenderEngine::kPagesCaption) {
      events.push_back(step.Text() + " page " + std::to_string(engine_.PageNumber()));
    }
  };
  progress.OnProgressDeleted = [&](TObject*) { events.push_back("removed"); };
  engine_.SetProgress(&progress);
  engine_.SetProject(&project.Project());
  engine_.SetSlideShowTree(show.Tree());
  engine_.SetMode(kPictureEngineKeepLast);
  engine_.RenderAll();
  EXPECT_FALSE(engine_.Running());
  EXPECT_EQ(engine_.PageNumber(), 3);
  EXPECT_NE(engine_.LastPicture(), nullptr);
  const std::vector<std::string> expected = {
      "add Erzeuge Seiten 1..3", "1/3 page 1", "add Seitenelement 0..2", "removed",
      "2/3 page 1",  // the text moves before the page number does
      "add Seitenelement 0..2", "removed",
      "3/3 page 2", "add Seitenelement 0..2", "removed", "removed"};
  EXPECT_EQ(events, expected);
}

// An element of the first page cancels the run: the page is finished, no other one is drawn.
class TCancellingElement : public TTestFillElement {
  NIMBRA_DECLARE_PLUGIN()

 public:
  static TPrintWizardRenderEngine*& Engine() {
    static TPrintWizardRenderEngine* engine = nullptr;
    return engine;
  }
  void Print(TBitmap32* canvas, const TPixelRect& pageRect) override {
    TTestFillElement::Print(canvas, pageRect);
    if (Engine() != nullptr) Engine()->Cancel();
  }
};
NIMBRA_DEFINE_PLUGIN(TCancellingElement, TTestFillElement)

TEST_F(RenderEngineWalkTest, CancellingStopsTheRunAfterTheCurrentPage) {
  TTestShow& show = MakeShow(3);
  TTestProject project(kBackground);
  project.Add<TTestFullElement>(kLeftHalf);
  project.Add<TCancellingElement>(kMiddle);
  TCancellingElement::Engine() = &engine_;
  engine_.SetProject(&project.Project());
  engine_.SetSlideShowTree(show.Tree());
  engine_.SetMode(kPictureEngineKeepLast);
  engine_.RenderAll();
  EXPECT_TRUE(engine_.Cancelled());
  EXPECT_FALSE(engine_.Running());
  EXPECT_EQ(engine_.PageNumber(), 1);
  EXPECT_EQ(std::count(RenderLog().begin(), RenderLog().end(), "end"), 1);
  // A new run starts uncancelled: three objects, one per page.
  TCancellingElement::Engine() = nullptr;
  engine_.RenderAll();
  EXPECT_FALSE(engine_.Cancelled());
  EXPECT_EQ(engine_.PageNumber(), 3);
}

}  // namespace
}  // namespace nimbra
