// Small slideshow object kinds for the document tests, so that they do not depend on the real
// kinds: a leaf with a text and a duration, a chapter that holds a child list, and a chapter kind
// that is never registered (readers meet it as an unknown class); and a writer of raw chunks.
#pragma once

#include <memory>
#include <ostream>
#include <string>

#include "framework/Properties.h"
#include "slideshow/SlideShowObject.h"
#include "slideshow/SlideShowObjectList.h"
#include "storage/CSFStream.h"
#include "storage/MemoryStream.h"

namespace nimbra {

inline constexpr int32_t kChangeTestText = 50;

class TTestLeaf : public TSlideShowObject, public IText {
  NIMBRA_DECLARE_PLUGIN()

 public:
  TTestLeaf() = default;
  explicit TTestLeaf(std::string text, int32_t duration = 0)
      : text_(std::move(text)), duration_(duration) {}
  static std::string ClassCaption() { return "Testblatt"; }

  std::string Text() const override { return text_; }
  void SetText(const std::string& text) override;
  int32_t Duration() const override { return duration_; }
  void SetDuration(int32_t milliseconds) override { duration_ = milliseconds; }
  void CopyFrom(const TSlideShowObject& other) override;
  bool WriteToStream(TCSFStream& stream) const override;
  bool ReadFromStream(TCSFStream& stream) override;

 private:
  std::string text_;
  int32_t duration_ = 0;
};

class TTestChapter : public TSlideShowObject, public ICollection, public IChapter, public IText {
  NIMBRA_DECLARE_PLUGIN()

 public:
  TTestChapter() = default;
  explicit TTestChapter(std::string text) : text_(std::move(text)) {}
  static std::string ClassCaption() { return "Testkapitel"; }

  TSlideShowObjectList* Children() const override { return children_.get(); }
  TSlideShowObjectList& CreateChildren() override;
  std::string ChapterText() const override { return text_; }
  void SetChapterText(const std::string& text) override { text_ = text; }
  std::string Text() const override { return text_; }
  void SetText(const std::string& text) override { text_ = text; }
  // The children are copied deeply, as collections do.
  void CopyFrom(const TSlideShowObject& other) override;
  bool WriteToStream(TCSFStream& stream) const override;
  bool ReadFromStream(TCSFStream& stream) override;

 private:
  std::string text_;
  std::unique_ptr<TSlideShowObjectList> children_;
};

// Written like a chapter under its own class name, which no registry knows.
class TTestUnregisteredChapter : public TTestChapter {
  NIMBRA_DECLARE_PLUGIN()

 public:
  using TTestChapter::TTestChapter;
};

// Registers the leaf and the chapter with the run-time class registry for its lifetime.
class TTestKindsRegistration {
 public:
  TTestKindsRegistration();
  ~TTestKindsRegistration();
  TTestKindsRegistration(const TTestKindsRegistration&) = delete;
  TTestKindsRegistration& operator=(const TTestKindsRegistration&) = delete;
};

// Appends a new object to the list and yields it.
template <typename T, typename... Args>
T& AddNew(TSlideShowObjectList& list, Args&&... args) {
  auto object = std::make_unique<T>(std::forward<Args>(args)...);
  T& added = *object;
  list.Add(std::move(object));
  return added;
}

// Paths in test messages.
inline void PrintTo(const TPath& path, std::ostream* out) { *out << "path " << path.ToText(); }

// The text of an object (empty for none or an object without IText).
std::string TextOf(const TSlideShowObject* object);

// Writes the chunks of a slideshow file one by one, for streams the document's writer would not
// produce (unknown classes, old versions, odd orders).
class TRawSlideShowWriter {
 public:
  explicit TRawSlideShowWriter(int32_t fileVersion = kSlideShowFileVersion,
                               int32_t fileType = kSlideShowFileType);
  ~TRawSlideShowWriter();
  // A 1026 chunk announcing count objects.
  TRawSlideShowWriter& Sequence(int32_t count);
  // A 1025 chunk with the object's class name and fields.
  TRawSlideShowWriter& Object(const TSlideShowObject& object);
  TRawSlideShowWriter& Chunk(int32_t id);
  // A 1040 chunk with the bag's class name and fields.
  TRawSlideShowWriter& Bag(const TProperties& bag);
  // The bytes, with the header's chunk count of every chunk written.
  std::string Finish();

 private:
  TMemoryStream memory_;
  std::unique_ptr<TCSFStream> stream_;
};

}  // namespace nimbra
