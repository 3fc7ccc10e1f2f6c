// Edits property bags in the frame dialog: the user works on a copy, which replaces the bag's
// values only when the dialog is confirmed.
#pragma once

#include "framework/Properties.h"

namespace nimbra {

class TFramePropertyEditor : public IPropertyEditor {
 public:
  bool EditProperties(TProperties& bag, const std::string& caption, int option,
                      int frameIndex) override;
};

// Installs the frame editor as the process's property editor (needs a QApplication).
void InstallFramePropertyEditor();

}  // namespace nimbra
