// Writes the seed corpus of the slideshow document fuzzer with the document's own writer, using
// the registered object kinds, together with variants that readers must refuse or pass over:
//   MakeSlideShowSeeds fuzz/corpus
// writes fuzz/corpus/SlideShowFuzzer/* (files of the same name are replaced, others left alone).
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <stdexcept>
#include <string>

#include "framework/Plugins.h"
#include "slideshow/SlideShow.h"
#include "slideshow/SlideShowInfoProperties.h"
#include "slideshow/SlideShowRegistration.h"
#include "storage/CSFStreamWinTypes.h"
#include "storage/MemoryStream.h"

namespace nimbra::fuzz {

namespace {

namespace fs = std::filesystem;

constexpr size_t kMaxSeedSize = 4096;
constexpr size_t kFileVersionOffset = 20;

void Save(const fs::path& folder, const std::string& name, const std::string& bytes) {
  if (bytes.size() > kMaxSeedSize) throw std::runtime_error(name + " is too large for a seed");
  fs::create_directories(folder);
  std::ofstream out(folder / name, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + (folder / name).string());
}

TSlideShowObject& Add(TSlideShowObjectList& list, const std::string& className) {
  std::unique_ptr<TObject> created = CreateByClassName(className);
  auto* object = dynamic_cast<TSlideShowObject*>(created.get());
  if (object == nullptr) throw std::runtime_error(className + " is not registered");
  created.release();
  list.Add(std::unique_ptr<TSlideShowObject>(object));
  return *object;
}

void SetText(TSlideShowObject& object, const std::string& text) {
  if (auto* withText = dynamic_cast<IText*>(&object)) withText->SetText(text);
}

TSlideShowObjectList& ChildrenOfNew(TSlideShowObject& object) {
  return dynamic_cast<ICollection&>(object).CreateChildren();
}

std::string Bytes(const TSlideShow& document) {
  TMemoryStream bytes;
  if (!document.SaveToStream(bytes)) throw std::runtime_error("a seed document failed to save");
  return bytes.ToString();
}

// A chapter with a picture and a text, a parallel group with a sound, an empty chapter and a
// placeholder.
void BuildAlbum(TSlideShow& document) {
  document.SlideShowInfoProperties().SetTitle("Urlaub");
  TSlideShowObjectList& root = document.RootList();
  TSlideShowObject& chapter = Add(root, "TContainerSlideShowObject");
  SetText(chapter, "Tag 1");
  TSlideShowObject& picture = Add(ChildrenOfNew(chapter), "TExtPicSlideShowObject");
  dynamic_cast<IFileReferences&>(picture).SetFileName("Bilder\\strand.jpg");
  SetText(Add(*ChildrenOf(&chapter), "TTextSlideShowObject"), "Am Strand");
  TSlideShowObject& parallel = Add(root, "TParallelSlideShowObject");
  Add(ChildrenOfNew(parallel), "TSoundSlideShowObject");
  ChildrenOfNew(Add(root, "TContainerSlideShowObject"));
  SetText(Add(root, "TDummySlideShowObject"), "Pause");
}

// Objects only, with an entry of a class no registry knows between two known ones.
std::string UnknownClassSequence() {
  TMemoryStream bytes;
  TCSFStreamWinTypes csf(bytes, CSFMode::Create);
  csf.SetFileType(kSlideShowFileType);
  csf.SetFileVersion(kSlideShowFileVersion);
  const auto object = [&](const std::string& className) {
    csf.BeginChunk(kObjectChunkId);
    csf.WriteString(className);
    csf.WriteBoolean(true);
    csf.EndChunk();
  };
  const auto sequence = [&](int32_t count) {
    csf.BeginChunk(kSequenceChunkId);
    csf.WriteInteger(count);
    csf.EndChunk();
  };
  sequence(3);
  object("TDummySlideShowObject");
  object("TUnbekannterContainer");
  sequence(1);
  object("TDummySlideShowObject");
  object("TDummySlideShowObject");
  csf.Release();
  return bytes.ToString();
}

std::string WithFileVersion(std::string bytes, int32_t version) {
  for (size_t i = 0; i < 4; ++i) {
    bytes[kFileVersionOffset + i] = static_cast<char>(static_cast<uint32_t>(version) >> (8 * i));
  }
  return bytes;
}

void WriteSeeds(const fs::path& corpus) {
  const fs::path folder = corpus / "SlideShowFuzzer";
  Save(folder, "empty.kvt", Bytes(TSlideShow()));
  TSlideShow album;
  BuildAlbum(album);
  const std::string albumBytes = Bytes(album);
  Save(folder, "album.kvt", albumBytes);
  Save(folder, "album-772.kvt", WithFileVersion(albumBytes, 772));
  Save(folder, "album-767.kvt", WithFileVersion(albumBytes, 767));
  Save(folder, "album-truncated.kvt", albumBytes.substr(0, albumBytes.size() * 2 / 3));
  album.SetMarker(true);
  Save(folder, "album-marker.kvt", Bytes(album));
  Save(folder, "unknown-class.kvt", UnknownClassSequence());
}

}  // namespace

}  // namespace nimbra::fuzz

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: MakeSlideShowSeeds <corpus folder>\n";
    return 2;
  }
  try {
    nimbra::SetMainPlugins(std::make_unique<nimbra::TPlugins>());
    nimbra::RegisterSlideShowKinds(*nimbra::MainPlugins());
    nimbra::fuzz::WriteSeeds(argv[1]);
    // The registry's entries refer to the classes' static descriptions: it goes first.
    nimbra::SetMainPlugins(nullptr);
  } catch (const std::exception& error) {
    std::cerr << error.what() << "\n";
    return 1;
  }
  return 0;
}
