// The collage: a picture made of its child objects, merged into one during playback and arranged
// on the preview. It is a collection with a child list of its own and an extended picture at once.
#pragma once

#include <string>

#include "slideshow/BitmapSlideShowObject.h"
#include "slideshow/CollectionSlideShowObject.h"

namespace nimbra {

// The first document version whose collages store their text.
inline constexpr int32_t kMergeTextVersion = 773;

class TMergeSlideShowObject : public TBaseExtBitmapSlideShowObject,
                              public virtual ICollection,
                              public virtual ICollage,
                              public virtual IText {
  NIMBRA_DECLARE_PLUGIN()

 public:
  TMergeSlideShowObject();
  ~TMergeSlideShowObject() override;

  static std::string ClassCaption() { return "Collage"; }
  static std::string ClassDescription() {
    return "Alle Unterobjekte einer Collage werden zu einem Bild verschmolzen. Verwenden Sie das "
           "Vorschaufenster um die Bilder innerhalb der Collage anzuordnen.";
  }

  // ICollection and ICollage
  TSlideShowObjectList* Children() const override { return children_.Get(); }
  TSlideShowObjectList& CreateChildren() override { return children_.Create(); }
  // IText
  std::string Text() const override { return text_; }
  void SetText(const std::string& text) override { text_ = text; }

  // Also replaces the child list with a deep copy of the source's.
  void CopyFrom(const TSlideShowObject& other) override;
  // The text in a sub-chunk of its own.
  void MapFields(TFieldMap& map) override;

 private:
  TChildList children_;
  std::string text_;
};

}  // namespace nimbra
