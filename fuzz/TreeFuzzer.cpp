// libFuzzer target for the tree reader. It reads arbitrary bytes as a stored tree whose factory
// knows two item classes, then stores what it read and reads that again. LoadTree answers bad
// bytes with false; what the sanitizers or libFuzzer's limits catch, or a broken promise checked
// below, is a bug.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "framework/CustomTree.h"
#include "framework/TreeImplement.h"
#include "framework/TreeStorage.h"
#include "storage/CSFStream.h"
#include "storage/MemoryStream.h"

namespace nimbra::fuzz {

namespace {

void Expect(bool promise) {
  if (!promise) __builtin_trap();
}

// An item with some content, so that item data of every length is read.
class TFuzzItem : public TCustomTreeItemPlugin {
  NIMBRA_DECLARE_PLUGIN()

 public:
  bool WriteToStream(TCSFStream& stream) const override {
    stream.WriteString(name_);
    stream.WriteInteger(value_);
    return true;
  }
  bool ReadFromStream(TCSFStream& stream) override {
    name_ = stream.ReadString();
    value_ = stream.ReadInteger();
    return true;
  }

 private:
  std::string name_;
  int32_t value_ = 0;
};

TRef<ITreeItem> Factory(const std::string& className, const TRef<ITreeItemList>& /*list*/) {
  if (className == "TFuzzItem") return HandOverToRef<ITreeItem>(std::make_unique<TFuzzItem>());
  if (className == "TCustomTreeItemPlugin") {
    return HandOverToRef<ITreeItem>(std::make_unique<TCustomTreeItemPlugin>());
  }
  return nullptr;
}

struct TLoaded {
  std::unique_ptr<TCustomTree> Tree = std::make_unique<TCustomTree>();
  bool Ok = false;
  int32_t Count = 0;
};

TLoaded Load(std::string_view bytes) {
  TLoaded loaded;
  TMemoryStream base(bytes);
  TCSFStream stream(base, CSFMode::HeaderlessRead);
  loaded.Ok = LoadTree(loaded.Tree->GetItems(), stream, Factory);
  loaded.Count = TTreeImplement::Count(TRef<ITree>(loaded.Tree.get()));
  return loaded;
}

std::string Save(TCustomTree& tree) {
  TMemoryStream base;
  TCSFStream stream(base, CSFMode::Headerless);
  // Whatever was read, complete or not, is a tree the writer can store.
  Expect(SaveTree(tree.GetItems(), stream));
  return base.ToString();
}

}  // namespace

NIMBRA_DEFINE_PLUGIN(TFuzzItem, TCustomTreeItemPlugin)

}  // namespace nimbra::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace nimbra::fuzz;
  TLoaded first = Load(std::string_view(reinterpret_cast<const char*>(data), size));
  const std::string saved = Save(*first.Tree);
  // What was stored reads back whole, with every item, and stores the same bytes again.
  TLoaded second = Load(saved);
  Expect(second.Ok);
  Expect(second.Count == first.Count);
  Expect(Save(*second.Tree) == saved);
  return 0;
}
