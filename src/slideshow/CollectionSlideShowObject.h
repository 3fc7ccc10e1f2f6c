// Objects that hold other objects: the chapter, which plays its children one after the other and
// names them, and the parallel group, which plays them together. The children are stored by the
// document's object sequence, not by the collection itself.
#pragma once

#include <memory>
#include <string>

#include "slideshow/PlayableSlideShowObject.h"

namespace nimbra {

// The first document version whose parallel groups store their text.
inline constexpr int32_t kParallelTextVersion = 771;

// A child list owned by a collection object: none until it is created.
class TChildList {
 public:
  explicit TChildList(TSlideShowObject& owner);
  ~TChildList();
  TChildList(const TChildList&) = delete;
  TChildList& operator=(const TChildList&) = delete;

  TSlideShowObjectList* Get() const { return list_.get(); }
  TSlideShowObjectList& Create();
  // A deep copy of the other list, or no list when the other has none.
  void CopyFrom(const TSlideShowObjectList* other);

 private:
  TSlideShowObject& owner_;
  std::unique_ptr<TSlideShowObjectList> list_;
};

class TCollectionSlideShowObject : public TPlayableSlideShowObject, public virtual ICollection {
  NIMBRA_DECLARE_PLUGIN()

 public:
  TCollectionSlideShowObject();
  ~TCollectionSlideShowObject() override;

  // ICollection
  TSlideShowObjectList* Children() const override { return children_.Get(); }
  TSlideShowObjectList& CreateChildren() override { return children_.Create(); }

  // Also replaces the child list with a deep copy of the source's.
  void CopyFrom(const TSlideShowObject& other) override;

 private:
  TChildList children_;
};

class TContainerSlideShowObject : public TCollectionSlideShowObject,
                                  public virtual IChapter,
                                  public virtual IText {
  NIMBRA_DECLARE_PLUGIN()

 public:
  TContainerSlideShowObject() = default;

  static std::string ClassCaption() { return "Kapitel"; }
  static std::string ClassDescription() {
    return "Ein Kapitel dient als Container für beliebige andere Objekte. Das Kapitel hat keine "
           "echte Funktionalität, sollte aber zur Strukturierung der Vistra eingesetzt werden.";
  }

  // IChapter
  TSlideShowObjectList* Children() const override { return TCollectionSlideShowObject::Children(); }
  TSlideShowObjectList& CreateChildren() override {
    return TCollectionSlideShowObject::CreateChildren();
  }
  // IChapter and IText: the chapter's name, which templates show for the objects inside it.
  std::string ChapterText() const override { return chapterText_; }
  void SetChapterText(const std::string& text) override { chapterText_ = text; }
  std::string Text() const override { return chapterText_; }
  void SetText(const std::string& text) override { chapterText_ = text; }

  // The sum of the active children's durations.
  int32_t Duration() const override;
  void CopyFrom(const TSlideShowObject& other) override;
  std::string PropertyFrameClassName() const override;
  void MapFields(TFieldMap& map) override;

 private:
  std::string chapterText_;
};

class TParallelSlideShowObject : public TCollectionSlideShowObject,
                                 public virtual IParallel,
                                 public virtual IText {
  NIMBRA_DECLARE_PLUGIN()

 public:
  TParallelSlideShowObject() = default;

  static std::string ClassCaption() { return "Parallelobjekt"; }
  static std::string ClassDescription() {
    return "Alle Objekte innerhalb eines Parallelobjektes werden gleichzeitig abgespielt. Um die "
           "zeitliche Abfolge genau festzulegen, verwenden Sie die Timeline";
  }

  // IParallel
  TSlideShowObjectList* Children() const override { return TCollectionSlideShowObject::Children(); }
  TSlideShowObjectList& CreateChildren() override {
    return TCollectionSlideShowObject::CreateChildren();
  }
  // IParallel and IText
  std::string Text() const override { return text_; }
  void SetText(const std::string& text) override { text_ = text; }

  // The latest end (start delay + duration) among the active children.
  int32_t Duration() const override;
  void CopyFrom(const TSlideShowObject& other) override;
  std::string PropertyFrameClassName() const override;
  void MapFields(TFieldMap& map) override;

 private:
  std::string text_;
};

}  // namespace nimbra
