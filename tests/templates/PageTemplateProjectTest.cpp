#include <gtest/gtest.h>

#include <vector>

#include "TempFolder.h"
#include "TemplateTestClasses.h"
#include "storage/CSFStreamWinTypes.h"
#include "storage/MemoryStream.h"
#include "templates/PageTemplateProject.h"

namespace nimbra {
namespace {

using test::TTestElement;
using test::TTestStructureElement;

std::string Save(const TPrintWizardPageTemplateProject& project) {
  TMemoryStream buffer;
  EXPECT_TRUE(project.SaveToStream(buffer));
  return buffer.ToString();
}

bool Read(TPrintWizardPageTemplateProject& project, const std::string& bytes) {
  TMemoryStream buffer(bytes);
  return project.LoadFromStream(buffer);
}

TRef<ITreeItem> AddStructureElement(const TRef<ITreeItemList>& list, uint32_t templateID,
                                    const std::string& name) {
  auto element = std::make_unique<TTestStructureElement>();
  element->Bag().TemplateID = templateID;
  element->Bag().Name = name;
  TRef<ITreeItem> item = HandOverToRef<ITreeItem>(std::move(element));
  list->Add(item);
  return item;
}

TTestStructureElement& StructureElement(const TRef<ITreeItemList>& list, int32_t index) {
  return dynamic_cast<TTestStructureElement&>(*list->GetItem(index)->GetObject());
}

// Two templates (IDs 1 and 5) with elements, every project bag field, and a structure of a loop
// around two pages.
void Fill(TPrintWizardPageTemplateProject& project) {
  TPrintWizardPageTemplateProjectProperties& bag = *project.ProjectProperties();
  bag.SetAuthor("Anna Müller");
  bag.SetTitle("Urlaub");
  bag.SetDescription("Zwei Wochen\r\nam Meer");
  bag.SetExtra("Titelseite");
  dynamic_cast<test::TTestVariables&>(*bag.Variables()).Names = "Ort=Berlin";

  TPageTemplate& first = *project.FirstTemplate();
  first.Properties().SetName("Titelseite");
  auto element = std::make_unique<TTestElement>();
  element->Bag().Label = "Titel";
  element->SetBounds({0.1, 0.1, 0.9, 0.3});
  first.Elements().Add(std::move(element));

  auto second = std::make_unique<TPrintWizardPageTemplate>();
  second->WizardProperties().SetBackgroundFile("Papier.jpg");
  for (const char* label : {"links", "rechts"}) {
    auto picture = std::make_unique<TTestElement>();
    picture->Bag().Label = label;
    second->Elements().Add(std::move(picture));
  }
  project.Templates().Add(std::move(second));
  project.Templates().Items(1)->SetID(5);

  const TRef<ITreeItemList> root = project.Structure().GetItems();
  AddStructureElement(root, 1, "Anfang");
  TRef<ITreeItem> loop = AddStructureElement(root, 0, "Schleife");
  AddStructureElement(loop->NeedChildren(), 5, "Seite A");
  AddStructureElement(loop->NeedChildren(), 5, "Seite B");
}

TEST(PageTemplateProjectTest, NewProjectHoldsOneA4Template) {
  test::TTestClassRegistration registration;
  TPrintWizardPageTemplateProject project;
  ASSERT_EQ(project.Templates().Count(), 1);
  TPageTemplate* first = project.FirstTemplate();
  EXPECT_EQ(&first->ClassType(), &TPrintWizardPageTemplate::StaticClass());
  EXPECT_EQ(first->ID(), 1u);
  EXPECT_EQ(first->Properties().Width(), 210);
  EXPECT_EQ(first->Properties().Height(), 297);
  EXPECT_EQ(first->Project(), &project);
  ASSERT_EQ(project.Properties().Count(), 1);
  EXPECT_EQ(project.Properties().Items(0).Caption(), "Vorlagen-Projekt");
  ASSERT_NE(project.ProjectProperties(), nullptr);
  EXPECT_NE(project.ProjectProperties()->Variables(), nullptr);
  EXPECT_EQ(project.ProjectProperties()->EditorFrameClassNames(),
            "TPrintWizardPageTemplateProjectPropertiesEditorFrame\r\n"
            "TPageTemplateVariablesPropertiesEditorFrame");
  EXPECT_EQ(project.Structure().Project(), &project);
}

TEST(PageTemplateProjectTest, ProjectReadsBackEqual) {
  test::TTestClassRegistration registration;
  TPrintWizardPageTemplateProject source;
  Fill(source);
  const std::string bytes = Save(source);

  TPrintWizardPageTemplateProject copy;
  ASSERT_TRUE(Read(copy, bytes));
  ASSERT_EQ(copy.Templates().Count(), 2);
  EXPECT_EQ(copy.Templates().Items(0)->ID(), 1u);
  EXPECT_EQ(copy.Templates().Items(1)->ID(), 5u);
  EXPECT_EQ(copy.Templates().FindByID(5), copy.Templates().Items(1));
  const TPageElementList& elements = copy.Templates().Items(1)->Elements();
  ASSERT_EQ(elements.Count(), 2);
  EXPECT_EQ(dynamic_cast<TTestElement&>(*elements.Items(0)).Bag().Label, "links");
  EXPECT_EQ(dynamic_cast<TTestElement&>(*elements.Items(1)).Bag().Label, "rechts");
  EXPECT_EQ(dynamic_cast<TTestElement&>(*elements.Items(1)).TemplateProject(), &copy);

  const TPrintWizardPageTemplateProjectProperties& bag = *copy.ProjectProperties();
  EXPECT_EQ(bag.Author(), "Anna Müller");
  EXPECT_EQ(bag.Title(), "Urlaub");
  EXPECT_EQ(bag.Description(), "Zwei Wochen\r\nam Meer");
  EXPECT_EQ(bag.Extra(), "Titelseite");
  EXPECT_EQ(dynamic_cast<test::TTestVariables&>(*bag.Variables()).Names, "Ort=Berlin");

  const TRef<ITreeItemList> root = copy.Structure().GetItems();
  ASSERT_EQ(root->Count(), 2);
  EXPECT_EQ(StructureElement(root, 0).Bag().Name, "Anfang");
  EXPECT_EQ(StructureElement(root, 0).Bag().TemplateID, 1u);
  const TRef<ITreeItemList> body = root->GetItem(1)->GetChildren();
  ASSERT_TRUE(body);
  ASSERT_EQ(body->Count(), 2);
  EXPECT_EQ(StructureElement(body, 1).Bag().Name, "Seite B");
  EXPECT_EQ(StructureElement(body, 1).Bag().TemplateID, 5u);
  EXPECT_EQ(StructureElement(body, 1).Project(), &copy);

  EXPECT_EQ(Save(copy), bytes);
}

TEST(PageTemplateProjectTest, FilesAreWrittenAndReadWithTheirName) {
  test::TTestClassRegistration registration;
  test::TempFolder folder;
  const std::string name = folder.File("album.pwt");
  TPrintWizardPageTemplateProject source;
  Fill(source);
  ASSERT_TRUE(source.SaveToFile(name));
  EXPECT_EQ(test::TempFolder::Read(name), Save(source));

  TPrintWizardPageTemplateProject copy;
  ASSERT_TRUE(copy.LoadFromFile(name));
  EXPECT_EQ(copy.FileName(), name);
  EXPECT_EQ(Save(copy), Save(source));
  EXPECT_FALSE(copy.LoadFromFile(folder.File("fehlt.pwt")));
  EXPECT_EQ(copy.FileName(), name);
  // A folder that does not exist cannot take the file.
  EXPECT_FALSE(source.SaveToFile(folder.File("fehlt/album.pwt")));
}

TEST(PageTemplateProjectTest, StreamsOfAnotherKindAreNotRead) {
  test::TTestClassRegistration registration;
  TPrintWizardPageTemplateProject source;
  TMemoryStream slideshow;
  ASSERT_TRUE(source.SaveToStream(slideshow, 1281, 256));
  TPrintWizardPageTemplateProject project;
  EXPECT_FALSE(Read(project, slideshow.ToString()));
  EXPECT_FALSE(Read(project, "keine Vorlage"));
  EXPECT_EQ(project.Templates().Count(), 1);  // the default template stays
}

TEST(PageTemplateProjectTest, ChunksThatAreMissingOrRepeated) {
  test::TTestClassRegistration registration;
  // No template chunk: the constructor's template is gone.
  TMemoryStream empty;
  {
    TCSFStreamWinTypes stream(empty, CSFMode::Create);
    stream.SetFileType(kTemplateProjectFileType);
    stream.Release();
  }
  TPrintWizardPageTemplateProject project;
  ASSERT_TRUE(Read(project, empty.ToString()));
  EXPECT_EQ(project.Templates().Count(), 0);
  EXPECT_EQ(project.FirstTemplate(), nullptr);

  // The same stream twice: templates replaced, structure items appended.
  TPrintWizardPageTemplateProject source;
  Fill(source);
  const std::string bytes = Save(source);
  ASSERT_TRUE(Read(project, bytes));
  ASSERT_TRUE(Read(project, bytes));
  EXPECT_EQ(project.Templates().Count(), 2);
  EXPECT_EQ(project.Structure().GetItems()->Count(), 4);
}

std::vector<int32_t> TopLevelChunkIds(const std::string& bytes) {
  TMemoryStream buffer(bytes);
  TCSFStreamWinTypes stream(buffer, CSFMode::Read);
  std::vector<int32_t> ids;
  for (int32_t i = 0; i < stream.ChunkCount(); ++i) {
    ids.push_back(stream.BeginReadChunk().Id);
    stream.EndReadChunk();
  }
  return ids;
}

TEST(PageTemplateProjectTest, BagsChunkOnlyWithBags) {
  test::TTestClassRegistration registration;
  TPrintWizardPageTemplateProject project;
  EXPECT_EQ(TopLevelChunkIds(Save(project)), (std::vector<int32_t>{273, 256, 257}));
  project.Properties().Clear();
  EXPECT_EQ(TopLevelChunkIds(Save(project)), (std::vector<int32_t>{273, 257}));
}

TEST(PageTemplateProjectTest, UnknownClassesAreSkippedInStep) {
  std::string bytes;
  {
    test::TTestClassRegistration registration;
    TPrintWizardPageTemplateProject source;
    Fill(source);
    bytes = Save(source);
  }
  // Neither elements, structure elements nor the variables class are known now.
  test::TTestClassRegistration registration(false);
  UnregisterClass(TTestElement::StaticClass());
  UnregisterClass(TTestStructureElement::StaticClass());
  TPrintWizardPageTemplateProject project;
  ASSERT_TRUE(Read(project, bytes));
  ASSERT_EQ(project.Templates().Count(), 2);
  EXPECT_EQ(project.Templates().Items(1)->ID(), 5u);
  EXPECT_EQ(project.Templates().Items(1)->Elements().Count(), 0);
  EXPECT_EQ(project.Structure().GetItems()->Count(), 0);
  const TPrintWizardPageTemplateProjectProperties& bag = *project.ProjectProperties();
  EXPECT_EQ(bag.Variables(), nullptr);
  EXPECT_EQ(bag.Extra(), "Titelseite");  // read behind the variables

  // The variables' bytes are kept and come back when their class is known again.
  TPrintWizardPageTemplateProject resaved;
  ASSERT_TRUE(Read(resaved, Save(project)));
  RegisterClass(test::TTestVariables::StaticClass());
  TPrintWizardPageTemplateProject again;
  ASSERT_TRUE(Read(again, Save(resaved)));
  EXPECT_EQ(dynamic_cast<test::TTestVariables&>(*again.ProjectProperties()->Variables()).Names,
            "Ort=Berlin");
  UnregisterClass(test::TTestVariables::StaticClass());
}

int32_t IntAt(const std::string& bytes, size_t at) {
  uint32_t value = 0;
  for (size_t i = 0; i < 4; ++i) {
    value |= uint32_t{static_cast<unsigned char>(bytes[at + i])} << (8 * i);
  }
  return static_cast<int32_t>(value);
}

TEST(PageTemplateProjectTest, StructureIsStoredAsNestedSubChunks) {
  test::TTestClassRegistration registration;
  TPageTemplateStructure structure;
  AddStructureElement(structure.GetItems(), 3, "");
  TMemoryStream buffer;
  {
    TCSFStreamWinTypes stream(buffer, CSFMode::Headerless);
    ASSERT_TRUE(structure.WriteToStream(stream));
  }
  const std::string bytes = buffer.ToString();
  ASSERT_EQ(bytes.size(), 58u);
  // structure, tree and root list sub-chunks; the count; the item's sub-chunk, which holds the
  // class name and the element's sub-chunk around its bag (TemplateID, empty name); no children
  EXPECT_EQ(IntAt(bytes, 0), 58);
  EXPECT_EQ(IntAt(bytes, 4), 54);
  EXPECT_EQ(IntAt(bytes, 8), 50);
  EXPECT_EQ(IntAt(bytes, 12), 1);
  EXPECT_EQ(IntAt(bytes, 16), 41);
  EXPECT_EQ(bytes.substr(24, 21), "TTestStructureElement");
  EXPECT_EQ(IntAt(bytes, 45), 12);
  EXPECT_EQ(IntAt(bytes, 49), 3);
  EXPECT_EQ(bytes[57], 0);
}

TEST(PageTemplateProjectTest, CloneAndAssignCopyEverything) {
  test::TTestClassRegistration registration;
  TPrintWizardPageTemplateProject source;
  Fill(source);
  source.SetFileName("/album/vorlage.pwt");
  std::unique_ptr<TPageTemplateProject> clone = source.Clone();
  ASSERT_NE(clone, nullptr);
  auto* wizardClone = dynamic_cast<TPrintWizardPageTemplateProject*>(clone.get());
  ASSERT_NE(wizardClone, nullptr);
  EXPECT_EQ(wizardClone->FileName(), "/album/vorlage.pwt");
  EXPECT_EQ(Save(*wizardClone), Save(source));

  // Assigning twice leaves one copy, not two structures.
  wizardClone->Assign(source);
  EXPECT_EQ(Save(*wizardClone), Save(source));
  EXPECT_EQ(wizardClone->Structure().GetItems()->Count(), 2);
}

TEST(PageTemplateProjectTest, DamagedProjectsFailWithoutCrashing) {
  test::TTestClassRegistration registration;
  TPrintWizardPageTemplateProject source;
  Fill(source);
  const std::string bytes = Save(source);
  for (size_t cut = 0; cut < bytes.size(); cut += 7) {
    TPrintWizardPageTemplateProject project;
    Read(project, bytes.substr(0, cut));
  }
  for (size_t at = 0; at < bytes.size(); ++at) {
    std::string damaged = bytes;
    damaged[at] = static_cast<char>(damaged[at] ^ 0x5A);
    TPrintWizardPageTemplateProject project;
    Read(project, damaged);
  }
  // A header that claims more chunks than there are reads what is there and reports the rest.
  std::string counted = bytes;
  counted[16] = '\x7F';
  TPrintWizardPageTemplateProject project;
  EXPECT_FALSE(Read(project, counted));
  EXPECT_EQ(project.Templates().Count(), 2);
}

}  // namespace
}  // namespace nimbra
