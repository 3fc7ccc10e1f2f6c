#include "slideshow/RandomTransitionPlugin.h"

#include "storage/CSFStream.h"
#include "storage/FalseOnFailure.h"
#include "storage/MemoryStream.h"
#include "storage/StreamErrors.h"

namespace nimbra {

NIMBRA_DEFINE_PLUGIN(TTransitionPlugin, TPlugin)
NIMBRA_DEFINE_PLUGIN(TRandomTransitionPlugin, TTransitionPlugin)

void TTransitionPlugin::Assign(const TPlugin& source) {
  if (const auto* other = dynamic_cast<const TTransitionPlugin*>(&source)) {
    duration_ = other->duration_;
    enabled_ = other->enabled_;
  }
  TPlugin::Assign(source);
}

std::unique_ptr<TTransitionPlugin> TTransitionPlugin::Clone() const {
  std::unique_ptr<TTransitionPlugin> copy = CreateAs<TTransitionPlugin>(ClassType());
  if (copy) copy->Assign(*this);
  return copy;
}

bool TTransitionPlugin::SaveToStream(TCSFStream& stream) const {
  return FalseOnFailure([&] {
    stream.WriteByte(enabled_ ? 1 : 0);
    stream.WriteInteger(duration_);
    return true;
  });
}

bool TTransitionPlugin::LoadFromStream(TCSFStream& stream) {
  return FalseOnFailure([&] {
    enabled_ = stream.ReadByte() != 0;
    duration_ = stream.ReadInteger();
    return true;
  });
}

void WriteTransitionEntry(TCSFStream& stream, const TTransitionPlugin* transition) {
  stream.WriteInteger(transition != nullptr ? 1 : 0);
  if (transition == nullptr) return;
  stream.WriteClassName(transition);
  if (!transition->SaveToStream(stream)) throw EWriteError("transition not written");
}

std::unique_ptr<TTransitionPlugin> ReadTransitionEntry(TCSFStream& stream) {
  if (stream.ReadInteger() != 1) return nullptr;
  const TMetaClass* transitionClass = stream.ReadClass();
  if (transitionClass == nullptr) return nullptr;
  std::unique_ptr<TTransitionPlugin> transition = CreateAs<TTransitionPlugin>(*transitionClass);
  if (transition && !transition->LoadFromStream(stream)) return nullptr;
  return transition;
}

std::string TransitionEntryBytes(const TTransitionPlugin* transition) {
  TMemoryStream bytes;
  {
    TCSFStream stream(bytes, CSFMode::Headerless);
    WriteTransitionEntry(stream, transition);
    stream.Release();
  }
  return bytes.ToString();
}

std::unique_ptr<TTransitionPlugin> TransitionFromEntryBytes(std::string_view bytes) {
  return ResultOnFailure<std::unique_ptr<TTransitionPlugin>>(nullptr, [&] {
    TMemoryStream source(bytes);
    TCSFStream stream(source, CSFMode::HeaderlessRead);
    return ReadTransitionEntry(stream);
  });
}

const std::string& DefaultTransitionEntryBytes() {
  static const std::string bytes = [] {
    const TRandomTransitionPlugin transition;
    return TransitionEntryBytes(&transition);
  }();
  return bytes;
}

}  // namespace nimbra
