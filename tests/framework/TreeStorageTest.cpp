#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TreeTestItems.h"
#include "framework/TreeStorage.h"
#include "storage/CSFStream.h"
#include "storage/MemoryStream.h"

namespace nimbra {
namespace {

constexpr int32_t kMarker = 0x5EA1ED;

// A list made into a counted reference for these tests.
TRef<ITreeItemList> NewList() {
  return HandOverToRef<ITreeItemList>(std::make_unique<TCustomTreeItemList>());
}

class TreeStorageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterClass(TTestNamedItem::StaticClass());
    RegisterClass(TTestFailingItem::StaticClass());
  }
  void TearDown() override {
    UnregisterClass(TTestNamedItem::StaticClass());
    UnregisterClass(TTestFailingItem::StaticClass());
    EXPECT_EQ(TTestNamedItem::alive, 0);
  }

  // The list as SaveTree writes it, followed by a marker.
  static std::string Saved(const TRef<ITreeItemList>& list, bool* ok = nullptr) {
    TMemoryStream base;
    TCSFStream stream(base, CSFMode::Headerless);
    const bool saved = SaveTree(list, stream);
    if (ok != nullptr) *ok = saved;
    stream.WriteInteger(kMarker);
    return base.ToString();
  }

  // Loads into a fresh list; yields its text, whether LoadTree succeeded and whether the
  // marker behind the tree was met where it belongs.
  struct TLoaded {
    std::string Text;
    bool Ok = false;
    bool InStep = false;
    std::vector<std::string> Asked;
  };
  static TLoaded Loaded(const std::string& bytes) {
    TLoaded loaded;
    TMemoryStream base(bytes);
    TCSFStream stream(base, CSFMode::HeaderlessRead);
    const TRef<ITreeItemList> list = NewList();
    loaded.Ok =
        LoadTree(list, stream, [&loaded](const std::string& name, const TRef<ITreeItemList>& into) {
          loaded.Asked.push_back(name);
          return CreateTreeItemByClassName(name, into);
        });
    try {
      loaded.InStep = stream.ReadInteger() == kMarker;
    } catch (const std::exception&) {
    }
    loaded.Text = Describe(list);
    list->Clear();
    return loaded;
  }
};

TEST_F(TreeStorageTest, ThreeLevelTreeRoundTrips) {
  const TRef<ITreeItemList> list = NewList();
  const TRef<ITreeItem> a = AddItem(list, "a");
  AddChild(AddChild(a, "a1"), "a1x");
  AddChild(a, "a2");
  AddItem(list, "b");
  AddChild(AddItem(list, "c"), "c\xC3\xA9");  // a name outside ASCII survives the code page
  bool ok = false;
  const std::string bytes = Saved(list, &ok);
  EXPECT_TRUE(ok);
  const TLoaded loaded = Loaded(bytes);
  EXPECT_TRUE(loaded.Ok);
  EXPECT_TRUE(loaded.InStep);
  EXPECT_EQ(loaded.Text, "a(a1(a1x) a2) b c(c\xC3\xA9)");
  list->Clear();
}

TEST_F(TreeStorageTest, StoredFormIsNestedSubChunks) {
  const TRef<ITreeItemList> list = NewList();
  AddItem(list, "x");
  const std::string bytes = Saved(list);
  // tree sub-chunk, list sub-chunk, count 1, item sub-chunk (class name, name), children byte 0
  const std::string name = "TTestNamedItem";
  const int32_t itemLength = 4 + 4 + static_cast<int32_t>(name.size()) + 4 + 1;
  const int32_t listLength = 4 + 4 + itemLength + 1;
  std::string expected;
  auto integer = [&expected](int32_t value) {
    expected.append(reinterpret_cast<const char*>(&value), 4);
  };
  integer(listLength + 4);
  integer(listLength);
  integer(1);
  integer(itemLength);
  integer(static_cast<int32_t>(name.size()));
  expected += name;
  integer(1);
  expected += 'x';
  expected += '\0';
  integer(kMarker);
  EXPECT_EQ(bytes, expected);
  list->Clear();
}

TEST_F(TreeStorageTest, UnknownClassIsSkippedWithItsChildren) {
  const TRef<ITreeItemList> list = NewList();
  AddItem(list, "a");
  const TRef<ITreeItem> stranger = MakeItem<TTestStrangerItem>("x");
  list->Add(stranger);
  AddChild(AddChild(stranger, "x1"), "x1a");
  AddChild(stranger, "x2");
  AddChild(AddItem(list, "b"), "b1");
  const TLoaded loaded = Loaded(Saved(list));
  EXPECT_TRUE(loaded.Ok);
  EXPECT_TRUE(loaded.InStep);
  EXPECT_EQ(loaded.Text, "a b(b1)");
  // The skipped item's children were not even offered to the factory.
  EXPECT_EQ(loaded.Asked, (std::vector<std::string>{"TTestNamedItem", "TTestStrangerItem",
                                                    "TTestNamedItem", "TTestNamedItem"}));
  list->Clear();
}

