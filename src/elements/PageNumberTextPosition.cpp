#include "elements/PageNumberTextPosition.h"

#include "elements/PrintPageElementPageNumberText.h"

namespace nimbra {

NIMBRA_DEFINE_PLUGIN(TPrintPageElementPageNumberTextPosition, TPlugin)
NIMBRA_DEFINE_PLUGIN(TPrintPageElementPageNumberTextPositionAsDesigned,
                     TPrintPageElementPageNumberTextPosition)
NIMBRA_DEFINE_PLUGIN(TPrintPageElementPageNumberTextPositionCentered,
                     TPrintPageElementPageNumberTextPosition)
NIMBRA_DEFINE_PLUGIN(TPrintPageElementPageNumberTextPositionJumping,
                     TPrintPageElementPageNumberTextPosition)

void TPrintPageElementPageNumberTextPosition::ModifyPosition(int32_t) {}

bool TPrintPageElementPageNumberTextPosition::IsElementOnLeft() const {
  return owner_ == nullptr || owner_->GetBounds().Left <= 0.5;
}

uint32_t TPrintPageElementPageNumberTextPositionCentered::SpecialDrawParams() const {
  return Owner() != nullptr ? kDrawTextCenter : 0;
}

void TPrintPageElementPageNumberTextPositionCentered::ModifyPosition(int32_t) {
  if (Owner() == nullptr) return;
  TDoubleRect bounds = Owner()->GetBounds();
  bounds.Left = 0.45;
  bounds.Right = 0.55;
  Owner()->SetBounds(bounds);
}

uint32_t TPrintPageElementPageNumberTextPositionJumping::SpecialDrawParams() const {
  if (Owner() == nullptr || IsElementOnLeft()) return 0;
  return kDrawTextRight;
}

void TPrintPageElementPageNumberTextPositionJumping::ModifyPosition(int32_t pageNumber) {
  if (Owner() == nullptr || pageNumber % 2 != 0) return;
  TDoubleRect bounds = Owner()->GetBounds();
  const double width = bounds.Right - bounds.Left;
  // The same distance from the other margin: mirrored about the page's vertical middle.
  if (IsElementOnLeft()) {
    bounds.Left = 0.5 + (0.5 - bounds.Right);
  } else {
    bounds.Left = 0.5 - (bounds.Left - 0.5) - width;
  }
  bounds.Right = bounds.Left + width;
  Owner()->SetBounds(bounds);
}

}  // namespace nimbra
