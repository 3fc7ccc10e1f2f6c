#include "framework/Properties.h"

#include <gtest/gtest.h>

#include "TempFolder.h"
#include "TestBags.h"
#include "framework/KeyValueStore.h"
#include "storage/CSFStreamWinTypes.h"
#include "storage/MemoryStream.h"

namespace nimbra {
namespace {

using test::TTestBag;
using test::TWidthBag;

// The bytes a bag's WriteToStream produces on a headerless stream of the given version.
std::string WrittenBytes(const TProperties& bag, int32_t fileVersion) {
  TMemoryStream bytes;
  TCSFStreamWinTypes csf(bytes, CSFMode::Headerless);
  csf.SetFileVersion(fileVersion);
  EXPECT_TRUE(bag.WriteToStream(csf));
  csf.Release();
  return bytes.ToString();
}

TEST(PropertiesTest, ReaderSeesTheFileVersionItIsGiven) {
  TTestBag source;
  source.Number = 42;
  source.Text = "Grüße";
  source.Ratio = 2.25;
  TMemoryStream bytes;
  ASSERT_TRUE(source.SaveToStream(bytes, 0, 300));
  EXPECT_EQ(bytes.ToString(), WrittenBytes(source, 300));

  // Data of version 299 has no ratio: the reader leaves the default and skips what follows.
  bytes.SetPosition(0);
  TTestBag old;
  ASSERT_TRUE(old.LoadFromStream(bytes, 0, 299));
  EXPECT_EQ(old.Number, 42);
  EXPECT_EQ(old.Text, "Grüße");
  EXPECT_EQ(old.Ratio, 0.5);

  bytes.SetPosition(0);
  TTestBag current;
  ASSERT_TRUE(current.LoadFromStream(bytes, 0, 300));
  EXPECT_EQ(current.Ratio, 2.25);
}

TEST(PropertiesTest, AssignCopiesEveryFieldAVersionedReaderKnows) {
  TTestBag source;
  source.Number = -3;
  source.Text = "Kopie";
  source.Ratio = 9.5;
  TTestBag target;
  target.Assign(source);
  EXPECT_EQ(target.Number, -3);
  EXPECT_EQ(target.Text, "Kopie");
  EXPECT_EQ(target.Ratio, 9.5);

  // Written as 32 bits, read as one byte from old data: only the newest version reads it back.
  TWidthBag loud;
  loud.Volume = 1000;
  TWidthBag copy;
  copy.Assign(loud);
  EXPECT_EQ(copy.Volume, 1000);
}

TEST(PropertiesTest, AssignFromAnythingButABagChangesNothing) {
  TTestBag target;
  target.Number = 5;
  TPlugin notABag;
  target.Assign(notABag);
  EXPECT_EQ(target.Number, 5);
  EXPECT_EQ(target.Text, "Vorgabe");
}

TEST(PropertiesTest, CloneAndResetRestOnTheVirtualConstructor) {
  TTestBag bag;
  bag.Number = 11;
  bag.Text = "geändert";
  bag.Ratio = 4;

  const std::unique_ptr<TProperties> clone = bag.Clone();
  ASSERT_NE(clone, nullptr);
  EXPECT_EQ(&clone->ClassType(), &TTestBag::StaticClass());
  const auto& typed = dynamic_cast<const TTestBag&>(*clone);
  EXPECT_EQ(typed.Number, 11);
  EXPECT_EQ(typed.Text, "geändert");
  EXPECT_EQ(typed.Ratio, 4);

  bag.Reset();
  const TTestBag defaults;
  EXPECT_EQ(bag.Number, defaults.Number);
  EXPECT_EQ(bag.Text, defaults.Text);
  EXPECT_EQ(bag.Ratio, defaults.Ratio);
}

TEST(PropertiesTest, ABagWithoutFieldsStoresNothing) {
  TProperties empty;
  TMemoryStream bytes;
  EXPECT_TRUE(empty.SaveToStream(bytes, 0, 0));
  EXPECT_EQ(bytes.Size(), 0);

  test::TempFolder folder;
  TKeyValueStore store(folder.Path().string());
  ASSERT_TRUE(store.OpenKey("\\Software\\Test\\", true));
  EXPECT_TRUE(empty.SaveToRegistry(store, "Leer", 0, 0));
  EXPECT_EQ(store.GetDataSize("Leer"), 0);
  EXPECT_TRUE(empty.LoadFromRegistry(store, "Leer", 0, 0));
}

TEST(PropertiesTest, RegistryValueIsTheBagsStreamBytes) {
  test::TempFolder folder;
  TKeyValueStore store(folder.Path().string());
  ASSERT_TRUE(store.OpenKey("\\Software\\Velmora\\Nimbra\\1.x\\", true));
  TTestBag bag;
  bag.Number = 1234;
  ASSERT_TRUE(bag.SaveToRegistry(store, "OrielProperties", 0, 400));
  EXPECT_EQ(store.ReadBinaryData("OrielProperties"), WrittenBytes(bag, 400));

  TTestBag read;
  EXPECT_TRUE(read.LoadFromRegistry(store, "OrielProperties", 0, 400));
  EXPECT_EQ(read.Number, 1234);

  // A missing value leaves the bag as it is.
  TTestBag untouched;
  untouched.Number = 99;
  EXPECT_FALSE(untouched.LoadFromRegistry(store, "Fehlt", 0, 400));
  EXPECT_EQ(untouched.Number, 99);
}

TEST(PropertiesTest, AFailedReadKeepsWhatWasReadBeforeIt) {
  // Number and the text's length are there, the text's bytes are not.
  TMemoryStream bytes(std::string("\x0E\0\0\0\x05\0\0\0\x08\0\0\0ab", 14));
  TTestBag bag;
  EXPECT_FALSE(bag.LoadFromStream(bytes, 0, 300));
  EXPECT_EQ(bag.Number, 5);
  EXPECT_EQ(bag.Text, "Vorgabe");
}

// ---- editor frames ----

class TTestFrameClass : public TPropertyEditorFrameClass {
 public:
  TTestFrameClass(std::string_view name, std::string caption)
      : TPropertyEditorFrameClass(name, &TObject::StaticClass()), caption_(std::move(caption)) {}
  std::unique_ptr<TObject> CreateInstance() const override { return nullptr; }
  std::string FrameCaption() const override { return caption_; }

