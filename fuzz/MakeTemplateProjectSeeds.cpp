// Writes the seed corpus of the template project fuzzer with the project's own writer: whole
// projects, and copies damaged in the ways readers meet (unknown classes, lying counts, cut files).
// Run as "MakeTemplateProjectSeeds fuzz/corpus" from the source folder.
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>

#include "TemplateFuzzClasses.h"
#include "storage/MemoryStream.h"
#include "templates/PageTemplateProject.h"

namespace nimbra::fuzz {

namespace {

namespace fs = std::filesystem;

void Save(const fs::path& folder, const std::string& name, const std::string& bytes) {
  fs::create_directories(folder);
  std::ofstream out(folder / name, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + name);
}

std::string Bytes(const TPageTemplateProject& project, int32_t fileType) {
  TMemoryStream buffer;
  if (!project.SaveToStream(buffer, fileType, kTemplateProjectFileVersion)) {
    throw std::runtime_error("the project was not written");
  }
  return buffer.ToString();
}

// Replaces the first occurrence of a text by another of the same length.
std::string Patch(std::string bytes, const std::string& from, const std::string& to) {
  const size_t at = bytes.find(from);
  if (at == std::string::npos || from.size() != to.size()) throw std::runtime_error("no " + from);
  bytes.replace(at, from.size(), to);
  return bytes;
}

std::string PatchInt32(std::string bytes, size_t at, int32_t value) {
  for (size_t i = 0; i < 4; ++i) {
    bytes[at + i] = static_cast<char>(static_cast<uint32_t>(value) >> (8 * i));
  }
  return bytes;
}

void AddElement(TPageTemplate& pageTemplate, const std::string& text) {
  auto element = std::make_unique<TFuzzElement>();
  element->Bag().Text = text;
  element->SetBounds({0.25, 0.5, 0.75, 1});
  pageTemplate.Elements().Add(std::move(element));
}

TRef<ITreeItem> AddStructureElement(const TRef<ITreeItemList>& list, uint32_t templateID) {
  auto element = std::make_unique<TFuzzStructureElement>();
  element->Bag().TemplateID = templateID;
  TRef<ITreeItem> item = HandOverToRef<ITreeItem>(std::move(element));
  list->Add(item);
  return item;
}

void MakeSeeds(const fs::path& folder) {
  TPrintWizardPageTemplateProject project;
  TPrintWizardPageTemplateProjectProperties& bag = *project.ProjectProperties();
  bag.SetAuthor("Autor");
  bag.SetTitle("Titel");
  bag.SetExtra("Seite");
  AddElement(*project.FirstTemplate(), "erstes");
  auto second = std::make_unique<TPrintWizardPageTemplate>();
  second->WizardProperties().SetBackgroundFile("Papier.jpg");
  AddElement(*second, "links");
  AddElement(*second, "rechts");
  project.Templates().Add(std::move(second));
  const TRef<ITreeItemList> root = project.Structure().GetItems();
  AddStructureElement(root, 1);
  TRef<ITreeItem> loop = AddStructureElement(root, 0);
  AddStructureElement(loop->NeedChildren(), 2);
  AddStructureElement(loop->NeedChildren(), 7);

  const std::string whole = Bytes(project, kTemplateProjectFileType);
  Save(folder, "project.pwt", whole);
  Save(folder, "new-project.pwt",
       Bytes(TPrintWizardPageTemplateProject(), kTemplateProjectFileType));
  Save(folder, "slideshow-type.pwt", Bytes(project, 1281));
  Save(folder, "unknown-element.pwt", Patch(whole, "TFuzzElement", "TFuzzElemenX"));
  Save(folder, "unknown-structure.pwt",
       Patch(whole, "TFuzzStructureElement", "TFuzzStructureElemenX"));
  Save(folder, "unknown-template.pwt",
       Patch(whole, "TPrintWizardPageTemplate", "TPrintWizardPageTemplatX"));
  Save(folder, "truncated.pwt", whole.substr(0, whole.size() / 2));
  Save(folder, "huge-chunk-count.pwt", PatchInt32(whole, 16, 0x7FFFFFFF));
  // The template list's nested stream begins behind the first chunk header.
  const size_t nested = whole.find("KRVX", 4);
  Save(folder, "huge-template-count.pwt", PatchInt32(whole, nested + 16, 0x7FFFFFFF));
  Save(folder, "huge-nested-size.pwt", PatchInt32(whole, nested + 24, 0x7FFFFFFF));
  Save(folder, "huge-string.pwt", PatchInt32(whole, whole.find("Autor") - 4, 0x7FFFFFF0));
}

}  // namespace

}  // namespace nimbra::fuzz

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: MakeTemplateProjectSeeds CORPUS_FOLDER\n";
    return 2;
  }
  try {
    static const nimbra::fuzz::TRegistration registration;
    nimbra::fuzz::MakeSeeds(std::filesystem::path(argv[1]) / "TemplateProjectFuzzer");
  } catch (const std::exception& error) {
    std::cerr << "MakeTemplateProjectSeeds: " << error.what() << "\n";
    return 1;
  }
  return 0;
}
