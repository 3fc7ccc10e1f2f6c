#include "elements/PrintPageElementUserText.h"

namespace nimbra {

NIMBRA_DEFINE_PLUGIN(TPrintPageElementUserTextProperties, TPrintPageElementAlignedTextProperties)
NIMBRA_DEFINE_PLUGIN(TPrintPageElementUserText, TPrintPageElementAlignedText)

std::string TPrintPageElementUserTextProperties::EditorFrameClassNames() const {
  return AppendEditorFrameClassName(TPrintPageElementAlignedTextProperties::EditorFrameClassNames(),
                                    "TPrintPageElementUserTextPropertyEditorFrame");
}

TPrintPageElementUserText::TPrintPageElementUserText()
    : TPrintPageElementAlignedText(TPrintPageElementUserTextProperties::StaticClass()) {}

void TPrintPageElementUserText::PrepareDrawFormat() {
  SetDrawFormat(kDrawTextWordBreak | AlignmentFormat());
}

}  // namespace nimbra
