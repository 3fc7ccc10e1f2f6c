// The settings every render engine shares. The only one tells the page-list builder whether to
// insert blank pages, so that templates meant for one side of a printed sheet land there.
#pragma once

#include "framework/XMLProperties.h"

namespace nimbra {

class TRenderEngineProperties : public TXMLProperties {
  NIMBRA_DECLARE_PLUGIN()

 public:
  TRenderEngineProperties() = default;

  // After the inherited fields, one sub-chunk: InsertBlankPages.
  void MapFields(TFieldMap& map) override;

  bool InsertBlankPages() const { return insertBlankPages_; }
  void SetInsertBlankPages(bool insert) { insertBlankPages_ = insert; }

 private:
  bool insertBlankPages_ = false;
};

}  // namespace nimbra