 private:
  std::string caption_;
};

class TNamedFramesBag : public TProperties {
 public:
  std::string EditorFrameClassNames() const override {
    return AppendEditorFrameClassName(
        AppendEditorFrameClassName(TProperties::EditorFrameClassNames(), "TFrameA"), "TFrameB");
  }
};

class TFrameCase : public ::testing::Test {
 protected:
  void SetUp() override { RegisterClass(frameB_); }
  void TearDown() override { UnregisterClass(frameB_); }

  TTestFrameClass frameB_{"TFrameB", "Seite B"};
};

TEST_F(TFrameCase, FramesNamedButNotRegisteredAreSkipped) {
  const TNamedFramesBag bag;
  EXPECT_EQ(bag.EditorFrameClassNames(), "TFrameA\r\nTFrameB");
  EXPECT_EQ(bag.EditorFrames(), TPropertyEditorFrameClassList{&frameB_});
  EXPECT_EQ(bag.FirstEditorFrame(), &frameB_);
  EXPECT_EQ(bag.EditorCaption(), "Seite B");
}

TEST_F(TFrameCase, RegisteredClassesThatAreNoFramesAreSkipped) {
  class TListsABag : public TProperties {
   public:
    std::string EditorFrameClassNames() const override { return "TTestBag\r\nTFrameB"; }
  };
  RegisterClass(TTestBag::StaticClass());
  const TListsABag bag;
  EXPECT_EQ(bag.EditorFrames(), TPropertyEditorFrameClassList{&frameB_});
  UnregisterClass(TTestBag::StaticClass());
}

TEST_F(TFrameCase, ClassesGivenDirectlyWinOverNames) {
  TTestFrameClass direct("TDirect", "Direkt");
  class TDirectBag : public TNamedFramesBag {
   public:
    explicit TDirectBag(const TPropertyEditorFrameClass& frame) : frame_(frame) {}
    TPropertyEditorFrameClassList EditorFrameClasses() const override { return {&frame_}; }

   private:
    const TPropertyEditorFrameClass& frame_;
  };
  const TDirectBag bag(direct);
  EXPECT_EQ(bag.EditorFrames(), TPropertyEditorFrameClassList{&direct});
  EXPECT_EQ(bag.EditorCaption(), "Direkt");
}

// ---- editing ----

class TRecordingEditor : public IPropertyEditor {
 public:
  bool EditProperties(TProperties& bag, const std::string& caption, int option,
                      int frameIndex) override {
    edited = &bag;
    seen = caption + "/" + std::to_string(option) + "/" + std::to_string(frameIndex);
    return true;
  }
  TProperties* edited = nullptr;
  std::string seen;
};

TEST(PropertiesTest, EditGoesThroughTheInstalledEditorOnly) {
  TTestBag bag;
  SetPropertyEditor(nullptr);
  EXPECT_FALSE(bag.Edit("", 0, 0));

  auto editor = std::make_shared<TRecordingEditor>();
  SetPropertyEditor(editor);
  EXPECT_TRUE(bag.Edit("Titel", 3, 1));
  EXPECT_EQ(editor->edited, &bag);
  EXPECT_EQ(editor->seen, "Titel/3/1");
  SetPropertyEditor(nullptr);
}

// ---- lifetime ----

TEST(PropertiesTest, FreeRefusesWhileAnInterfaceIsHeld) {
  auto bag = std::make_unique<TTestBag>();
  {
    const TRef<IInterface> held(bag.get());
    try {
      Free(bag);
      FAIL() << "Free succeeded with a reference held";
    } catch (const EInterfaceReferenced& e) {
      EXPECT_STREQ(e.what(), "Interface wird noch referenziert! 2 TTestBag");
    }
    EXPECT_NE(bag, nullptr);
  }
  Free(bag);
  EXPECT_EQ(bag, nullptr);
}

TEST(PropertiesTest, LinesSplitAtEveryKindOfBreak) {
  EXPECT_EQ(SplitLines("a\r\nb\nc\rd\r\n"), (std::vector<std::string>{"a", "b", "c", "d"}));
  EXPECT_EQ(SplitLines(""), std::vector<std::string>{});
  EXPECT_EQ(SplitLines("a\r\n\r\nb"), (std::vector<std::string>{"a", "", "b"}));
  EXPECT_EQ(JoinLines({"a", "", "b"}), "a\r\n\r\nb");
}

}  // namespace
}  // namespace nimbra
