// The program start-up a nimbra-kit command needs: the programs' units up to the documents (or,
// for commands that draw, up to the picture readers), undone in reverse order when the session
// ends.
#pragma once

#include "album/ProgramStartup.h"

namespace nimbra::kit {

class TKitSession : public TProgramStartup {
 public:
  explicit TKitSession(TStartupStage last = TStartupStage::Documents) : TProgramStartup(last) {}
};

}  // namespace nimbra::kit
