// A panel that edits one property bag inside the frame dialog. Frames are found by class name in
// the run-time class registry, so a bag can name the frames that edit it. A frame writes into the
// bag it is given while the user works and calls Modified.
#pragma once

#include <QFrame>
#include <functional>
#include <string>

#include "framework/Properties.h"

namespace nimbra {

class TPropertyEditorFrame : public QFrame, public TObject {
 public:
  static const TPropertyEditorFrameClass& StaticClass();
  const TMetaClass& ClassType() const override { return StaticClass(); }

  TPropertyEditorFrame();

  // Called once after creation with the option given to Edit.
  virtual void Prepare(int option);
  // Fills the controls from the bag; subclasses call the inherited one first.
  virtual void ShowProperties();
  // Asked when the dialog's OK is pressed: a message in German when the edited bag must not be
  // taken over as it is (the dialog stays open), empty when it may.
  virtual std::string CheckProperties() const;
  // Raises OnModified.
  void Modified();
  static std::string ClassFrameCaption() { return {}; }

  TProperties* Properties() const { return properties_; }
  void SetProperties(TProperties* properties) { properties_ = properties; }
  std::function<void(TPropertyEditorFrame&)> OnModified;

 private:
  TProperties* properties_ = nullptr;  // the bag being edited, not owned
};

// The frame class of T: its caption comes from T::ClassFrameCaption().
template <typename T>
class TPropertyEditorFrameClassOf : public TPropertyEditorFrameClass {
 public:
  using TPropertyEditorFrameClass::TPropertyEditorFrameClass;
  std::string FrameCaption() const override { return T::ClassFrameCaption(); }
  std::unique_ptr<TObject> CreateInstance() const override {
    if constexpr (std::is_abstract_v<T>) {
      return nullptr;
    } else {
      return std::make_unique<T>();
    }
  }
};

}  // namespace nimbra

// Declares the run-time class of an editor frame (inside the class body).
#define NIMBRA_DECLARE_FRAME()                                                      \
 public:                                                                            \
  static const ::nimbra::TPropertyEditorFrameClass& StaticClass();                  \
  const ::nimbra::TMetaClass& ClassType() const override { return StaticClass(); } \
                                                                                    \
 private:

// Defines it (in one source file, inside namespace nimbra).
#define NIMBRA_DEFINE_FRAME(Type, Parent)                                                     \
  const ::nimbra::TPropertyEditorFrameClass& Type::StaticClass() {                            \
    static const ::nimbra::TImmortal<::nimbra::TPropertyEditorFrameClassOf<Type>> meta(       \
        #Type, &Parent::StaticClass());                                                       \
    return meta.Get();                                                                        \
  }
