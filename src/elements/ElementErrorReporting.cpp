#include "elements/ElementErrorReporting.h"

#include <algorithm>
#include <memory>

#include "framework/ErrorCounter.h"

namespace nimbra {

void ReportFileWarning(TErrorCounter* counter, const char* text, const std::string& name,
                       int32_t errorNr) {
  if (counter == nullptr) return;
  std::string message = text;
  const size_t at = message.find("%s");
  if (at != std::string::npos) message.replace(at, 2, name);
  counter->AddWarning(std::make_unique<TError>(std::move(message), errorNr));
}

std::string PicturesNotDrawnMessage(const TErrorList& warnings, int32_t from) {
  int count = 0;
  std::string texts;
  for (int32_t i = std::max(from, 0); i < warnings.Count(); ++i) {
    const TError& warning = warnings.Items(i);
    if (warning.ErrorNr != kPictureNotDrawnErrorNr) continue;
    ++count;
    texts += " " + warning.Text;
  }
  if (count == 0) return {};
  return count == 1 ? "1 Bild konnte nicht gezeichnet werden:" + texts
                    : std::to_string(count) + " Bilder konnten nicht gezeichnet werden:" + texts;
}

}  // namespace nimbra
