// Transitions as picture objects store them. A transition blends a picture in while its object
// starts; drawing belongs to the player, so here a transition is what it stores (its duration and
// whether the random transition may pick it) plus the stored entry an object keeps of it. The
// random transition, the default of every new picture object, stores nothing beyond that.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "framework/Plugin.h"
#include "slideshow/SwitchableTransition.h"

namespace nimbra {

class TCSFStream;

class TTransitionPlugin : public TPlugin, public ISwitchableTransition {
  NIMBRA_DECLARE_PLUGIN()

 public:
  static std::string ClassCopyright() { return "Copyright © Velmora. Alle Rechte vorbehalten."; }
  static TVersionInfo ClassVersionInfo() { return {"1.0", ""}; }

  int32_t Duration() const { return duration_; }
  void SetDuration(int32_t milliseconds) { duration_ = milliseconds; }
  bool Enabled() const override { return enabled_; }
  virtual void SetEnabled(bool enabled) { enabled_ = enabled; }
  // Empty here; a kind with a settings frame names it.
  virtual std::string PropertyFrameClassName() const { return {}; }
  // Copies the duration and the enabled flag from another transition.
  void Assign(const TPlugin& source) override;
  // A new transition of the same class with the same settings.
  std::unique_ptr<TTransitionPlugin> Clone() const;

  // The transition's own data: the enabled flag as one byte, then the duration. False when the
  // stream fails.
  virtual bool SaveToStream(TCSFStream& stream) const;
  virtual bool LoadFromStream(TCSFStream& stream);

 private:
  int32_t duration_ = 2000;
  bool enabled_ = true;
};

class TRandomTransitionPlugin : public TTransitionPlugin {
  NIMBRA_DECLARE_PLUGIN()

 public:
  static std::string ClassCaption() { return "Zufällige Überblendung"; }
  std::string PropertyFrameClassName() const override { return "TRandomTransitionPropertyFrame"; }
};

// The transition entry an object stores: a 32-bit flag (1 when there is a transition), then the
// transition's class name and its own data.
void WriteTransitionEntry(TCSFStream& stream, const TTransitionPlugin* transition);
// The transition of a stored entry, found by class name in the run-time class registry; none for
// the flag 0 or a class that is not registered. Raises the stream's errors.
std::unique_ptr<TTransitionPlugin> ReadTransitionEntry(TCSFStream& stream);

// The same entry as the bytes of the sub-chunk an object keeps it in.
std::string TransitionEntryBytes(const TTransitionPlugin* transition);
// None also when the bytes cannot be read.
std::unique_ptr<TTransitionPlugin> TransitionFromEntryBytes(std::string_view bytes);
// The entry of a new random transition, which every new picture object starts with.
const std::string& DefaultTransitionEntryBytes();

}  // namespace nimbra
