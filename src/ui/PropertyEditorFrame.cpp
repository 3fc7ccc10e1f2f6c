#include "ui/PropertyEditorFrame.h"

namespace nimbra {

const TPropertyEditorFrameClass& TPropertyEditorFrame::StaticClass() {
  static const TImmortal<TPropertyEditorFrameClassOf<TPropertyEditorFrame>> meta(
      "TPropertyEditorFrame", &TObject::StaticClass());
  return meta.Get();
}

TPropertyEditorFrame::TPropertyEditorFrame() { setFrameShape(QFrame::NoFrame); }

void TPropertyEditorFrame::Prepare(int) {}

void TPropertyEditorFrame::ShowProperties() {}

std::string TPropertyEditorFrame::CheckProperties() const { return {}; }

void TPropertyEditorFrame::Modified() {
  if (OnModified) OnModified(*this);
}

}  // namespace nimbra
