// libFuzzer target for the slideshow document reader, with every object kind registered. It loads
// arbitrary bytes as a document, walks what it read, stores it and loads that again. Loading
// answers bad bytes with a result code; what the sanitizers or libFuzzer's limits catch, or a
// broken promise checked below, is a bug.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

#include "framework/CustomTree.h"
#include "framework/Plugins.h"
#include "framework/TreeImplement.h"
#include "slideshow/SlideShow.h"
#include "slideshow/SlideShowRegistration.h"
#include "slideshow/SlideShowTree.h"
#include "storage/MemoryStream.h"

namespace nimbra::fuzz {

namespace {

void Expect(bool promise) {
  if (!promise) __builtin_trap();
}

// Every object is met once by the depth-first walk, its path leads back to it, and the tree the
// renderer walks holds one item per object.
int32_t CheckWalk(const TSlideShow& document) {
  int32_t met = 0;
  for (TSlideShowObject* object = document.NextInTree(nullptr); object != nullptr;
       object = document.NextInTree(object)) {
    ++met;
    Expect(document.RootList().ObjectByPath(object->Path()) == object);
    Expect(object->SlideShow() == &document);
  }
  Expect(met == document.TotalObjectCount());
  TCustomTree tree;
  BuildSlideShowTree(document, tree);
  Expect(TTreeImplement::Count(TRef<ITree>(&tree)) == met);
  return met;
}

std::string Save(const TSlideShow& document) {
  TMemoryStream bytes;
  // Whatever was read, complete or not, is a document the writer can store.
  Expect(document.SaveToStream(bytes));
  return bytes.ToString();
}

}  // namespace

}  // namespace nimbra::fuzz

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/) {
  nimbra::SetMainPlugins(std::make_unique<nimbra::TPlugins>());
  nimbra::RegisterSlideShowKinds(*nimbra::MainPlugins());
  // The registry's entries refer to the classes' static descriptions, which were made during the
  // registration and so would go before it at exit: the registry goes first.
  std::atexit([] { nimbra::SetMainPlugins(nullptr); });
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace nimbra;
  using namespace nimbra::fuzz;
  TSlideShow first;
  TMemoryStream input(std::string_view(reinterpret_cast<const char*>(data), size));
  const TSlideShowLoad code = first.LoadFromStream(input);
  Expect(code >= TSlideShowLoad::Loaded && code <= TSlideShowLoad::LoadedWithMarker);
  if (code == TSlideShowLoad::TooOld) Expect(first.RootList().Empty());
  const int32_t objects = CheckWalk(first);
  const std::string saved = Save(first);
  // What was stored reads back whole and stores the same bytes again.
  TSlideShow second;
  TMemoryStream again(saved);
  Expect(second.LoadFromStream(again) ==
         (first.Marker() ? TSlideShowLoad::LoadedWithMarker : TSlideShowLoad::Loaded));
  Expect(CheckWalk(second) == objects);
  Expect(Save(second) == saved);
  return 0;
}
