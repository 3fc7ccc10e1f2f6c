// The information of a slideshow document (title, author, description, copyright), which the text
// variables show, and a block of extra data the document keeps and writes back unchanged.
#pragma once

#include <string>

#include "framework/Properties.h"

namespace nimbra {

class TSlideShowInfoProperties : public TProperties {
  NIMBRA_DECLARE_PLUGIN()

 public:
  TSlideShowInfoProperties() = default;

  const std::string& Title() const { return title_; }
  void SetTitle(std::string title) { title_ = std::move(title); }
  const std::string& Description() const { return description_; }
  void SetDescription(std::string description) { description_ = std::move(description); }
  const std::string& Copyright() const { return copyright_; }
  void SetCopyright(std::string copyright) { copyright_ = std::move(copyright); }
  const std::string& Author() const { return author_; }
  void SetAuthor(std::string author) { author_ = std::move(author); }
  // Raw bytes, never interpreted.
  const std::string& ExtraData() const { return extraData_; }
  void SetExtraData(std::string bytes) { extraData_ = std::move(bytes); }

  std::string EditorFrameClassNames() const override;
  // Author, title, description, copyright, then the extra data in a sub-chunk of its own. An
  // empty extra-data sub-chunk leaves the block as it was.
  void MapFields(TFieldMap& map) override;
  // Copying cannot clear the extra data (an empty block reads back as "keep"), so Reset does.
  void Reset() override;

 private:
  std::string title_;
  std::string description_;
  std::string copyright_;
  std::string author_;
  std::string extraData_;
};

}  // namespace nimbra
