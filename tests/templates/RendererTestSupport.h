// Shared pieces of the structure and renderer tests: the units started once per suite, slideshows
// made of real picture and chapter objects, projects with real picture and text elements, and
// structures built item by item.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "elements/PrintPageElementPicture.h"
#include "elements/PrintPageElementUserText.h"
#include "framework/CustomTree.h"
#include "slideshow/CollectionSlideShowObject.h"
#include "slideshow/SlideShow.h"
#include "templates/PageTemplateProject.h"
#include "templates/RenderPageTemplateList.h"
#include "templates/StructureElements.h"

namespace nimbra::test {

// Starts the page-template and element units (and a main registry) for the suite.
class TRendererTest : public ::testing::Test {
 public:
  static void SetUpTestSuite();
  static void TearDownTestSuite();
};

// A slideshow document and its tree.
class TTestShow {
 public:
  TTestShow();
  ~TTestShow();

  TSlideShow& Document() { return document_; }
  TSlideShowObjectList& Root() { return document_.RootList(); }
  // Appends count pictures to the list.
  void AddPictures(TSlideShowObjectList& list, int count);
  TContainerSlideShowObject& AddChapter(TSlideShowObjectList& list);
  // The tree of the document as it stands now (built on the first call).
  const TRef<ITree>& Tree();

 private:
  TSlideShow document_;
  std::unique_ptr<TCustomTree> tree_;
  TRef<ITree> treeRef_;
};

// A project whose templates are picture-and-text pages.
class TTestProject {
 public:
  TTestProject();

  TPrintWizardPageTemplateProject& Project() { return project_; }
  // A new template (the project's first one for the first call) and its ID.
  TPageTemplate& AddTemplate();
  static TPrintPageElementPicture& AddPicture(TPageTemplate& pageTemplate);
  static TPrintPageElementUserText& AddText(TPageTemplate& pageTemplate);
  TRef<ITreeItemList> Roots() { return project_.Structure().GetItems(); }

 private:
  TPrintWizardPageTemplateProject project_;
  bool firstUsed_ = false;
};

// Appends count picture objects (TExtPicSlideShowObject) to the list. It lives in a file of its
// own: the picture kind's header and the template headers both declare a TPixelRect.
void AddExtPictures(TSlideShowObjectList& list, int count);

// Structure items, appended to a list; bodies go into NeedChildren() of the returned item.
TRef<ITreeItem> AddPage(const TRef<ITreeItemList>& list, uint32_t templateID);
TRef<ITreeItem> AddLoop(const TRef<ITreeItemList>& list, std::unique_ptr<TStructureEvent> event,
                        uint8_t mode);
TRef<ITreeItem> AddEvent(const TRef<ITreeItemList>& list, std::unique_ptr<TStructureEvent> event);
TRef<ITreeItem> AddJump(const TRef<ITreeItemList>& list, std::unique_ptr<TStructureJump> jump);
TRef<ITreeItem> AddJumpMark(const TRef<ITreeItemList>& list, const std::string& name);

// Each page as the bound objects' path texts joined by spaces ("-" for none), or "blank".
std::vector<std::string> PageTexts(const TRenderPageTemplateList& pages);
// The pages of the project over the show, made by the slideshow renderer.
std::unique_ptr<TRenderPageTemplateList> RenderPages(TTestProject& project, TTestShow& show,
                                                     bool insertBlankPages = false);

// The bytes WriteToStream of the item or bag writes on a headerless stream of the newest version.
std::string WriteStreamable(const ICSFStreamable& item);
std::string WriteBag(const TProperties& bag);
bool ReadBag(TProperties& bag, const std::string& bytes);
// The 32-bit little-endian value at the offset.
int32_t Int32At(const std::string& bytes, size_t offset);

}  // namespace nimbra::test
