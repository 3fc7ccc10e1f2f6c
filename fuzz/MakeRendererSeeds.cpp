// Writes the seed corpus of the renderer fuzzer with the project's own writers: structures of
// loops, events, jumps and jump marks, each behind a control byte that shapes the slideshow.
// Run as "MakeRendererSeeds fuzz/corpus" from the source folder.
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>

#include "RendererFuzzInput.h"
#include "framework/Plugins.h"
#include "storage/CSFStreamWinTypes.h"
#include "storage/MemoryStream.h"
#include "templates/StructureElements.h"
#include "templates/TemplateRegistration.h"

namespace nimbra::fuzz {

namespace {

namespace fs = std::filesystem;

TRef<ITreeItem> Add(const TRef<ITreeItemList>& list,
                    std::unique_ptr<TPageTemplateStructureElement> element) {
  TRef<ITreeItem> item = HandOverToRef<ITreeItem>(std::move(element));
  list->Add(item);
  return item;
}

TRef<ITreeItem> Page(const TRef<ITreeItemList>& list, uint32_t id) {
  auto page = std::make_unique<TPageTemplateStructureElementPage>();
  page->PageProperties().SetTemplateID(id);
  return Add(list, std::move(page));
}

TRef<ITreeItem> Loop(const TRef<ITreeItemList>& list, std::unique_ptr<TStructureEvent> event,
                     uint8_t mode) {
  auto loop = std::make_unique<TSlideShowPageTemplateStructureElementLoop>();
  loop->LoopProperties().SetEvent(std::move(event));
  loop->LoopProperties().SetMode(mode);
  return Add(list, std::move(loop));
}

TRef<ITreeItem> Event(const TRef<ITreeItemList>& list, std::unique_ptr<TStructureEvent> event) {
  auto element = std::make_unique<TPageTemplateSlideShowStructureElementEvent>();
  element->EventProperties().SetEvent(std::move(event));
  return Add(list, std::move(element));
}

TRef<ITreeItem> Jump(const TRef<ITreeItemList>& list, std::unique_ptr<TStructureJump> jump) {
  auto element = std::make_unique<TSlideShowPageTemplateStructureElementJump>();
  element->JumpProperties().SetJump(std::move(jump));
  return Add(list, std::move(element));
}

void Mark(const TRef<ITreeItemList>& list, const std::string& name) {
  auto element = std::make_unique<TPageTemplateStructureElementJumpMark>();
  element->JumpMarkProperties().SetName(name);
  Add(list, std::move(element));
}

std::unique_ptr<TStructureJump> ToMark(const std::string& name) {
  auto jump = std::make_unique<TStructureJumpToJumpMark>();
  jump->JumpMarkProperties().SetJumpMarkName(name);
  return jump;
}

std::unique_ptr<TStructureEvent> ChapterEnd(uint8_t mode, const std::string& mark) {
  auto event = std::make_unique<TStructureEventOnChapterEnd>();
  event->ChapterEndProperties().SetMode(mode);
  event->ChapterEndProperties().SetJumpMarkName(mark);
  return event;
}

void Save(const fs::path& folder, const std::string& name, uint8_t control,
          const TPageTemplateStructure& structure) {
  TMemoryStream bytes;
  {
    TCSFStreamWinTypes stream(bytes, CSFMode::Headerless);
    stream.SetFileType(kTemplateProjectFileType);
    stream.SetFileVersion(kTemplateProjectFileVersion);
    if (!structure.WriteToStream(stream)) throw std::runtime_error(name + " was not written");
    stream.Release();
  }
  fs::create_directories(folder);
  std::ofstream out(folder / name, std::ios::binary | std::ios::trunc);
  out.put(static_cast<char>(control));
  const std::string data = bytes.ToString();
  out.write(data.data(), static_cast<std::streamsize>(data.size()));
  if (!out) throw std::runtime_error("cannot write " + name);
}

void WriteSeeds(const fs::path& folder) {
  {
    // The documented loop around three pages.
    TPageTemplateStructure structure;
    TRef<ITreeItem> loop =
        Loop(structure.GetItems(), std::make_unique<TStructureEventOnListEnd>(), 0);
    for (uint32_t id : {1u, 2u, 4u}) Page(loop->NeedChildren(), id);
    Save(folder, "loop-three-pages.bin", 0x03, structure);
  }
  {
    // The endless jump back to the list's start.
    TPageTemplateStructure structure;
    TRef<ITreeItem> loop =
        Loop(structure.GetItems(), std::make_unique<TStructureEventOnListEnd>(), 0);
    Page(loop->NeedChildren(), 1);
    Jump(loop->NeedChildren(), std::make_unique<TStructureJumpToListBegin>());
    Save(folder, "endless-jump.bin", 0x03, structure);
  }
  {
    // Chapter events, a chapter-end loop and blank pages.
    TPageTemplateStructure structure;
    TRef<ITreeItem> outer =
        Loop(structure.GetItems(), std::make_unique<TStructureEventOnListEnd>(), 2);
    Page(Event(outer->NeedChildren(), std::make_unique<TStructureEventOnChapter>())
             ->NeedChildren(),
         3);
    TRef<ITreeItem> inner = Loop(outer->NeedChildren(), ChapterEnd(0, ""), 1);
    Page(inner->NeedChildren(), 2);
    Page(outer->NeedChildren(), 4);
    Save(folder, "chapter-events.bin", 0x53, structure);
  }
  {
    // Jump marks, a jump to one and pages of templates that exist and one that does not.
    TPageTemplateStructure structure;
    const TRef<ITreeItemList> roots = structure.GetItems();
    Page(roots, 4);
    Mark(roots, "Mitte");
    TRef<ITreeItem> loop = Loop(roots, ChapterEnd(1, "mitte"), 0);
    Page(loop->NeedChildren(), 1);
    Jump(loop->NeedChildren(), ToMark("MITTE"));
    Event(roots, std::make_unique<TStructureEventOnListEnd>());
    Page(roots, 9);
    Save(folder, "jump-marks.bin", 0x33, structure);
  }
}

}  // namespace

}  // namespace nimbra::fuzz

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: MakeRendererSeeds CORPUS-FOLDER\n";
    return 2;
  }
  nimbra::SetMainPlugins(std::make_unique<nimbra::TPlugins>());
  nimbra::PageTemplatesStartup();
  int result = 0;
  try {
    nimbra::fuzz::WriteSeeds(std::filesystem::path(argv[1]) / "RendererFuzzer");
  } catch (const std::exception& error) {
    std::cerr << error.what() << "\n";
    result = 1;
  }
  nimbra::PageTemplatesShutdown();
  nimbra::SetMainPlugins(nullptr);
  return result;
}
