// The bag an object is made with (page templates and elements, structure elements, their events
// and jumps): created from the bag class the most derived class passes up, so that it exists, of
// the right class, as soon as the base constructor returns; stored in a sub-chunk of its own.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "framework/Properties.h"
#include "storage/Check.h"

namespace nimbra {

// The bag's fields in a sub-chunk; false after any failure (what was read so far stays).
bool WriteBagInSubChunk(TCSFStream& stream, const TProperties& bag);
bool ReadBagInSubChunk(TCSFStream& stream, TProperties& bag);

template <typename TBag>
class TOwnedBag {
 public:
  // A bag class that makes no TBag is a programming error, naming the kind.
  TOwnedBag(const TMetaClass& bagClass, std::string_view kind)
      : class_(&bagClass), bag_(CreateAs<TBag>(bagClass)) {
    NIMBRA_CHECK(bag_, bagClass.ClassName() + " is no " + std::string(kind) + " bag");
  }

  const TMetaClass& Class() const { return *class_; }
  TBag& Get() const { return *bag_; }
  template <typename T>
  T* As() const {
    return dynamic_cast<T*>(bag_.get());
  }
  bool Write(TCSFStream& stream) const { return WriteBagInSubChunk(stream, *bag_); }
  bool Read(TCSFStream& stream) { return ReadBagInSubChunk(stream, *bag_); }

 private:
  const TMetaClass* class_;
  std::unique_ptr<TBag> bag_;
};

}  // namespace nimbra
