#include "ui/FramePropertyEditor.h"

#include <QLayout>
#include <QScreen>
#include <stdexcept>

#include "storage/Check.h"
#include "ui/PropertyEditorFrame.h"
#include "ui/PropertyFrameDialog.h"

namespace nimbra {

namespace {

constexpr double kDesignDpi = 96.0;

void ScaleToScreen(QWidget& frame) {
  const QScreen* screen = frame.screen();
  const double dpi = screen != nullptr ? screen->logicalDotsPerInch() : kDesignDpi;
  if (dpi == kDesignDpi) return;
  const double factor = dpi / kDesignDpi;
  frame.resize(static_cast<int>(frame.width() * factor), static_cast<int>(frame.height() * factor));
}

}  // namespace

bool TFramePropertyEditor::EditProperties(TProperties& bag, const std::string& caption, int option,
                                          int frameIndex) {
  // 1. the dialog; 2. the working copy
  TPropertyFrameDialog dialog;
  std::unique_ptr<TProperties> copy = CreateProperties(bag.ClassType());
  NIMBRA_CHECK(copy, "the bag class " + bag.ClassName() + " cannot be created");
  copy->Assign(bag);
  // 3. the frame at the index
  const TPropertyEditorFrameClassList frames = bag.EditorFrames();
  if (frameIndex < 0 || frameIndex >= static_cast<int>(frames.size())) {
    throw std::out_of_range("Listenindex überschreitet das Maximum (" +
                            std::to_string(frameIndex) + ")");
  }
  std::unique_ptr<TPropertyEditorFrame> frame =
      CreateAs<TPropertyEditorFrame>(*frames[static_cast<size_t>(frameIndex)]);
  NIMBRA_CHECK(frame, "no editor frame can be created at that index");
  frame->setParent(dialog.MainPanel());
  // 4. prepare
  frame->Prepare(option);
  // 5. scale: a frame laid out by hand keeps its designed size, scaled from 96 pixels per inch to
  // the screen's. A frame with a layout needs no such scaling: its layout asks for what its texts
  // need in the screen's fonts at the screen's scale, and it is never given less.
  if (frame->layout() == nullptr) {
    ScaleToScreen(*frame);
    frame->setMinimumSize(frame->size());
  }
  // 7. caption; 8. the frame edits the copy
  dialog.setWindowTitle(QString::fromStdString(caption.empty() ? "Einstellungen" : caption));
  frame->SetProperties(copy.get());
  frame->ShowProperties();
  frame->show();
  dialog.CheckBeforeAccept = [&frame] { return frame->CheckProperties(); };
  // 6. the dialog around the frame, at the size its layouts ask for once it shows its values
  dialog.PlaceFrame(*frame);
  // 9. only a confirmed dialog changes the bag
  const bool confirmed = dialog.exec() == QDialog::Accepted;
  if (confirmed) bag.Assign(*copy);
  // 10. the frame goes before the copy it edits
  frame.reset();
  return confirmed;
}

void InstallFramePropertyEditor() { SetPropertyEditor(std::make_shared<TFramePropertyEditor>()); }

}  // namespace nimbra
