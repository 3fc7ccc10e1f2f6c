// What the document settings need to know of a transition plug-in: whether the random transition
// may pick it. Transition plug-ins implement this, so the settings can find the switched-off ones
// among the registered samples without knowing any transition class.
#pragma once

namespace nimbra {

class ISwitchableTransition {
 public:
  virtual ~ISwitchableTransition() = default;
  virtual bool Enabled() const = 0;
};

}  // namespace nimbra