TEST_F(TreeStorageTest, ItemsThatCannotStoreThemselvesAreLeftOut) {
  const TRef<ITreeItemList> list = NewList();
  AddItem(list, "a");
  list->Add(TRef<ITreeItem>(new TCustomTreeItem));
  AddItem(list, "b");
  const TLoaded loaded = Loaded(Saved(list));
  EXPECT_TRUE(loaded.Ok);
  EXPECT_TRUE(loaded.InStep);
  EXPECT_EQ(loaded.Text, "a b");
  list->Clear();
}

TEST_F(TreeStorageTest, FailingWriterMakesSaveFalseButStaysReadable) {
  const TRef<ITreeItemList> list = NewList();
  AddChild(AddItem(list, "a"), "a1");
  list->GetItem(0)->NeedChildren()->Add(MakeItem<TTestFailingItem>("f"));
  bool ok = true;
  const std::string bytes = Saved(list, &ok);
  EXPECT_FALSE(ok);
  const TLoaded loaded = Loaded(bytes);
  EXPECT_TRUE(loaded.Ok);
  EXPECT_EQ(loaded.Text, "a(a1 f)");
  list->Clear();
}

// A list sub-chunk claiming count items, with nothing behind the count.
std::string ListClaiming(int32_t count) {
  TMemoryStream base;
  TCSFStream stream(base, CSFMode::Headerless);
  stream.BeginSubChunk();
  stream.BeginSubChunk();
  stream.WriteInteger(count);
  stream.WriteInteger(0);  // a few bytes an honest count could not explain either
  stream.EndSubChunk();
  stream.EndSubChunk();
  stream.WriteInteger(kMarker);
  return base.ToString();
}

TEST_F(TreeStorageTest, AbsurdCountsFailBeforeAnyItemIsMade) {
  for (const int32_t count : {2000000000, 1, -1}) {
    const TLoaded loaded = Loaded(ListClaiming(count));
    EXPECT_FALSE(loaded.Ok) << count;
    EXPECT_TRUE(loaded.Asked.empty()) << count;
    EXPECT_TRUE(loaded.InStep) << count;
  }
  EXPECT_TRUE(Loaded(ListClaiming(0)).Ok);
}

// A chain of items, each the only child of the one before, depth levels deep.
std::string Chain(int32_t depth) {
  TMemoryStream base;
  TCSFStream stream(base, CSFMode::Headerless);
  stream.BeginSubChunk();
  for (int32_t level = 1; level <= depth; ++level) {
    stream.BeginSubChunk();
    stream.WriteInteger(1);
    stream.BeginSubChunk();
    stream.WriteString("TTestNamedItem");
    stream.WriteString("n");
    stream.EndSubChunk();
    stream.WriteByte(level < depth ? 1 : 0);
  }
  for (int32_t level = 0; level <= depth; ++level) stream.EndSubChunk();
  stream.WriteInteger(kMarker);
  return base.ToString();
}

TEST_F(TreeStorageTest, NestingDeeperThanTheLimitFailsCleanly) {
  const TLoaded deepest = Loaded(Chain(kMaxTreeDepth));
  EXPECT_TRUE(deepest.Ok);
  EXPECT_EQ(deepest.Asked.size(), static_cast<size_t>(kMaxTreeDepth));
  const TLoaded tooDeep = Loaded(Chain(kMaxTreeDepth + 1));
  EXPECT_FALSE(tooDeep.Ok);
  EXPECT_TRUE(tooDeep.InStep);
  EXPECT_EQ(tooDeep.Asked.size(), static_cast<size_t>(kMaxTreeDepth));

  // The writer refuses the same depth rather than write what no reader takes.
  const TRef<ITreeItemList> list = NewList();
  TRef<ITreeItem> item = AddItem(list, "n");
  for (int32_t level = 1; level <= kMaxTreeDepth; ++level) item = AddChild(item, "n");
  bool ok = true;
  const TLoaded written = Loaded(Saved(list, &ok));
  EXPECT_FALSE(ok);
  EXPECT_TRUE(written.Ok);
  EXPECT_EQ(written.Asked.size(), static_cast<size_t>(kMaxTreeDepth));
  item.Reset();
  list->Clear();
}

TEST_F(TreeStorageTest, TruncatedTreeFailsAtEveryLength) {
  const TRef<ITreeItemList> list = NewList();
  AddChild(AddChild(AddItem(list, "a"), "a1"), "a1x");
  AddItem(list, "b");
  std::string bytes = Saved(list);
  bytes.resize(bytes.size() - 4);  // without the marker
  for (size_t length = 0; length < bytes.size(); ++length) {
    EXPECT_FALSE(Loaded(bytes.substr(0, length)).Ok) << length;
  }
  EXPECT_TRUE(Loaded(bytes).Ok);
  list->Clear();
}

}  // namespace
}  // namespace nimbra
