#include "RenderTestSupport.h"

#include <stdexcept>

#include "TempFolder.h"
#include "elements/ElementRegistration.h"
#include "framework/FrameworkFolders.h"
#include "framework/Plugins.h"
#include "raster/Blend.h"
#include "raster/PictureFormatRegistration.h"
#include "render/RenderRegistration.h"
#include "slideshow/SlideShowTree.h"
#include "templates/StructureElements.h"
#include "templates/StructureEvent.h"

namespace nimbra::test {

NIMBRA_DEFINE_PLUGIN(TTestFillElement, TPrintablePageElement)
NIMBRA_DEFINE_PLUGIN(TTestSkippingElement, TTestFillElement)
NIMBRA_DEFINE_PLUGIN(TTestFullElement, TTestFillElement)
NIMBRA_DEFINE_PLUGIN(TTestFailingElement, TPrintablePageElement)
NIMBRA_DEFINE_PLUGIN(TTestSilentElement, TVisiblePageElement)

namespace {

// Picture names are also looked for in the program's and the user's folders; these point into a
// private folder, so looking never touches the real ones.
std::unique_ptr<TempFolder>& Folders() {
  static std::unique_ptr<TempFolder> folder;
  return folder;
}

}  // namespace

void TRenderTest::SetUpTestSuite() {
  Folders() = std::make_unique<TempFolder>();
  SetProgramFolder(Folders()->File("program"));
  SetUserDataFolder(Folders()->File("user"));
  if (MainPlugins() == nullptr) SetMainPlugins(std::make_unique<TPlugins>());
  DocumentUnitsStartup();
  RenderStartup();
  RegisterPictureFormats();
}

void TRenderTest::TearDownTestSuite() {
  UnregisterPictureFormats();
  RenderShutdown();
  DocumentUnitsShutdown();
  SetMainPlugins(nullptr);
  ClearFrameworkFolders();
  Folders().reset();
}

void TRenderTest::SetUp() { RenderLog().clear(); }

// ---- TTestShow ----

TTestShow::TTestShow(int pictures)
    : TTestShow(std::vector<std::string>(static_cast<size_t>(pictures))) {}

TTestShow::TTestShow(const std::vector<std::string>& fileNames) {
  AddPictureObjects(document_, fileNames);
  tree_ = std::make_unique<TCustomTree>();
  BuildSlideShowTree(document_, *tree_);
  treeRef_ = TRef<ITree>(tree_.get());
}

TTestShow::~TTestShow() {
  treeRef_.Reset();
  Free(tree_);
}

TRef<ITreeItem> TTestShow::Item(int index) const { return tree_->GetItems()->GetItem(index); }

// ---- TTestProject ----

TTestProject::TTestProject(TColor32 background) {
  Template().WizardProperties().SetBackColor(background);
  auto loop = std::make_unique<TSlideShowPageTemplateStructureElementLoop>();
  loop->LoopProperties().SetEvent(std::make_unique<TStructureEventOnListEnd>());
  TRef<ITreeItem> loopItem = HandOverToRef<ITreeItem>(std::move(loop));
  project_.Structure().GetItems()->Add(loopItem);
  auto page = std::make_unique<TPageTemplateStructureElementPage>();
  page->SetTemplate(&Template());
  loopItem->NeedChildren()->Add(HandOverToRef<ITreeItem>(std::move(page)));
}

TPrintWizardPageTemplate& TTestProject::Template() const {
  auto* first = dynamic_cast<TPrintWizardPageTemplate*>(project_.FirstTemplate());
  if (first == nullptr) throw std::logic_error("the project has no print-wizard template");
  return *first;
}

std::unique_ptr<TRenderPageTemplateListItem> RecordOf(TPageTemplate& pageTemplate,
                                                      const std::vector<TRef<ITreeItem>>& items) {
  auto record = std::make_unique<TRenderPageTemplateListItem>(&pageTemplate);
  auto bindings = std::make_unique<TRenderPageElementList>();
  for (int32_t i = 0; i < pageTemplate.Elements().Count(); ++i) {
    const auto at = static_cast<size_t>(i);
    bindings->Add(std::make_unique<TRenderPageElementListItem>(
        pageTemplate.Elements().Items(i), at < items.size() ? items[at] : nullptr));
  }
  record->SetElements(std::move(bindings));
  return record;
}

std::vector<std::string>& RenderLog() {
  static std::vector<std::string> log;
  return log;
}

// ---- test elements ----

TTestFillElement::TTestFillElement()
    : TPrintablePageElement(TPrintPageElementGeometricProperties::StaticClass()) {}

void TTestFillElement::SetColor(TColor32 colour) {
  static_cast<TPrintPageElementGeometricProperties&>(Properties()).SetFillColor(colour);
}

std::string TTestFillElement::CanvasName(const TBitmap32* canvas) const {
  return canvas != nullptr ? "canvas" : "none";
}

void TTestFillElement::Print(TBitmap32* canvas, const TPixelRect& pageRect) {
  RenderLog().push_back(ClassName() + " print " + CanvasName(canvas));
  if (canvas == nullptr) return;
  const TPixelRect box = PixelBounds(pageRect);
  const TColor32 colour =
      static_cast<TPrintPageElementGeometricProperties&>(Properties()).FillColor();
  FillRect(*canvas, TRect{box.Left, box.Top, box.Right, box.Bottom}, colour, TDrawMode::Blend);
}

std::string TTestFullElement::CanvasName(const TBitmap32* canvas) const {
  if (canvas == nullptr) return "none";
  return canvas == target_ ? "page" : "other";
}

void TTestFullElement::Print(TBitmap32* canvas, const TPixelRect& pageRect) {
  TTestFillElement::Print(canvas, pageRect);
  // What the element sees of its page while it draws.
  const TPrintWizardPageTemplate* page = PageTemplate();
  const bool sees = page != nullptr && bound_ && page->BoundItem() == bound_;
  RenderLog().back() += sees ? " bound" : " unbound";
  RenderLog().back() += " " + std::to_string(static_cast<int>(Resolution())) + "dpi";
}

void TTestFullElement::SetTargetBitmap(TBitmap32* bitmap) {
  target_ = bitmap;
  RenderLog().push_back(std::string("target ") + (bitmap != nullptr ? "set" : "none"));
}

void TTestFullElement::BeginRender() {
  RenderLog().push_back("begin rendering=" + std::to_string(Rendering()));
}

void TTestFullElement::EndRender() { RenderLog().push_back("end"); }

void TTestFullElement::PrintToBitmap(TBitmap32& bitmap, TBitmap32* canvas,
                                     const TPixelRect& pageRect) {
  RenderLog().push_back(std::string("print to bitmap ") + (&bitmap == target_ ? "page" : "other") +
                        " on " + CanvasName(canvas) + " " + std::to_string(pageRect.Width()) +
                        "x" + std::to_string(pageRect.Height()));
}

bool TTestSilentElement::Render(TBitmap32&, const TPixelRect&) {
  RenderLog().push_back("silent render");
  return true;
}

TTestFailingElement::TTestFailingElement()
    : TPrintablePageElement(TPrintPageElementGeometricProperties::StaticClass()) {}

void TTestFailingElement::Print(TBitmap32*, const TPixelRect&) {
  throw std::runtime_error("the element cannot draw");
}

}  // namespace nimbra::test
