#include "elements/PrintWizardPictureEffectList.h"

#include <memory>

#include "elements/ListItemFields.h"
#include "framework/FieldMap.h"
#include "framework/Properties.h"
#include "storage/CSFStream.h"

namespace nimbra {

NIMBRA_DEFINE_CLASS(TPrintWizardPictureEffectList, TObjectListEvent)

namespace {

template <typename Collect>
std::vector<std::string> CollectFromEffects(const TPrintWizardPictureEffectList& list,
                                            Collect collect) {
  std::vector<std::string> names;
  for (int32_t i = 0; i < list.Count(); ++i) {
    const auto* files = dynamic_cast<const IFileReferences*>(list.Items(i));
    if (files == nullptr) continue;
    std::vector<std::string> more = collect(*files);
    names.insert(names.end(), more.begin(), more.end());
  }
  return names;
}

}  // namespace

TStoredPart TPrintWizardPictureEffectList::EntriesPart() {
  return {[this](TCSFStream& stream) {
            stream.WriteInteger(Count());
            bool written = true;
            for (int32_t i = 0; i < Count(); ++i) {
              const TPrintWizardPictureEffect& effect = *Effects(i);
              TWriteSubChunk entry(stream);
              stream.WriteClassName(&effect);
              TWriteSubChunk own(stream);
              written = effect.WriteProperties(stream) && written;
              own.End();
              entry.End();
            }
            return written;
          },
          [this](TCSFStream& stream) {
            Clear();
            const int32_t count = stream.ReadInteger();
            bool read = true;
            // Each entry takes at least its sub-chunk's length field, so a count larger than the
            // data ends with a read error after what is there, without anything allocated for it.
            for (int32_t i = 0; i < count; ++i) {
              TReadSubChunk entry(stream);
              const TMetaClass* effectClass = stream.ReadClass();
              if (effectClass == nullptr ||
                  !effectClass->InheritsFrom(TPrintWizardPictureEffect::StaticClass())) {
                continue;  // unknown: the entry's sub-chunk is passed over
              }
              std::unique_ptr<TPrintWizardPictureEffect> effect =
                  CreateAs<TPrintWizardPictureEffect>(*effectClass);
              if (!effect) continue;
              TPrintWizardPictureEffect* added = effect.get();
              Add(std::unique_ptr<TObject>(std::move(effect)));
              TReadSubChunk own(stream);
              read = added->ReadProperties(stream) && read;
            }
            return PartRead(read);
          },
          [this](std::string_view name, TFieldWriter& fields) {
            fields.Integer(name, Count());
            for (int32_t i = 0; i < Count(); ++i) {
              const TPrintWizardPictureEffect& effect = *Effects(i);
              TListItemFields item(fields, name, i);
              fields.Text(item.ItemName(), effect.ClassName());
              if (const TProperties* bag = effect.Properties()) bag->DescribeFields(item);
            }
          }};
}

void TPrintWizardPictureEffectList::MapFields(TFieldMap& map) {
  map.String("effectListName", listName_);
  map.Part("effects", EntriesPart());
}

bool TPrintWizardPictureEffectList::WriteToStream(TCSFStream& stream) const {
  return WriteFields(stream, *this);
}

bool TPrintWizardPictureEffectList::ReadFromStream(TCSFStream& stream) {
  // Replaced even when the name cannot be read.
  Clear();
  return ReadFields(stream, *this);
}

int32_t TPrintWizardPictureEffectList::ApplyEffects(TBitmap32& bitmap, const TPixelRect& rect,
                                                    double dpi,
                                                    TAffineTransformation* transformation,
                                                    double sx, double sy, uint8_t stage,
                                                    bool preview) {
  int32_t skipped = 0;
  for (int32_t i = 0; i < Count(); ++i) {
    TPrintWizardPictureEffect* effect = Effects(i);
    if (effect == nullptr || effect->Stage() != stage) continue;
    effect->SetPreview(preview);
    effect->Apply(bitmap, rect, dpi, transformation, sx, sy);
    if (effect->Skipped()) ++skipped;
  }
  return skipped;
}

std::vector<std::string> TPrintWizardPictureEffectList::GetFileNames() const {
  return CollectFromEffects(*this, [](const IFileReferences& f) { return f.GetFileNames(); });
}

std::vector<std::string> TPrintWizardPictureEffectList::GetStoredFileNames() const {
  return CollectFromEffects(*this,
                            [](const IFileReferences& f) { return f.GetStoredFileNames(); });
}

std::vector<std::string> TPrintWizardPictureEffectList::GetResolvedFileNames() const {
  return CollectFromEffects(*this,
                            [](const IFileReferences& f) { return f.GetResolvedFileNames(); });
}

void TPrintWizardPictureEffectList::ReplaceFileName(const std::string& oldName,
                                                    const std::string& newName) {
  for (int32_t i = 0; i < Count(); ++i) {
    if (auto* files = dynamic_cast<IFileReferences*>(Items(i))) {
      files->ReplaceFileName(oldName, newName);
    }
  }
}

}  // namespace nimbra
