// Shared pieces of the render tests: the units started once per suite, slideshows of picture
// objects with their tree, projects whose one template repeats until the slideshow ends, and
// page elements that log what the engine asks of them and fill their rectangle with a colour.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "elements/PrintPageElementGeometric.h"
#include "elements/PrintablePageElement.h"
#include "framework/CustomTree.h"
#include "slideshow/SlideShow.h"
#include "templates/ElementBinding.h"
#include "templates/PageTemplateProject.h"
#include "templates/RenderPageTemplateList.h"

namespace nimbra::test {

// Starts the template, element and render units and the picture readers for the suite.
class TRenderTest : public ::testing::Test {
 public:
  static void SetUpTestSuite();
  static void TearDownTestSuite();

 protected:
  void SetUp() override;
};

// A slideshow of picture objects and its tree.
class TTestShow {
 public:
  // Pictures without files.
  explicit TTestShow(int pictures);
  // A picture for each file name.
  explicit TTestShow(const std::vector<std::string>& fileNames);
  ~TTestShow();

  TSlideShow& Document() { return document_; }
  const TRef<ITree>& Tree() const { return treeRef_; }
  // The tree item of the n-th picture (0-based).
  TRef<ITreeItem> Item(int index) const;

 private:
  TSlideShow document_;
  std::unique_ptr<TCustomTree> tree_;
  TRef<ITree> treeRef_;
};

// Appends count picture objects, each naming its file (empty names for an empty list).
void AddPictureObjects(TSlideShow& document, const std::vector<std::string>& fileNames);

// A project whose first template, with the background colour, is repeated in a loop until the
// slideshow ends.
class TTestProject {
 public:
  explicit TTestProject(TColor32 background = kColor32White);

  TPrintWizardPageTemplateProject& Project() { return project_; }
  TPrintWizardPageTemplate& Template() const;
  // Adds an element covering the fraction rectangle and yields it.
  template <typename T>
  T& Add(const TDoubleRect& bounds) {
    auto element = std::make_unique<T>();
    T& added = *element;
    added.SetBounds(bounds);
    Template().Elements().Add(std::move(element));
    return added;
  }

 private:
  TPrintWizardPageTemplateProject project_;
};

// A page record of the project's template whose elements are bound to the given items (none for
// the rest).
std::unique_ptr<TRenderPageTemplateListItem> RecordOf(TPageTemplate& pageTemplate,
                                                      const std::vector<TRef<ITreeItem>>& items = {});

// What the test elements were asked, in order.
std::vector<std::string>& RenderLog();

// Prints by blending its fill colour over its rectangle on the canvas it is given; the colour is
// its bag's FillColor, so that it survives the cloning of a page.
class TTestFillElement : public TPrintablePageElement {
  NIMBRA_DECLARE_PLUGIN()

 public:
  TTestFillElement();
  void SetColor(TColor32 colour);
  void Print(TBitmap32* canvas, const TPixelRect& pageRect) override;

 protected:
  virtual std::string CanvasName(const TBitmap32* canvas) const;
};

// The same, complete after the engine's print call.
class TTestSkippingElement : public TTestFillElement, public ICanvasPassControl {
  NIMBRA_DECLARE_PLUGIN()

 public:
  bool SkipsCanvasPass() const override { return true; }
};

// Offers every interface the engine asks for and logs each call; names the canvas it is given
// "page" when it is the target bitmap the engine set. Takes one slideshow object per page.
class TTestFullElement : public TTestFillElement,
                         public ITargetBitmapElement,
                         public IRenderNotify,
                         public IBitmapPrintable,
                         public IObjectBoundElement,
                         public IObjectConsumer {
  NIMBRA_DECLARE_PLUGIN()

 public:
  void Print(TBitmap32* canvas, const TPixelRect& pageRect) override;
  void SetTargetBitmap(TBitmap32* bitmap) override;
  void BeginRender() override;
  void EndRender() override;
  void PrintToBitmap(TBitmap32& bitmap, TBitmap32* canvas, const TPixelRect& pageRect) override;
  void BindObject(const TRef<ITreeItem>& item) override { bound_ = item; }
  TRef<ITreeItem> GetBoundObject() const override { return bound_; }
  bool TakesObject() const override { return true; }

 protected:
  std::string CanvasName(const TBitmap32* canvas) const override;

 private:
  TBitmap32* target_ = nullptr;
  TRef<ITreeItem> bound_;
};

// A visible element that offers no printing; logs when it is asked to render itself.
class TTestSilentElement : public TVisiblePageElement {
  NIMBRA_DECLARE_PLUGIN()

 public:
  TTestSilentElement() : TVisiblePageElement(TVisiblePageElementProperties::StaticClass()) {}
  bool Render(TBitmap32& bitmap, const TPixelRect& pageRect) override;
};

// Raises from Print.
class TTestFailingElement : public TPrintablePageElement {
  NIMBRA_DECLARE_PLUGIN()

 public:
  TTestFailingElement();
  void Print(TBitmap32* canvas, const TPixelRect& pageRect) override;
};

}  // namespace nimbra::test
