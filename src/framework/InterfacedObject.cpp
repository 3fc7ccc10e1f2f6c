#include "framework/InterfacedObject.h"

#include <cstdio>
#include <typeinfo>

namespace nimbra {

TInterfacedObject::~TInterfacedObject() {
  // An owner that frees without Free cannot be stopped here any more; say so loudly, for the
  // references left behind now dangle.
  if (lifetime_ == Lifetime::Owned && refCount_.load() > 1) {
    std::fprintf(stderr, "%s\n", StillReferencedMessage(refCount_.load()).c_str());
  }
}

int32_t TInterfacedObject::AddRef() { return ++refCount_; }

int32_t TInterfacedObject::Release() {
  const int32_t count = --refCount_;
  if (count == 0) delete this;
  return count;
}

void TInterfacedObject::CheckFree() const {
  const int32_t count = refCount_.load();
  if (lifetime_ == Lifetime::Owned && count != 1) {
    throw EInterfaceReferenced(StillReferencedMessage(count));
  }
}

std::string TInterfacedObject::StillReferencedMessage(int32_t count) const {
  return "Interface wird noch referenziert! " + std::to_string(count) + " " +
         ReferencedClassName();
}

std::string TInterfacedObject::ReferencedClassName() const { return typeid(*this).name(); }

}  // namespace nimbra
