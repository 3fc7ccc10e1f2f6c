// The record a jump mark leaves while the structure is walked: the slideshow object it was passed
// at, whether it holds one, and its name. Counted: the walk's mark list holds the references.
#pragma once

#include <string>

#include "framework/InterfacedObject.h"
#include "templates/StructureInterfaces.h"

namespace nimbra {

class TJumpMarkInfo : public TInterfacedObject, public IJumpMarkInfo {
 public:
  TJumpMarkInfo() : TInterfacedObject(Lifetime::Counted) {}

  TRef<ITreeItem> GetObject() const override { return object_; }
  bool GetValid() const override { return valid_; }
  void SetObject(const TRef<ITreeItem>& object) override { object_ = object; }
  void SetValid(bool valid) override { valid_ = valid; }
  std::string GetName() const override { return name_; }
  void SetName(const std::string& name) override { name_ = name; }

 private:
  TRef<ITreeItem> object_;
  bool valid_ = false;
  std::string name_;
};

}  // namespace nimbra
