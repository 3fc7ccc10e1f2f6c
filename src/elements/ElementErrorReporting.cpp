#include "elements/ElementErrorReporting.h"

#include <memory>

#include "framework/ErrorCounter.h"

namespace nimbra {

void ReportFileWarning(TErrorCounter* counter, const char* text, const std::string& name) {
  if (counter == nullptr) return;
  std::string message = text;
  const size_t at = message.find("%s");
  if (at != std::string::npos) message.replace(at, 2, name);
  counter->AddWarning(std::make_unique<TError>(std::move(message)));
}

}  // namespace nimbra
