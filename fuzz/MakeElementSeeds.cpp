// Writes the seed corpus of the page element fuzzer with the elements' own writers: an element
// list with every kind, an effect list with every effect, a template-variable bag, and variants
// that readers must pass over or refuse:
//   MakeElementSeeds fuzz/corpus
// writes fuzz/corpus/PageElementFuzzer/* (files of the same name are replaced, others left alone).
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <stdexcept>
#include <string>

#include "elements/ElementRegistration.h"
#include "elements/PageTemplateVariable.h"
#include "elements/PrintPageElementGeometric.h"
#include "elements/PrintPageElementPageNumberText.h"
#include "elements/PrintPageElementPicture.h"
#include "elements/PrintPageElementPictureText.h"
#include "elements/PrintPageElementUserText.h"
#include "elements/PrintWizardPictureEffectCollage.h"
#include "elements/PrintWizardPictureEffectColorize.h"
#include "elements/PrintWizardPictureEffectShadow.h"
#include "elements/PrintWizardPictureEffectSimpleBorder.h"
#include "storage/CSFStreamWinTypes.h"
#include "storage/MemoryStream.h"
#include "templates/PageElementList.h"
#include "templates/TemplateRegistration.h"

namespace nimbra::fuzz {

namespace {

namespace fs = std::filesystem;

constexpr size_t kMaxSeedSize = 4096;
// The first byte of a seed picks the reader.
constexpr char kElementList = 0;
constexpr char kEffectList = 1;
constexpr char kVariables = 2;

void Save(const fs::path& folder, const std::string& name, const std::string& bytes) {
  if (bytes.size() > kMaxSeedSize) throw std::runtime_error(name + " is too large for a seed");
  fs::create_directories(folder);
  std::ofstream out(folder / name, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + (folder / name).string());
}

template <typename Write>
std::string Written(CSFMode mode, Write write) {
  TMemoryStream bytes;
  TCSFStreamWinTypes csf(bytes, mode);
  write(csf);
  csf.Release();
  return bytes.ToString();
}

template <typename T>
T& Add(TObjectListEvent& list) {
  auto item = std::make_unique<T>();
  T& added = *item;
  list.Add(std::unique_ptr<TObject>(std::move(item)));
  return added;
}

void FillEffects(TPrintWizardPictureEffectList& effects) {
  effects.SetListName("Effekte");
  Add<TPrintWizardPictureEffectShadow>(effects).ShadowProperties().SetAngle(180);
  Add<TPrintWizardPictureEffectUserCollage1Pic>(effects)
      .CollageProperties()
      .Pictures()
      .Items(0)
      .SetFileNames("a.jpg\r\nb.jpg");
  Add<TPrintWizardPictureEffectUserCollage4Pic>(effects);
  Add<TPrintWizardPictureEffectSimpleBorder>(effects).BorderProperties().SetStyle(3);
  Add<TPrintWizardPictureEffectColorize>(effects).ColorizeProperties().SetHue(120);
}

void MakeElementSeeds(const fs::path& folder) {
  TPageElementList list;
  Add<TPrintPageElementUserText>(list).TextProperties().SetText("%vorlagentitel%");
  Add<TPrintPageElementPageNumberText>(list).PageNumberProperties().SetPosition(
      std::make_unique<TPrintPageElementPageNumberTextPositionJumping>());
  Add<TPrintPageElementPictureText>(list).PictureTextProperties().SetPictureNumber(1);
  auto& picture = Add<TPrintPageElementPicture>(list);
  picture.PictureProperties().SetUseSlideShowPicture(false);
  picture.PictureProperties().SetFileName("Rahmen.png");
  Add<TPrintWizardPictureEffectSimpleBorder>(picture.PictureProperties().Effects());
  Add<TPrintPageElementRect>(list).GeometricProperties().SetFillColor(0x80FF0000);
  Add<TPrintPageElementEllipse>(list).EllipseProperties().SetCircle(true);
  const std::string all =
      Written(CSFMode::Create, [&](TCSFStreamWinTypes& csf) { list.WriteItems(csf); });
  Save(folder, "elements-every-kind.bin", kElementList + all);
  Save(folder, "elements-truncated.bin", kElementList + all.substr(0, all.size() * 2 / 3));

  // An element of an unknown class and a chunk of another id between two known elements.
  TPageElementList known;
  Add<TPrintPageElementRect>(known);
  const std::string mixed = Written(CSFMode::Create, [&](TCSFStreamWinTypes& csf) {
    known.WriteItem(csf, *known.Items(0), 0);
    csf.BeginChunk(kPageElementChunkId);
    csf.WriteString("TPrintPageElementSpirale");
    csf.BeginSubChunk();
    csf.WriteString("unbekannt");
    csf.EndSubChunk();
    csf.EndChunk();
    csf.BeginChunk(999);
    csf.WriteInteger(42);
    csf.EndChunk();
    known.WriteItem(csf, *known.Items(0), 0);
  });
  Save(folder, "elements-unknown-and-foreign.bin", kElementList + mixed);
}

void MakeEffectSeeds(const fs::path& folder) {
  TPrintWizardPictureEffectList effects;
  FillEffects(effects);
  const std::string all =
      Written(CSFMode::Headerless, [&](TCSFStreamWinTypes& csf) { effects.WriteToStream(csf); });
  Save(folder, "effects-every-kind.bin", kEffectList + all);
  Save(folder, "effects-truncated.bin", kEffectList + all.substr(0, all.size() / 2));
  Save(folder, "effects-huge-count.bin",
       kEffectList + Written(CSFMode::Headerless, [](TCSFStreamWinTypes& csf) {
         csf.WriteString("");
         csf.WriteInteger(0x7FFFFFFF);
         csf.BeginSubChunk();
         csf.WriteString("TPrintWizardPictureEffectColorize");
         csf.EndSubChunk();
       }));
}

void MakeVariableSeeds(const fs::path& folder) {
  TPageTemplateVariableProperties bag;
  TPageTemplateVariableList& variables = bag.Variables();
  variables.AddVariable(TPageTemplateStringVariable::StaticClass());
  variables.AddVariable(TPageTemplateDateVariable::StaticClass());
  variables.AddVariable(TPageTemplateTextVariable::StaticClass());
  variables.Items(0).SetVariableName("Ort");
  variables.Items(0).SetValueText("Berlin");
  variables.Items(1).SetValueText("24.12.2023");
  variables.Items(2).SetValueText("eins\r\nzwei\r\n");
  const std::string all =
      Written(CSFMode::Headerless, [&](TCSFStreamWinTypes& csf) { bag.WriteToStream(csf); });
  Save(folder, "variables-every-kind.bin", kVariables + all);
  Save(folder, "variables-unknown-and-bad-date.bin",
       kVariables + Written(CSFMode::Headerless, [](TCSFStreamWinTypes& csf) {
         csf.BeginSubChunk();
         csf.WriteInteger(2);
         for (const char* className : {"TPageTemplateColorVariable", "TPageTemplateDateVariable"}) {
           csf.BeginSubChunk();
           csf.WriteString(className);
           csf.BeginSubChunk();
           csf.WriteString("Tag");
           csf.WriteString("");
           csf.WriteString("31.02.99");
           csf.EndSubChunk();
           csf.EndSubChunk();
         }
         csf.EndSubChunk();
       }));
}

}  // namespace

}  // namespace nimbra::fuzz

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: MakeElementSeeds CORPUS_FOLDER\n";
    return 2;
  }
  try {
    nimbra::PageTemplatesStartup();
    nimbra::ElementsStartup();
    const std::filesystem::path folder = std::filesystem::path(argv[1]) / "PageElementFuzzer";
    nimbra::fuzz::MakeElementSeeds(folder);
    nimbra::fuzz::MakeEffectSeeds(folder);
    nimbra::fuzz::MakeVariableSeeds(folder);
    nimbra::ElementsShutdown();
    nimbra::PageTemplatesShutdown();
  } catch (const std::exception& error) {
    std::cerr << "MakeElementSeeds: " << error.what() << "\n";
    return 1;
  }
  return 0;
}
