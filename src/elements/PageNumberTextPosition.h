// Where a page number goes on a given page: as designed, centred on the page, or alternating
// between the left and right margins on odd and even pages. A position plug-in lives in the page
// number element's bag and moves its Owner for one drawing.
#pragma once

#include <cstdint>

#include "framework/Plugin.h"

namespace nimbra {

class TPrintPageElementPageNumberText;

class TPrintPageElementPageNumberTextPosition : public TPlugin {
  NIMBRA_DECLARE_PLUGIN()

 public:
  TPrintPageElementPageNumberTextPosition() = default;

  // Text format flags the position adds; 0 without an Owner.
  virtual uint32_t SpecialDrawParams() const { return 0; }
  // Moves Owner for the page; nothing without an Owner.
  virtual void ModifyPosition(int32_t pageNumber);

  // True when there is no Owner or its left edge is at most the page's middle.
  bool IsElementOnLeft() const;

  // The element the position moves; not owned.
  TPrintPageElementPageNumberText* Owner() const { return owner_; }
  void SetOwner(TPrintPageElementPageNumberText* owner) { owner_ = owner; }

 private:
  TPrintPageElementPageNumberText* owner_ = nullptr;
};

class TPrintPageElementPageNumberTextPositionAsDesigned
    : public TPrintPageElementPageNumberTextPosition {
  NIMBRA_DECLARE_PLUGIN()

 public:
  static std::string ClassCaption() { return "wie eingestellt"; }
};

class TPrintPageElementPageNumberTextPositionCentered
    : public TPrintPageElementPageNumberTextPosition {
  NIMBRA_DECLARE_PLUGIN()

 public:
  static std::string ClassCaption() { return "zentriert"; }

  // Centred.
  uint32_t SpecialDrawParams() const override;
  // Left 0.45 and Right 0.55, a tenth of the page around its middle; Top and Bottom stay.
  void ModifyPosition(int32_t pageNumber) override;
};

class TPrintPageElementPageNumberTextPositionJumping
    : public TPrintPageElementPageNumberTextPosition {
  NIMBRA_DECLARE_PLUGIN()

 public:
  static std::string ClassCaption() { return "im Wechsel (links/rechts)"; }

  // Right-aligned when the element lies on the page's right half.
  uint32_t SpecialDrawParams() const override;
  // Even pages mirror the element about the page's vertical middle; odd pages leave it.
  void ModifyPosition(int32_t pageNumber) override;
};

}  // namespace nimbra
