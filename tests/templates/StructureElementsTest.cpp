#include <gtest/gtest.h>

#include "RendererTestSupport.h"
#include "framework/Plugins.h"
#include "framework/TreeImplement.h"
#include "storage/CSFStreamWinTypes.h"
#include "storage/MemoryStream.h"
#include "templates/JumpMarkInfo.h"

namespace nimbra {
namespace {

using test::AddEvent;
using test::AddJump;
using test::AddJumpMark;
using test::AddLoop;
using test::AddPage;
using test::Int32At;
using test::TTestProject;
using test::TTestShow;

class StructureElementsTest : public test::TRendererTest {};

std::string StructureBytes(const TPageTemplateStructure& structure) {
  TMemoryStream bytes;
  TCSFStreamWinTypes csf(bytes, CSFMode::Headerless);
  csf.SetFileType(kTemplateProjectFileType);
  csf.SetFileVersion(kTemplateProjectFileVersion);
  EXPECT_TRUE(structure.WriteToStream(csf));
  csf.Release();
  return bytes.ToString();
}

std::string ProjectBytes(const TPrintWizardPageTemplateProject& project) {
  TMemoryStream bytes;
  EXPECT_TRUE(project.SaveToStream(bytes));
  return bytes.ToString();
}

TRef<IJumpMarkInfo> Mark(const std::string& name, const TRef<ITreeItem>& object) {
  TRef<IJumpMarkInfo> mark(new TJumpMarkInfo);
  mark->SetName(name);
  mark->SetObject(object);
  mark->SetValid(true);
  return mark;
}

TEST_F(StructureElementsTest, EventElementStoresClassNameAndEventWithoutFurtherWrapper) {
  TPageTemplateStructureElementEvent element;
  element.EventProperties().SetEvent(std::make_unique<TStructureEventOnChapter>());
  const std::string bytes = test::WriteStreamable(element);
  ASSERT_EQ(bytes.size(), 40u);
  EXPECT_EQ(Int32At(bytes, 0), 40);
  EXPECT_EQ(Int32At(bytes, 4), 24);
  EXPECT_EQ(bytes.substr(8, 24), "TStructureEventOnChapter");
  // The sub-chunk around the event's own stored form, which is a sub-chunk around its empty bag.
  EXPECT_EQ(Int32At(bytes, 32), 8);
  EXPECT_EQ(Int32At(bytes, 36), 4);
}

// A loop with TStructureEventOnListEnd and Mode 0 around three pages.
TEST_F(StructureElementsTest, LoopAroundThreePagesHasTheDocumentedLayout) {
  TTestProject project;
  TRef<ITreeItem> loop =
      AddLoop(project.Roots(), std::make_unique<TStructureEventOnListEnd>(), kLoopChecksBefore);
  for (uint32_t id : {3u, 4u, 5u}) AddPage(loop->NeedChildren(), id);
  const std::string bytes = StructureBytes(project.Project().Structure());

  ASSERT_EQ(bytes.size(), 270u);
  EXPECT_EQ(Int32At(bytes, 0), 270);
  EXPECT_EQ(Int32At(bytes, 4), 266);
  EXPECT_EQ(Int32At(bytes, 8), 262);
  EXPECT_EQ(Int32At(bytes, 12), 1);
  EXPECT_EQ(Int32At(bytes, 16), 95);
  EXPECT_EQ(bytes.substr(24, 42), "TSlideShowPageTemplateStructureElementLoop");
  EXPECT_EQ(Int32At(bytes, 66), 45);
  EXPECT_EQ(Int32At(bytes, 70), 41);
  EXPECT_EQ(bytes.substr(78, 24), "TStructureEventOnListEnd");
  EXPECT_EQ(Int32At(bytes, 102), 8);
  EXPECT_EQ(Int32At(bytes, 106), 4);
  EXPECT_EQ(bytes[110], 0);  // Mode
  EXPECT_EQ(bytes[111], 1);  // children follow
  EXPECT_EQ(Int32At(bytes, 112), 158);
  EXPECT_EQ(Int32At(bytes, 116), 3);
  for (int page = 0; page < 3; ++page) {
    const size_t at = 120 + 50 * static_cast<size_t>(page);
    EXPECT_EQ(Int32At(bytes, at), 49);
    EXPECT_EQ(bytes.substr(at + 8, 33), "TPageTemplateStructureElementPage");
    EXPECT_EQ(Int32At(bytes, at + 41), 8);
    EXPECT_EQ(Int32At(bytes, at + 45), 3 + page);
    EXPECT_EQ(bytes[at + 49], 0);
  }
}

TEST_F(StructureElementsTest, EveryKindAndBagFieldReadsBackFromAProject) {
  TTestProject source;
  const TRef<ITreeItemList> roots = source.Roots();
  AddPage(roots, 7);
  auto chapterEnd = std::make_unique<TStructureEventOnChapterEnd>();
  chapterEnd->ChapterEndProperties().SetMode(kChapterEndFromJumpMark);
  chapterEnd->ChapterEndProperties().SetJumpMarkName("Kapitelmarke");
  AddPage(AddEvent(roots, std::move(chapterEnd))->NeedChildren(), 1);
  auto toMark = std::make_unique<TStructureJumpToJumpMark>();
  toMark->JumpMarkProperties().SetJumpMarkName("Ende");
  AddJump(roots, std::move(toMark));
  AddJump(roots, std::make_unique<TStructureJumpToListBegin>());
  AddJumpMark(roots, "Ende");
  auto plainLoop = std::make_unique<TPageTemplateStructureElementLoop>();
  plainLoop->LoopProperties().SetEvent(std::make_unique<TStructureEventOnChapter>());
  plainLoop->LoopProperties().SetMode(kLoopChecksBeforeAndAfter);
  TRef<ITreeItem> loop = HandOverToRef<ITreeItem>(std::move(plainLoop));
  roots->Add(loop);
  AddLoop(loop->NeedChildren(), nullptr, kLoopChecksAfter);
  roots->Add(HandOverToRef<ITreeItem>(std::make_unique<TPageTemplateStructureElementEvent>()));
  roots->Add(HandOverToRef<ITreeItem>(std::make_unique<TPageTemplateStructureElementJump>()));

  const std::string saved = ProjectBytes(source.Project());
  TPrintWizardPageTemplateProject read;
  TMemoryStream stream(saved);
  ASSERT_TRUE(read.LoadFromStream(stream));
  EXPECT_EQ(ProjectBytes(read), saved);

  const TRef<ITreeItemList> items = read.Structure().GetItems();
  ASSERT_EQ(items->Count(), 8);
  const auto at = [&](int32_t index) { return items->GetItem(index)->GetObject(); };
  EXPECT_EQ(dynamic_cast<TPageTemplateStructureElementPage&>(*at(0)).PageProperties().TemplateID(),
            7u);

  auto& event = dynamic_cast<TPageTemplateSlideShowStructureElementEvent&>(*at(1));
  auto* readEnd = dynamic_cast<TStructureEventOnChapterEnd*>(event.EventProperties().Event());
  ASSERT_NE(readEnd, nullptr);
  EXPECT_EQ(readEnd->ChapterEndProperties().Mode(), kChapterEndFromJumpMark);
  EXPECT_EQ(readEnd->ChapterEndProperties().JumpMarkName(), "Kapitelmarke");
  ASSERT_TRUE(items->GetItem(1)->HasChildren());

  auto& jump = dynamic_cast<TSlideShowPageTemplateStructureElementJump&>(*at(2));
  auto* readToMark = dynamic_cast<TStructureJumpToJumpMark*>(jump.JumpProperties().Jump());
  ASSERT_NE(readToMark, nullptr);
  EXPECT_EQ(readToMark->JumpMarkProperties().JumpMarkName(), "Ende");
  EXPECT_NE(dynamic_cast<TStructureJumpToListBegin*>(
                dynamic_cast<TPageTemplateStructureElementJump&>(*at(3)).JumpProperties().Jump()),
            nullptr);
  EXPECT_EQ(dynamic_cast<TPageTemplateStructureElementJumpMark&>(*at(4)).JumpMarkProperties().Name(),
            "Ende");

  auto& readLoop = dynamic_cast<TPageTemplateStructureElementLoop&>(*at(5));
  EXPECT_EQ(readLoop.ClassType().ClassName(), "TPageTemplateStructureElementLoop");
  EXPECT_NE(dynamic_cast<TStructureEventOnChapter*>(readLoop.LoopProperties().Event()), nullptr);
  EXPECT_EQ(readLoop.LoopProperties().Mode(), kLoopChecksBeforeAndAfter);
  const TRef<ITreeItem> inner = TTreeImplement::GetFirstChild(items->GetItem(5));
  ASSERT_TRUE(inner);
  auto& innerLoop = dynamic_cast<TSlideShowPageTemplateStructureElementLoop&>(*inner->GetObject());
  EXPECT_EQ(innerLoop.LoopProperties().Event(), nullptr);
  EXPECT_EQ(innerLoop.LoopProperties().Mode(), kLoopChecksAfter);

  EXPECT_EQ(dynamic_cast<TPageTemplateStructureElementEvent&>(*at(6)).EventProperties().Event(),
            nullptr);
  EXPECT_EQ(dynamic_cast<TPageTemplateStructureElementJump&>(*at(7)).JumpProperties().Jump(),
            nullptr);
}

TEST_F(StructureElementsTest, LoopBagWithoutEventKeepsModeReadable) {
  TStructureElementLoopProperties bag;
  bag.SetMode(kLoopChecksBeforeAndAfter);
  const std::string bytes = test::WriteBag(bag);
  // The sub-chunk: its length, the empty class name, then Mode directly.
  EXPECT_EQ(bytes, std::string("\x09\0\0\0\0\0\0\0\x02", 9));
  TStructureElementLoopProperties read;
  ASSERT_TRUE(test::ReadBag(read, bytes));
  EXPECT_EQ(read.Mode(), kLoopChecksBeforeAndAfter);
  EXPECT_EQ(read.Event(), nullptr);
}

TEST_F(StructureElementsTest, UnknownEventClassLeavesNoEventAndTheStreamInStep) {
  // A loop element whose event class is unknown, followed by a marker value.
  TMemoryStream bytes;
  {
    TCSFStreamWinTypes csf(bytes, CSFMode::Headerless);
    csf.BeginSubChunk();  // element
    csf.BeginSubChunk();  // loop bag
    csf.WriteString("TStructureEventFromTheFuture");
    csf.BeginSubChunk();
    csf.WriteInteger(12345);
    csf.EndSubChunk();
    csf.WriteByte(kLoopChecksAfter);
    csf.EndSubChunk();
    csf.EndSubChunk();
    csf.WriteInteger(0x600DF00D);
    csf.Release();
  }
  TPageTemplateStructureElementLoop loop;
  loop.LoopProperties().SetEvent(std::make_unique<TStructureEventOnListEnd>());
  bytes.SetPosition(0);
  TCSFStreamWinTypes reader(bytes, CSFMode::HeaderlessRead);
  EXPECT_TRUE(loop.ReadFromStream(reader));
  EXPECT_EQ(loop.LoopProperties().Event(), nullptr);
  EXPECT_EQ(loop.LoopProperties().Mode(), kLoopChecksBefore);
  EXPECT_EQ(reader.ReadInteger(), 0x600DF00D);
  // A loop without an event ends as soon as it is tested.
  EXPECT_TRUE(loop.IsLoopEnd(nullptr, nullptr, {}));
}

TEST_F(StructureElementsTest, ChapterConditionsLookAtTheChapterItself) {
  TTestShow show;
  show.AddPictures(show.Root(), 1);
  TContainerSlideShowObject& chapter = show.AddChapter(show.Root());
  show.AddPictures(*chapter.Children(), 2);
  show.AddChapter(show.Root());
  const TRef<ITreeItemList> roots = show.Tree()->GetItems();
  const TRef<ITreeItem> picture = roots->GetItem(0);
  const TRef<ITreeItem> chapterItem = roots->GetItem(1);
  const TRef<ITreeItem> inside = TTreeImplement::GetFirstChild(chapterItem);
  const TRef<ITreeItem> nextChapter = roots->GetItem(2);

  TStructureEventOnChapter onChapter;
  EXPECT_TRUE(onChapter.IsTriggered(chapterItem, nullptr, {}));
  EXPECT_FALSE(onChapter.IsTriggered(inside, nullptr, {}));
  EXPECT_FALSE(onChapter.IsTriggered(nullptr, nullptr, {}));

  TStructureEventOnChapterEnd chapterEnd;
  EXPECT_TRUE(chapterEnd.IsTriggered(nullptr, inside, {}));
  EXPECT_TRUE(chapterEnd.IsTriggered(chapterItem, chapterItem, {}));
  EXPECT_FALSE(chapterEnd.IsTriggered(inside, chapterItem, {}));
  EXPECT_FALSE(chapterEnd.IsTriggered(TTreeImplement::GetNextSibling(inside), inside, {}));
  EXPECT_TRUE(chapterEnd.IsTriggered(nextChapter, inside, {}));
  // Without a reference the current object is the start: inside its own chapter it never fires.
  EXPECT_FALSE(chapterEnd.IsTriggered(inside, nullptr, {}));
  // No chapter above the start.
  EXPECT_FALSE(chapterEnd.IsTriggered(nextChapter, picture, {}));

  chapterEnd.ChapterEndProperties().SetMode(kChapterEndFromJumpMark);
  chapterEnd.ChapterEndProperties().SetJumpMarkName("kapitel");
  const TJumpMarks marks = {Mark("Anfang", picture), Mark("KAPITEL", inside)};
  EXPECT_FALSE(chapterEnd.IsTriggered(inside, nullptr, marks));
  EXPECT_TRUE(chapterEnd.IsTriggered(nextChapter, nullptr, marks));
  EXPECT_FALSE(chapterEnd.IsTriggered(nextChapter, nullptr, {Mark("Anfang", picture)}));
  chapterEnd.ChapterEndProperties().SetMode(7);
  EXPECT_FALSE(chapterEnd.IsTriggered(nextChapter, inside, marks));
}

TEST_F(StructureElementsTest, JumpsFindTheirTargets) {
  TTestShow show;
  show.AddPictures(show.Root(), 3);
  const TRef<ITreeItemList> roots = show.Tree()->GetItems();
  const TJumpMarks marks = {Mark("Ende", roots->GetItem(2)), Mark("ende", roots->GetItem(1))};

  TStructureJumpToJumpMark toMark;
  toMark.JumpMarkProperties().SetJumpMarkName("ende");
  EXPECT_EQ(toMark.Target(show.Tree(), roots->GetItem(0), marks), roots->GetItem(2));
  toMark.JumpMarkProperties().SetJumpMarkName("Mitte");
  EXPECT_EQ(toMark.Target(show.Tree(), roots->GetItem(0), marks), roots->GetItem(0));
  toMark.JumpMarkProperties().SetJumpMarkName("");
  EXPECT_EQ(toMark.Target(show.Tree(), roots->GetItem(1), marks), roots->GetItem(1));

  TStructureJumpToListBegin toBegin;
  EXPECT_EQ(toBegin.Target(show.Tree(), roots->GetItem(2), marks), roots->GetItem(0));
  TTestShow empty;
  EXPECT_FALSE(toBegin.Target(empty.Tree(), nullptr, {}));

  // A jump element without a jump leaves the position; a jump mark without a name records none.
  TPageTemplateStructureElementJump jump;
  EXPECT_EQ(jump.Target(show.Tree(), roots->GetItem(1), marks), roots->GetItem(1));
  TPageTemplateStructureElementJumpMark unnamed;
  TJumpMarkInfo record;
  record.SetValid(true);
  unnamed.Record(show.Tree(), roots->GetItem(1), record);
  EXPECT_FALSE(record.GetValid());
  EXPECT_FALSE(record.GetObject());
}

TEST_F(StructureElementsTest, DisplayTextsNameTheDetails) {
  TTestProject project;
  project.Project().FirstTemplate()->Properties().SetName("Titelseite");
  const TRef<ITreeItem> page = AddPage(project.Roots(), 1);
  EXPECT_EQ(dynamic_cast<TPageTemplateStructureElement&>(*page->GetObject()).DisplayText(),
            "Seite: Titelseite");
  TPageTemplateStructureElementPage loose;
  loose.PageProperties().SetTemplateID(1);
  EXPECT_EQ(loose.DisplayText(), "Seite");

  TPageTemplateStructureElementLoop loop;
  EXPECT_EQ(loop.DisplayText(), "Wiederhole");
  loop.LoopProperties().SetEvent(std::make_unique<TStructureEventOnListEnd>());
  EXPECT_EQ(loop.DisplayText(), "Wiederhole bis Listenende  ");

  TPageTemplateStructureElementEvent event;
  event.EventProperties().SetEvent(std::make_unique<TStructureEventOnChapterEnd>());
  EXPECT_EQ(event.DisplayText(), "Ereignis: Kapitel-Ende");

  TPageTemplateStructureElementJump jump;
  auto toMark = std::make_unique<TStructureJumpToJumpMark>();
  toMark->JumpMarkProperties().SetJumpMarkName("Ende");
  jump.JumpProperties().SetJump(std::move(toMark));
  EXPECT_EQ(jump.DisplayText(), "Sprung \"Sprungmarke: Ende\"");

  TPageTemplateStructureElementJumpMark mark;
  mark.JumpMarkProperties().SetName("Ende");
  EXPECT_EQ(mark.DisplayText(), "Sprungmarke \"Ende\"");
}

TEST_F(StructureElementsTest, EventsAndJumpsAreRegisteredInOrderAndElementsByName) {
  ASSERT_NE(MainPlugins(), nullptr);
  std::vector<std::string> names;
  for (int i = 0; i < MainPlugins()->Count(); ++i) {
    names.push_back(MainPlugins()->Items(i).PluginClass().ClassName());
  }
  const std::vector<std::string> expected = {
      "TStructureEventOnListEnd", "TStructureEventOnChapter", "TStructureEventOnChapterEnd",
      "TStructureJumpToListBegin", "TStructureJumpToJumpMark"};
  EXPECT_EQ(names, expected);
  for (const char* kind :
       {"TPageTemplateStructureElementPage", "TPageTemplateStructureElementEvent",
        "TPageTemplateStructureElementJump", "TPageTemplateStructureElementJumpMark",
        "TPageTemplateStructureElementLoop", "TPageTemplateSlideShowStructureElementEvent",
        "TSlideShowPageTemplateStructureElementJump",
        "TSlideShowPageTemplateStructureElementLoop"}) {
    EXPECT_NE(GetClass(kind), nullptr) << kind;
  }
}

}  // namespace
}  // namespace nimbra
