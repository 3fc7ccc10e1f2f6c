// The structure of a template project: a tree that says in which order templates are used and how
// the slideshow is walked (pages, loops, jumps, jump marks, events). Its items are structure
// elements, each a plug-in tree item with a property bag, stored by class name so that a reader
// skips the kinds it does not know.
//
// A structure element's bag class is decided by the most derived class, which passes it up through
// the protected constructor (as page elements do).
#pragma once

#include <memory>
#include <string>

#include "framework/CustomTree.h"
#include "framework/OwnerList.h"
#include "framework/Properties.h"

namespace nimbra {

class TCSFStream;
class TPageTemplateProject;

class TPageTemplateStructureElementProperties : public TProperties {
  NIMBRA_DECLARE_PLUGIN()

 public:
  TPageTemplateStructureElementProperties() = default;
};

class TPageTemplateStructure : public TCustomTree, public IHasOwner {
  NIMBRA_DECLARE_PLUGIN()

 public:
  TPageTemplateStructure() = default;

  // The owner link is the project.
  TObject* GetOwner() const override;
  void SetOwner(TObject* owner) override;
  TPageTemplateProject* Project() const { return project_; }
  void SetProject(TPageTemplateProject* project) { project_ = project; }

  // A sub-chunk holding the tree as SaveTree stores it. Reading appends the stored items; classes
  // the class registry does not know are skipped with their subtrees.
  virtual bool ReadFromStream(TCSFStream& stream);
  virtual bool WriteToStream(TCSFStream& stream) const;

 private:
  TPageTemplateProject* project_ = nullptr;
};

class TPageTemplateStructureElement : public TCustomTreeItemPlugin {
  NIMBRA_DECLARE_PLUGIN()

 public:
  TPageTemplateStructureElement();
  ~TPageTemplateStructureElement() override;

  // A sub-chunk around the bag's fields.
  bool WriteToStream(TCSFStream& stream) const override;
  bool ReadFromStream(TCSFStream& stream) override;

  virtual const TMetaClass& PropertiesClass() const { return *propertiesClass_; }
  // The class's caption; the kinds append their details.
  virtual std::string DisplayText() const { return Caption(); }

  // The structure that holds the element, climbing the owner links; none when it is in none.
  TPageTemplateStructure* Structure() const;
  // That structure's project, or none.
  TPageTemplateProject* Project() const;

  TPageTemplateStructureElementProperties& Properties() const { return *properties_; }
  template <typename T>
  T* PropertiesAs() const {
    return dynamic_cast<T*>(properties_.get());
  }

 protected:
  // Creates the bag from propertiesClass; raises std::logic_error when that is no structure
  // element bag.
  explicit TPageTemplateStructureElement(const TMetaClass& propertiesClass);

 private:
  const TMetaClass* propertiesClass_;
  std::unique_ptr<TPageTemplateStructureElementProperties> properties_;
};

}  // namespace nimbra
