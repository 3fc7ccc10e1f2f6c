#include "RendererTestSupport.h"

#include "TempFolder.h"
#include "elements/ElementRegistration.h"
#include "framework/FrameworkFolders.h"
#include "framework/Plugins.h"
#include "slideshow/SlideShowTree.h"
#include "storage/CSFStreamWinTypes.h"
#include "storage/MemoryStream.h"
#include "templates/TemplateRegistration.h"
#include "templates/VirtualProjectRenderer.h"

namespace nimbra::test {

namespace {

// Picture names are also looked for in the program's and the user's folders; these point into a
// private folder, so looking never touches the real ones.
std::unique_ptr<TempFolder>& Folders() {
  static std::unique_ptr<TempFolder> folder;
  return folder;
}

TRef<ITreeItem> AddItem(const TRef<ITreeItemList>& list,
                        std::unique_ptr<TPageTemplateStructureElement> element) {
  TRef<ITreeItem> item = HandOverToRef<ITreeItem>(std::move(element));
  list->Add(item);
  return item;
}

}  // namespace

void TRendererTest::SetUpTestSuite() {
  Folders() = std::make_unique<TempFolder>();
  SetProgramFolder(Folders()->File("program"));
  SetUserDataFolder(Folders()->File("user"));
  if (MainPlugins() == nullptr) SetMainPlugins(std::make_unique<TPlugins>());
  PageTemplatesStartup();
  ElementsStartup();
}

void TRendererTest::TearDownTestSuite() {
  ElementsShutdown();
  PageTemplatesShutdown();
  SetMainPlugins(nullptr);
  ClearFrameworkFolders();
  Folders().reset();
}

// ---- TTestShow ----

TTestShow::TTestShow() = default;

TTestShow::~TTestShow() {
  treeRef_.Reset();
  Free(tree_);
}

void TTestShow::AddPictures(TSlideShowObjectList& list, int count) {
  AddExtPictures(list, count);
}

TContainerSlideShowObject& TTestShow::AddChapter(TSlideShowObjectList& list) {
  auto chapter = std::make_unique<TContainerSlideShowObject>();
  TContainerSlideShowObject& added = *chapter;
  list.Add(std::move(chapter));
  added.CreateChildren();
  return added;
}

const TRef<ITree>& TTestShow::Tree() {
  if (!tree_) {
    tree_ = std::make_unique<TCustomTree>();
    BuildSlideShowTree(document_, *tree_);
    treeRef_ = TRef<ITree>(tree_.get());
  }
  return treeRef_;
}

// ---- TTestProject ----

TTestProject::TTestProject() = default;

TPageTemplate& TTestProject::AddTemplate() {
  if (!firstUsed_) {
    firstUsed_ = true;
    return *project_.FirstTemplate();
  }
  auto pageTemplate = std::make_unique<TPrintWizardPageTemplate>();
  TPageTemplate& added = *pageTemplate;
  project_.Templates().Add(std::move(pageTemplate));
  return added;
}

TPrintPageElementPicture& TTestProject::AddPicture(TPageTemplate& pageTemplate) {
  auto element = std::make_unique<TPrintPageElementPicture>();
  TPrintPageElementPicture& added = *element;
  pageTemplate.Elements().Add(std::move(element));
  return added;
}

TPrintPageElementUserText& TTestProject::AddText(TPageTemplate& pageTemplate) {
  auto element = std::make_unique<TPrintPageElementUserText>();
  TPrintPageElementUserText& added = *element;
  pageTemplate.Elements().Add(std::move(element));
  return added;
}

// ---- structure ----

TRef<ITreeItem> AddPage(const TRef<ITreeItemList>& list, uint32_t templateID) {
  auto page = std::make_unique<TPageTemplateStructureElementPage>();
  page->PageProperties().SetTemplateID(templateID);
  return AddItem(list, std::move(page));
}

TRef<ITreeItem> AddLoop(const TRef<ITreeItemList>& list, std::unique_ptr<TStructureEvent> event,
                        uint8_t mode) {
  auto loop = std::make_unique<TSlideShowPageTemplateStructureElementLoop>();
  loop->LoopProperties().SetEvent(std::move(event));
  loop->LoopProperties().SetMode(mode);
  return AddItem(list, std::move(loop));
}

TRef<ITreeItem> AddEvent(const TRef<ITreeItemList>& list, std::unique_ptr<TStructureEvent> event) {
  auto element = std::make_unique<TPageTemplateSlideShowStructureElementEvent>();
  element->EventProperties().SetEvent(std::move(event));
  return AddItem(list, std::move(element));
}

TRef<ITreeItem> AddJump(const TRef<ITreeItemList>& list, std::unique_ptr<TStructureJump> jump) {
  auto element = std::make_unique<TSlideShowPageTemplateStructureElementJump>();
  element->JumpProperties().SetJump(std::move(jump));
  return AddItem(list, std::move(element));
}

TRef<ITreeItem> AddJumpMark(const TRef<ITreeItemList>& list, const std::string& name) {
  auto element = std::make_unique<TPageTemplateStructureElementJumpMark>();
  element->JumpMarkProperties().SetName(name);
  return AddItem(list, std::move(element));
}

// ---- results ----

std::vector<std::string> PageTexts(const TRenderPageTemplateList& pages) {
  std::vector<std::string> texts;
  for (int32_t i = 0; i < pages.Count(); ++i) {
    const TRenderPageTemplateListItem& page = *pages.Items(i);
    if (page.Blank()) {
      texts.push_back("blank");
      continue;
    }
    std::string text;
    for (int32_t e = 0; e < page.Elements().Count(); ++e) {
      const TSlideShowObject* object = SlideShowObjectOf(page.Elements().Items(e)->Object());
      if (!text.empty()) text += ' ';
      text += object != nullptr ? object->PathText() : "-";
    }
    texts.push_back(text);
  }
  return texts;
}

std::unique_ptr<TRenderPageTemplateList> RenderPages(TTestProject& project, TTestShow& show,
                                                     bool insertBlankPages) {
  TSlideShowVirtualProjectRenderer renderer;
  renderer.SetProject(&project.Project());
  renderer.SetSlideShowTree(show.Tree());
  renderer.SetInsertBlankPages(insertBlankPages);
  return renderer.Execute();
}

// ---- bytes ----

namespace {

template <typename Write>
std::string Written(Write write) {
  TMemoryStream bytes;
  TCSFStreamWinTypes csf(bytes, CSFMode::Headerless);
  csf.SetFileType(kCopyFileType);
  csf.SetFileVersion(kCopyFileVersion);
  EXPECT_TRUE(write(csf));
  csf.Release();
  return bytes.ToString();
}

}  // namespace

std::string WriteStreamable(const ICSFStreamable& item) {
  return Written([&](TCSFStream& csf) { return item.WriteToStream(csf); });
}

std::string WriteBag(const TProperties& bag) {
  return Written([&](TCSFStream& csf) { return bag.WriteToStream(csf); });
}

bool ReadBag(TProperties& bag, const std::string& bytes) {
  TMemoryStream stream(bytes);
  TCSFStreamWinTypes csf(stream, CSFMode::HeaderlessRead);
  csf.SetFileType(kCopyFileType);
  csf.SetFileVersion(kCopyFileVersion);
  return bag.ReadFromStream(csf);
}

int32_t Int32At(const std::string& bytes, size_t offset) {
  uint32_t value = 0;
  for (size_t i = 0; i < 4; ++i) {
    value |= static_cast<uint32_t>(static_cast<uint8_t>(bytes.at(offset + i))) << (8 * i);
  }
  return static_cast<int32_t>(value);
}

}  // namespace nimbra::test
