// Shared pieces of the element tests: the units started once per suite, bags and elements taken
// through their stored form, and slideshow objects with just the interfaces elements ask for.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/CustomTree.h"
#include "framework/Properties.h"
#include "slideshow/SlideShowInterfaces.h"
#include "slideshow/SlideShowObject.h"
#include "slideshow/SlideShowObjectList.h"
#include "templates/PageElement.h"

namespace nimbra::test {

// Starts the page-template and element units (and a main registry) for the suite.
class TElementsTest : public ::testing::Test {
 public:
  static void SetUpTestSuite();
  static void TearDownTestSuite();
};

// The bytes of the bag's WriteToStream on a headerless stream of the newest version.
std::string WriteBag(const TProperties& bag);
// Reads the bytes into the bag; the result of its ReadFromStream.
bool ReadBag(TProperties& bag, const std::string& bytes);
// The element's stored form (its sub-chunk) and its reading.
std::string WriteElement(const TPageElement& element);
bool ReadElement(TPageElement& element, const std::string& bytes);

// A picture object: one file, as stored and as resolved.
class TTestPicture : public TSlideShowObject, public IFileReferences, public IText {
  NIMBRA_DECLARE_PLUGIN()

 public:
  TTestPicture() = default;
  TTestPicture(std::string stored, std::string resolved, std::string text = {})
      : stored_(std::move(stored)), resolved_(std::move(resolved)), text_(std::move(text)) {}

  std::string GetFileName() const override { return resolved_; }
  void SetFileName(const std::string& name) override { stored_ = name; }
  std::vector<std::string> GetFileNames() const override { return {resolved_}; }
  void ReplaceFileName(const std::string&, const std::string&) override {}
  std::vector<std::string> GetStoredFileNames() const override { return {stored_}; }
  std::string GetStoredFileName() const override { return stored_; }
  void SetFileNameAt(int32_t, const std::string& name) override { stored_ = name; }
  int32_t FileCount() const override { return 1; }
  std::vector<std::string> GetResolvedFileNames() const override { return {resolved_}; }
  std::string Text() const override { return text_; }
  void SetText(const std::string& text) override { text_ = text; }

 private:
  std::string stored_;
  std::string resolved_;
  std::string text_;
};

// A chapter with a title.
class TTestChapter : public TSlideShowObject, public IChapter, public IText {
  NIMBRA_DECLARE_PLUGIN()

 public:
  TTestChapter() = default;
  explicit TTestChapter(std::string title) : title_(std::move(title)) {}

  TSlideShowObjectList* Children() const override { return nullptr; }
  TSlideShowObjectList& CreateChildren() override { return children_; }
  std::string ChapterText() const override { return title_; }
  void SetChapterText(const std::string& text) override { title_ = text; }
  std::string Text() const override { return title_; }
  void SetText(const std::string& text) override { title_ = text; }

 private:
  std::string title_;
  TSlideShowObjectList children_;
};

// A tree item that stands for the object; handed out as a counted reference.
TRef<ITreeItem> ItemFor(TSlideShowObject& object);
// Appends a child item for the object under parent and yields it.
TRef<ITreeItem> AddChildItem(ITreeItem& parent, TSlideShowObject& object);

}  // namespace nimbra::test
