// The ordered effects of a picture element. The list owns its effects, stores them inside the
// element's bag (each effect as its class name and its bag), and hands the picture to the effects
// of one stage at a time. Its file references are those of its effects (the collages' pictures).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "elements/PrintWizardPictureEffect.h"
#include "framework/FieldMap.h"
#include "framework/ObjectListEvent.h"
#include "slideshow/SlideShowInterfaces.h"

namespace nimbra {

class TCSFStream;

class TPrintWizardPictureEffectList : public TObjectListEvent, public IFileReferences {
  NIMBRA_DECLARE_CLASS()

 public:
  TPrintWizardPictureEffectList() : TObjectListEvent(true) {}

  const std::string& ListName() const { return listName_; }
  void SetListName(std::string name) { listName_ = std::move(name); }
  // The effect at index; raises EListError outside the list.
  TPrintWizardPictureEffect* Effects(int32_t index) const {
    return ItemAs<TPrintWizardPictureEffect>(index);
  }

  // ListName, the number of effects, then per effect a sub-chunk with its class name and a
  // sub-chunk holding its bag. Reading replaces the list; entries of unknown classes are passed
  // over. The picture element's bag lists these fields among its own.
  void MapFields(TFieldMap& map);
  // The fields above alone; false after any failure, true only when every entry was read.
  bool WriteToStream(TCSFStream& stream) const;
  bool ReadFromStream(TCSFStream& stream);

  // Hands the picture to every effect of the stage, in list order, after setting its Preview;
  // yields how many of them skipped the picture.
  int32_t ApplyEffects(TBitmap32& bitmap, const TPixelRect& rect, double dpi,
                    TAffineTransformation* transformation, double sx, double sy, uint8_t stage,
                    bool preview);

  // IFileReferences: the list itself names no file; its lists are its effects' lists.
  std::string GetFileName() const override { return {}; }
  void SetFileName(const std::string&) override {}
  std::vector<std::string> GetFileNames() const override;
  void ReplaceFileName(const std::string& oldName, const std::string& newName) override;
  std::vector<std::string> GetStoredFileNames() const override;
  std::string GetStoredFileName() const override { return {}; }
  void SetFileNameAt(int32_t, const std::string&) override {}
  int32_t FileCount() const override { return 0; }
  std::vector<std::string> GetResolvedFileNames() const override;

 private:
  TStoredPart EntriesPart();

  std::string listName_;
};

}  // namespace nimbra
