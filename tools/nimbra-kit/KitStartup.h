// The program start-up nimbra-kit needs before it reads documents: application information, the
// framework and every unit's registered classes, undone in reverse order when the session ends.
#pragma once

namespace nimbra::kit {

class TKitSession {
 public:
  TKitSession();
  ~TKitSession();
  TKitSession(const TKitSession&) = delete;
  TKitSession& operator=(const TKitSession&) = delete;
};

}  // namespace nimbra::kit
