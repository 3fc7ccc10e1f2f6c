// The two lifetimes of counted objects.
//
// Counted objects (tree items, small records) start with a count of 0, every reference adds one,
// and the object frees itself when the last reference goes.
//
// Owned objects (plug-ins, property bags, event lists) leave construction with a count of 1, which
// stands for their owner. References add and remove counts, but the owner frees the object
// explicitly with Free, which refuses while references remain: "Interface wird noch referenziert!".
#pragma once

#include <atomic>
#include <memory>
#include <stdexcept>
#include <string>

#include "framework/Interface.h"
#include "storage/NimbraError.h"

namespace nimbra {

// Raised when an owned object is freed while interface references to it remain.
class EInterfaceReferenced : public ENimbraError {
 public:
  using ENimbraError::ENimbraError;
};

class TInterfacedObject : public virtual IInterface {
 public:
  enum class Lifetime { Counted, Owned };

  explicit TInterfacedObject(Lifetime lifetime)
      : refCount_(lifetime == Lifetime::Owned ? 1 : 0), lifetime_(lifetime) {}
  ~TInterfacedObject() override;
  TInterfacedObject(const TInterfacedObject&) = delete;
  TInterfacedObject& operator=(const TInterfacedObject&) = delete;

  int32_t AddRef() override;
  // Frees the object when the count reaches 0.
  int32_t Release() override;
  int32_t RefCount() const { return refCount_.load(); }
  Lifetime ObjectLifetime() const { return lifetime_; }

  // Raises EInterfaceReferenced unless only the owner's count is left.
  void CheckFree() const;

 protected:
  // The text raised when references remain; the count and the class name complete it.
  virtual std::string StillReferencedMessage(int32_t count) const;
  // The class name shown in that text.
  virtual std::string ReferencedClassName() const;

 private:
  std::atomic<int32_t> refCount_;
  Lifetime lifetime_;
};

// The owner's explicit free of an owned object: refuses, raising EInterfaceReferenced and keeping
// the object alive, while interface references remain.
template <typename T>
void Free(std::unique_ptr<T>& owned) {
  if (!owned) return;
  owned->CheckFree();
  owned.reset();
}

}  // namespace nimbra
