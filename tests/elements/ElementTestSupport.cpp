#include "ElementTestSupport.h"

#include "TempFolder.h"
#include "elements/ElementRegistration.h"
#include "framework/FrameworkFolders.h"
#include "framework/Plugins.h"
#include "slideshow/SlideShowTree.h"
#include "storage/CSFStreamWinTypes.h"
#include "storage/MemoryStream.h"
#include "templates/TemplateRegistration.h"

namespace nimbra::test {

NIMBRA_DEFINE_PLUGIN(TTestPicture, TSlideShowObject)
NIMBRA_DEFINE_PLUGIN(TTestChapter, TSlideShowObject)

namespace {

// Picture names are also looked for in the program's and the user's folders; these point into a
// private folder, so looking never touches the real ones.
std::unique_ptr<TempFolder>& Folders() {
  static std::unique_ptr<TempFolder> folder;
  return folder;
}

}  // namespace

void TElementsTest::SetUpTestSuite() {
  Folders() = std::make_unique<TempFolder>();
  SetProgramFolder(Folders()->File("program"));
  SetUserDataFolder(Folders()->File("user"));
  if (MainPlugins() == nullptr) SetMainPlugins(std::make_unique<TPlugins>());
  PageTemplatesStartup();
  ElementsStartup();
}

void TElementsTest::TearDownTestSuite() {
  ElementsShutdown();
  PageTemplatesShutdown();
  SetMainPlugins(nullptr);
  ClearFrameworkFolders();
  Folders().reset();
}

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

template <typename Read>
bool ReadBack(const std::string& bytes, Read read) {
  TMemoryStream stream(bytes);
  TCSFStreamWinTypes csf(stream, CSFMode::HeaderlessRead);
  csf.SetFileType(kCopyFileType);
  csf.SetFileVersion(kCopyFileVersion);
  return read(csf);
}

}  // namespace

std::string WriteBag(const TProperties& bag) {
  return Written([&](TCSFStream& csf) { return bag.WriteToStream(csf); });
}

bool ReadBag(TProperties& bag, const std::string& bytes) {
  return ReadBack(bytes, [&](TCSFStream& csf) { return bag.ReadFromStream(csf); });
}

std::string WriteElement(const TPageElement& element) {
  return Written([&](TCSFStream& csf) { return element.WriteToStream(csf); });
}

bool ReadElement(TPageElement& element, const std::string& bytes) {
  return ReadBack(bytes, [&](TCSFStream& csf) { return element.ReadFromStream(csf); });
}

TRef<ITreeItem> ItemFor(TSlideShowObject& object) {
  return HandOverToRef<ITreeItem>(std::make_unique<TSlideShowTreeItem>(&object));
}

TRef<ITreeItem> AddChildItem(ITreeItem& parent, TSlideShowObject& object) {
  TRef<ITreeItem> child = ItemFor(object);
  parent.NeedChildren()->Add(child);
  return child;
}

}  // namespace nimbra::test
