#include "slideshow/SlideShowProperties.h"

#include "framework/FieldMap.h"
#include "framework/FieldWriter.h"
#include "framework/Plugins.h"
#include "slideshow/SwitchableTransition.h"
#include "storage/CSFStream.h"
#include "storage/StoredBytes.h"
#include "storage/TextCase.h"

namespace nimbra {

NIMBRA_DEFINE_PLUGIN(TSlideShowProperties, TProperties)

namespace {

bool DescendsFromClassNamed(const TMetaClass& meta, std::string_view baseName) {
  for (const TMetaClass* c = &meta; c != nullptr; c = c->ClassParent()) {
    if (SameTextAscii(c->ClassName(), baseName)) return true;
  }
  return false;
}

// A stored player name counts only while it still names a registered player class.
const TPluginClass* RegisteredPlayerClass(std::string_view name) {
  const TPlugins* plugins = MainPlugins();
  if (plugins == nullptr || name.empty()) return nullptr;
  const TPluginListItem* item = plugins->FindItem(name);
  if (item == nullptr || !DescendsFromClassNamed(item->PluginClass(), kSlideShowPlayerBaseName)) {
    return nullptr;
  }
  return &item->PluginClass();
}

}  // namespace

TSlideShowProperties::TSlideShowProperties()
    : playerClass_(DefaultPlayerClass()),
      switchedOffTransitions_(DefaultSwitchedOffTransitions()) {}

const TPluginClass* TSlideShowProperties::DefaultPlayerClass() {
  const TPlugins* plugins = MainPlugins();
  if (plugins == nullptr) return nullptr;
  for (int i = 0; i < plugins->Count(); ++i) {
    const TPluginClass& candidate = plugins->Items(i).PluginClass();
    if (DescendsFromClassNamed(candidate, kSlideShowPlayerBaseName)) return &candidate;
  }
  return nullptr;
}

std::vector<const TMetaClass*> TSlideShowProperties::DefaultSwitchedOffTransitions() {
  std::vector<const TMetaClass*> switchedOff;
  const TPlugins* plugins = MainPlugins();
  if (plugins == nullptr) return switchedOff;
  for (int i = 0; i < plugins->Count(); ++i) {
    TPluginListItem& item = plugins->Items(i);
    if (!DescendsFromClassNamed(item.PluginClass(), kTransitionPluginBaseName)) continue;
    const auto* sample = dynamic_cast<const ISwitchableTransition*>(item.Instance());
    if (sample != nullptr && !sample->Enabled()) switchedOff.push_back(&item.PluginClass());
  }
  return switchedOff;
}

uint8_t TSlideShowProperties::PictureFilter() const {
  switch (pictureQuality_) {
    case 0:
    case 1:
      return kFilterMitchell;
    case 2:
      return kFilterLinear;
    case 3:
      return kFilterNearest;
    default:
      return customPictureFilter_;
  }
}

uint8_t TSlideShowProperties::AnimationFilter() const {
  switch (pictureQuality_) {
    case 0:
      return kFilterMitchell;
    case 1:
    case 2:
    case 3:
      return kFilterNearest;
    default:
      return kFilterNearest;
  }
}

std::string TSlideShowProperties::EditorFrameClassNames() const {
  std::string names = TProperties::EditorFrameClassNames();
  for (const char* frame :
       {"TSlideShowPropertiesMainEditorFrame", "TSlideShowPropertiesSlideShowPlayerEditorFrame",
        "TSlideShowPropertiesSlideShowEndFrame", "TSlideShowPropertiesTransitionFrame"}) {
    names = AppendEditorFrameClassName(names, frame);
  }
  return names;
}

TStoredPart TSlideShowProperties::SwitchedOffTransitionsPart() {
  return {[this](TCSFStream& stream) {
            stream.WriteInteger(static_cast<int32_t>(switchedOffTransitions_.size()));
            for (const TMetaClass* transition : switchedOffTransitions_) {
              stream.WriteString(transition->ClassName());
            }
            return true;
          },
          // Classes no longer registered are dropped.
          [this](TCSFStream& stream) {
            switchedOffTransitions_.clear();
            const int32_t count = ReadCheckedCount(stream, 4);
            for (int32_t i = 0; i < count; ++i) {
              if (const TMetaClass* transition = GetClass(stream.ReadString())) {
                switchedOffTransitions_.push_back(transition);
              }
            }
            return TPartRead::Read;
          },
          [this](std::string_view name, TFieldWriter& fields) {
            std::vector<std::string> switchedOff;
            for (const TMetaClass* transition : switchedOffTransitions_) {
              switchedOff.push_back(transition->ClassName());
            }
            fields.Text(name, JoinLines(switchedOff));
          }};
}

void TSlideShowProperties::MapFields(TFieldMap& map) {
  TProperties::MapFields(map);
  map.SubChunk([&] {  // 1. the main settings
    map.Integer("defaultDisplayTime", defaultDisplayTime_);
    map.Byte("pictureQuality", pictureQuality_);
    map.Byte("customPictureFilter", customPictureFilter_);
    map.Byte("preparationFilter", preparationFilter_);
    map.Byte("endAction", endAction_);
    map.Boolean("endFlag", endFlag_);
    map.Integer("reserved2", reserved2_);
    map.Integer("reserved1", reserved1_);
  });
  map.SubChunk([&] { map.Boolean("randomOrder", randomOrder_); });  // 2. random order
  map.SubChunk([&] {                                                // 3. the transitions
    map.Boolean("transitionsOff", transitionsOff_);
    map.Part("switchedOffTransitions", SwitchedOffTransitionsPart());
  });
  // 4. the player; a player no longer registered gives way to the default one
  map.SubChunk([&] {
    map.Text("player", playerClass_ != nullptr ? playerClass_->ClassName() : std::string(),
             [this](std::string name) {
               playerClass_ = RegisteredPlayerClass(name);
               if (playerClass_ == nullptr) playerClass_ = DefaultPlayerClass();
               return true;
             });
  });
}

}  // namespace nimbra
