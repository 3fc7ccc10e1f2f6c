#include <gtest/gtest.h>

#include "RendererTestSupport.h"
#include "slideshow/SlideShowTree.h"
#include "templates/VirtualProjectRenderer.h"

namespace nimbra {
namespace {

using test::AddEvent;
using test::AddJump;
using test::AddJumpMark;
using test::AddLoop;
using test::AddPage;
using test::PageTexts;
using test::RenderPages;
using test::TTestProject;
using test::TTestShow;

using Texts = std::vector<std::string>;

class VirtualProjectRendererTest : public test::TRendererTest {};

// A template of the project with the given number of picture elements; yields its ID.
uint32_t PictureTemplate(TTestProject& project, int pictures) {
  TPageTemplate& pageTemplate = project.AddTemplate();
  for (int i = 0; i < pictures; ++i) TTestProject::AddPicture(pageTemplate);
  return pageTemplate.ID();
}

// A loop until the list ends, tested before each run, around one page of the template.
TRef<ITreeItem> LoopOverPage(TTestProject& project, uint32_t templateID) {
  TRef<ITreeItem> loop =
      AddLoop(project.Roots(), std::make_unique<TStructureEventOnListEnd>(), kLoopChecksBefore);
  AddPage(loop->NeedChildren(), templateID);
  return loop;
}

// A chapter of pictures at the start of the show, then pictures on the first level.
void AddChapterThenPictures(TTestShow& show, int inChapter, int after) {
  TContainerSlideShowObject& chapter = show.AddChapter(show.Root());
  show.AddPictures(*chapter.Children(), inChapter);
  show.AddPictures(show.Root(), after);
}

TEST_F(VirtualProjectRendererTest, TenPicturesFillThreeFourPicturePages) {
  TTestProject project;
  LoopOverPage(project, PictureTemplate(project, 4));
  TTestShow show;
  show.AddPictures(show.Root(), 10);
  const auto pages = RenderPages(project, show);
  EXPECT_EQ(PageTexts(*pages), (Texts{"1 2 3 4", "5 6 7 8", "9 10 - -"}));
  for (int32_t i = 0; i < pages->Count(); ++i) {
    EXPECT_EQ(pages->Items(i)->PageIndex(), i);
    EXPECT_EQ(pages->Items(i)->Template(), project.Project().FirstTemplate());
    EXPECT_EQ(pages->Items(i)->Elements().Items(0)->Element(),
              project.Project().FirstTemplate()->Elements().Items(0));
  }
}

TEST_F(VirtualProjectRendererTest, EmptySlideShowGivesNoPages) {
  TTestProject project;
  LoopOverPage(project, PictureTemplate(project, 4));
  TTestShow show;
  EXPECT_EQ(RenderPages(project, show)->Count(), 0);
}

TEST_F(VirtualProjectRendererTest, TextShowsThePictureAfterItAndTheNextBeforeIt) {
  TTestProject project;
  TPageTemplate& pageTemplate = project.AddTemplate();
  TTestProject::AddText(pageTemplate);
  TTestProject::AddPicture(pageTemplate);
  TTestProject::AddText(pageTemplate);
  LoopOverPage(project, pageTemplate.ID());
  TTestShow show;
  show.AddPictures(show.Root(), 3);
  EXPECT_EQ(PageTexts(*RenderPages(project, show)), (Texts{"1 1 2", "2 2 3", "3 3 -"}));
}

TEST_F(VirtualProjectRendererTest, BlankPagesBringSideOneTemplatesOntoEvenPages) {
  TTestProject project;
  const uint32_t id = PictureTemplate(project, 2);
  project.Project().FirstTemplate()->Properties().SetSide(kPageSideEven);
  LoopOverPage(project, id);
  TTestShow show;
  show.AddPictures(show.Root(), 4);

  const auto pages = RenderPages(project, show, true);
  EXPECT_EQ(PageTexts(*pages), (Texts{"blank", "1 2", "blank", "3 4"}));
  const TRenderPageTemplateListItem& blank = *pages->Items(0);
  EXPECT_EQ(blank.PageIndex(), 0);
  EXPECT_EQ(pages->Items(3)->PageIndex(), 3);
  ASSERT_NE(blank.Template(), nullptr);
  EXPECT_NE(blank.Template(), project.Project().FirstTemplate());
  EXPECT_EQ(blank.Template()->Elements().Count(), 0);
  EXPECT_EQ(blank.Template()->Project(), &project.Project());
  EXPECT_EQ(blank.Elements().Count(), 0);

  EXPECT_EQ(PageTexts(*RenderPages(project, show, false)), (Texts{"1 2", "3 4"}));
}

TEST_F(VirtualProjectRendererTest, ChaptersAreEnteredButNeverBound) {
  TTestProject project;
  LoopOverPage(project, PictureTemplate(project, 4));
  TTestShow show;
  AddChapterThenPictures(show, 2, 1);
  EXPECT_EQ(PageTexts(*RenderPages(project, show)), (Texts{"1.1 1.2 2 -"}));
}

TEST_F(VirtualProjectRendererTest, ChapterEventRunsItsBodyAtEachChapter) {
  // A loop around an event on chapters (body: page A) and page B, each with one picture.
  TTestProject project;
  const uint32_t pageA = PictureTemplate(project, 1);
  const uint32_t pageB = PictureTemplate(project, 1);
  TRef<ITreeItem> loop =
      AddLoop(project.Roots(), std::make_unique<TStructureEventOnListEnd>(), kLoopChecksBefore);
  AddPage(AddEvent(loop->NeedChildren(), std::make_unique<TStructureEventOnChapter>())
              ->NeedChildren(),
          pageA);
  AddPage(loop->NeedChildren(), pageB);
  TTestShow show;
  show.AddPictures(show.Root(), 1);
  TContainerSlideShowObject& chapter = show.AddChapter(show.Root());
  show.AddPictures(*chapter.Children(), 2);
  show.AddPictures(show.Root(), 1);

  const auto pages = RenderPages(project, show);
  // The event fires while page B advances onto the chapter: the position moves past it, and the
  // body's page binds the chapter's first picture.
  EXPECT_EQ(PageTexts(*pages), (Texts{"1", "2.1", "2.2", "3"}));
  std::vector<uint32_t> templates;
  for (int32_t i = 0; i < pages->Count(); ++i) templates.push_back(pages->Items(i)->Template()->ID());
  EXPECT_EQ(templates, (std::vector<uint32_t>{pageB, pageA, pageB, pageB}));
}

TEST_F(VirtualProjectRendererTest, EndlessJumpLoopStopsAtThePageLimit) {
  TTestProject project;
  TRef<ITreeItem> loop = LoopOverPage(project, PictureTemplate(project, 4));
  AddJump(loop->NeedChildren(), std::make_unique<TStructureJumpToListBegin>());
  TTestShow show;
  show.AddPictures(show.Root(), 10);
  const auto pages = RenderPages(project, show);
  // L = 3 structure items + 10 objects + 1; the walk stops once more than 100 × L pages exist.
  ASSERT_EQ(pages->Count(), 1401);
  for (const std::string& page : PageTexts(*pages)) ASSERT_EQ(page, "1 2 3 4");
}

TEST_F(VirtualProjectRendererTest, LoopWithoutPagesStopsAtTheStepLimit) {
  TTestProject project;
  TRef<ITreeItem> loop =
      AddLoop(project.Roots(), std::make_unique<TStructureEventOnListEnd>(), kLoopChecksBefore);
  AddJump(loop->NeedChildren(), std::make_unique<TStructureJumpToListBegin>());
  TTestShow show;
  show.AddPictures(show.Root(), 3);
  EXPECT_EQ(RenderPages(project, show)->Count(), 0);
}

TEST_F(VirtualProjectRendererTest, MissingTemplateEndsTheWalkKeepingThePagesMade) {
  TTestProject project;
  const uint32_t id = PictureTemplate(project, 2);
  AddPage(project.Roots(), id);
  AddPage(project.Roots(), 99);
  AddPage(project.Roots(), id);
  TTestShow show;
  show.AddPictures(show.Root(), 6);
  EXPECT_EQ(PageTexts(*RenderPages(project, show)), (Texts{"1 2"}));
}

TEST_F(VirtualProjectRendererTest, FiringEventWithoutBodyEndsTheWalk) {
  TTestProject project;
  const uint32_t id = PictureTemplate(project, 1);
  AddPage(project.Roots(), id);
  AddEvent(project.Roots(), std::make_unique<TStructureEventOnListEnd>());
  AddPage(project.Roots(), id);
  TTestShow show;
  show.AddPictures(show.Root(), 1);
  // The first page binds the only picture; at the list end the event fires with nothing to run.
  EXPECT_EQ(PageTexts(*RenderPages(project, show)), (Texts{"1"}));
}

TEST_F(VirtualProjectRendererTest, JumpReturnsToTheMarkedObject) {
  TTestProject project;
  const uint32_t id = PictureTemplate(project, 1);
  const TRef<ITreeItemList> roots = project.Roots();
  AddPage(roots, id);
  AddJumpMark(roots, "Mitte");
  AddPage(roots, id);
  auto toMark = std::make_unique<TStructureJumpToJumpMark>();
  toMark->JumpMarkProperties().SetJumpMarkName("mitte");
  AddJump(roots, std::move(toMark));
  AddPage(roots, id);
  TTestShow show;
  show.AddPictures(show.Root(), 5);
  EXPECT_EQ(PageTexts(*RenderPages(project, show)), (Texts{"1", "2", "2"}));
}

TEST_F(VirtualProjectRendererTest, EmptyInnerLoopLeavesTheOuterLoopWorking) {
  TTestProject project;
  const uint32_t id = PictureTemplate(project, 4);
  TRef<ITreeItem> outer =
      AddLoop(project.Roots(), std::make_unique<TStructureEventOnListEnd>(), kLoopChecksBefore);
  AddLoop(outer->NeedChildren(), std::make_unique<TStructureEventOnListEnd>(), kLoopChecksBefore);
  AddPage(outer->NeedChildren(), id);
  TTestShow show;
  show.AddPictures(show.Root(), 10);
  EXPECT_EQ(PageTexts(*RenderPages(project, show)), (Texts{"1 2 3 4", "5 6 7 8", "9 10 - -"}));
}

TEST_F(VirtualProjectRendererTest, CreatePageClonesTheTemplateWithBoundElements) {
  TTestProject project;
  TPageTemplate& pageTemplate = project.AddTemplate();
  pageTemplate.Properties().SetName("Bilder");
  TTestProject::AddPicture(pageTemplate);
  TTestProject::AddText(pageTemplate).TextProperties().SetText("%Titel%");
  TTestProject::AddPicture(pageTemplate);
  LoopOverPage(project, pageTemplate.ID());
  TTestShow show;
  show.AddPictures(show.Root(), 3);
  const auto pages = RenderPages(project, show);
  ASSERT_EQ(pages->Count(), 2);

  const std::unique_ptr<TPageTemplate> page = pages->Items(1)->CreatePage();
  ASSERT_NE(page, nullptr);
  EXPECT_NE(page.get(), &pageTemplate);
  EXPECT_EQ(page->PageNumber(), 2);
  EXPECT_EQ(page->Properties().Name(), "Bilder");
  EXPECT_EQ(page->Project(), &project.Project());
  EXPECT_EQ(pageTemplate.Elements().Count(), 3);
  ASSERT_EQ(page->Elements().Count(), 3);
  auto* first = dynamic_cast<TPrintPageElementPicture*>(page->Elements().Items(0));
  ASSERT_NE(first, nullptr);
  EXPECT_NE(first, pageTemplate.Elements().Items(0));
  EXPECT_EQ(first->BoundObject(), show.Root().Items(2));
  EXPECT_EQ(dynamic_cast<TPrintPageElementUserText&>(*page->Elements().Items(1))
                .TextProperties()
                .Text(),
            "%Titel%");
  auto* last = dynamic_cast<TPrintPageElementPicture*>(page->Elements().Items(2));
  ASSERT_NE(last, nullptr);
  EXPECT_FALSE(last->GetBoundObject());
  // The template itself stays unbound.
  EXPECT_FALSE(dynamic_cast<TPrintPageElementPicture&>(*pageTemplate.Elements().Items(0))
                   .GetBoundObject());
}

TEST_F(VirtualProjectRendererTest, StructureWithEmptyFirstLevelOrNoProjectGivesNoPages) {
  TTestProject project;
  PictureTemplate(project, 1);
  TTestShow show;
  show.AddPictures(show.Root(), 2);
  EXPECT_EQ(RenderPages(project, show)->Count(), 0);
  TSlideShowVirtualProjectRenderer renderer;
  renderer.SetSlideShowTree(show.Tree());
  EXPECT_EQ(renderer.Execute()->Count(), 0);
}

TEST_F(VirtualProjectRendererTest, WalkFollowsTheSlideShowTreeChangedBetweenWalks) {
  TTestProject project;
  LoopOverPage(project, PictureTemplate(project, 2));
  TTestShow show;
  AddChapterThenPictures(show, 2, 2);
  TSlideShowVirtualProjectRenderer renderer;
  renderer.SetProject(&project.Project());
  renderer.SetSlideShowTree(show.Tree());
  EXPECT_EQ(PageTexts(*renderer.Execute()), (Texts{"1.1 1.2", "2 3"}));
  // The chapter's second picture leaves the tree and the last picture moves into the chapter.
  const TRef<ITreeItemList> roots = show.Tree()->GetItems();
  const TRef<ITreeItemList> inChapter = roots->GetItem(0)->GetChildren();
  inChapter->Delete(1);
  const TRef<ITreeItem> moved = roots->GetItem(2);
  roots->Remove(moved);
  inChapter->Add(moved);
  EXPECT_EQ(PageTexts(*renderer.Execute()), (Texts{"1.1 3", "2 -"}));
}

TEST_F(VirtualProjectRendererTest, BaseRendererBindsChaptersToo) {
  TTestProject project;
  LoopOverPage(project, PictureTemplate(project, 2));
  TTestShow show;
  TContainerSlideShowObject& chapter = show.AddChapter(show.Root());
  show.AddPictures(*chapter.Children(), 1);
  TVirtualProjectRenderer renderer;
  renderer.SetProject(&project.Project());
  renderer.SetSlideShowTree(show.Tree());
  EXPECT_EQ(PageTexts(*renderer.Execute()), (Texts{"1 1.1"}));
}

}  // namespace
}  // namespace nimbra
