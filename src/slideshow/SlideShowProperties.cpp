#include "slideshow/SlideShowProperties.h"

#include "framework/FieldWriter.h"
#include "framework/Plugins.h"
#include "storage/StoredBytes.h"
#include "slideshow/SwitchableTransition.h"
#include "storage/CSFStream.h"
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

bool TSlideShowProperties::WriteToStream(TCSFStream& stream) const {
  if (!TProperties::WriteToStream(stream)) return false;
  try {
    // 1. the main settings
    TWriteSubChunk main(stream);
    stream.WriteInteger(defaultDisplayTime_);
    stream.WriteByte(pictureQuality_);
    stream.WriteByte(customPictureFilter_);
    stream.WriteByte(preparationFilter_);
    stream.WriteByte(endAction_);
    stream.WriteBoolean(endFlag_);
    stream.WriteInteger(reserved2_);
    stream.WriteInteger(reserved1_);
    main.End();
    // 2. random order
    TWriteSubChunk order(stream);
    stream.WriteBoolean(randomOrder_);
    order.End();
    // 3. the transitions
    TWriteSubChunk transitions(stream);
    stream.WriteBoolean(transitionsOff_);
    stream.WriteInteger(static_cast<int32_t>(switchedOffTransitions_.size()));
    for (const TMetaClass* transition : switchedOffTransitions_) {
      stream.WriteString(transition->ClassName());
    }
    transitions.End();
    // 4. the player
    TWriteSubChunk player(stream);
    stream.WriteString(playerClass_ != nullptr ? playerClass_->ClassName() : std::string());
    player.End();
    return true;
  } catch (...) {
    return false;
  }
}

bool TSlideShowProperties::ReadFromStream(TCSFStream& stream) {
  if (!TProperties::ReadFromStream(stream)) return false;
  try {
    {  // 1. the main settings
      TReadSubChunk main(stream);
      defaultDisplayTime_ = stream.ReadInteger();
      pictureQuality_ = stream.ReadByte();
      customPictureFilter_ = stream.ReadByte();
      preparationFilter_ = stream.ReadByte();
      endAction_ = stream.ReadByte();
      endFlag_ = stream.ReadBoolean();
      reserved2_ = stream.ReadInteger();
      reserved1_ = stream.ReadInteger();
    }
    {  // 2. random order
      TReadSubChunk order(stream);
      randomOrder_ = stream.ReadBoolean();
    }
    {  // 3. the transitions; classes no longer registered are dropped
      TReadSubChunk transitions(stream);
      transitionsOff_ = stream.ReadBoolean();
      switchedOffTransitions_.clear();
      const int32_t count = ReadCheckedCount(stream, 4);
      for (int32_t i = 0; i < count; ++i) {
        if (const TMetaClass* transition = GetClass(stream.ReadString())) {
          switchedOffTransitions_.push_back(transition);
        }
      }
    }
    {  // 4. the player; a player no longer registered gives way to the default one
      TReadSubChunk player(stream);
      playerClass_ = RegisteredPlayerClass(stream.ReadString());
      if (playerClass_ == nullptr) playerClass_ = DefaultPlayerClass();
    }
    return true;
  } catch (...) {
    return false;
  }
}

void TSlideShowProperties::DescribeFields(TFieldWriter& fields) const {
  TProperties::DescribeFields(fields);
  fields.Integer("defaultDisplayTime", defaultDisplayTime_);
  fields.Integer("pictureQuality", pictureQuality_);
  fields.Integer("customPictureFilter", customPictureFilter_);
  fields.Integer("preparationFilter", preparationFilter_);
  fields.Integer("endAction", endAction_);
  fields.Boolean("endFlag", endFlag_);
  fields.Integer("reserved2", reserved2_);
  fields.Integer("reserved1", reserved1_);
  fields.Boolean("randomOrder", randomOrder_);
  fields.Boolean("transitionsOff", transitionsOff_);
  std::vector<std::string> switchedOff;
  for (const TMetaClass* transition : switchedOffTransitions_) {
    switchedOff.push_back(transition->ClassName());
  }
  fields.Text("switchedOffTransitions", JoinLines(switchedOff));
  fields.Text("player", playerClass_ != nullptr ? playerClass_->ClassName() : std::string());
}

}  // namespace nimbra
