// How an element that reads files while it draws tells the engine's error counter what went
// wrong: the engine hands its counter over before the element draws and takes it back after. A
// missing or unreadable picture still draws nothing; the counter lets the album say why.
#pragma once

#include <string>
#include <string_view>

#include "framework/Interface.h"

namespace nimbra {

class TErrorCounter;

class IErrorReportingElement : public virtual IInterface {
 public:
  static constexpr std::string_view kIID = "{9659D544-FD6E-4C4D-B337-36D25FF1B0E4}";

  // The counter for the element's next drawing, or none; not owned.
  virtual void SetErrorCounter(TErrorCounter* counter) = 0;
};

// A file that is not there, named as stored: the same message the album gives at start-up.
inline constexpr const char* kFileNotFoundText = "Die Datei \"%s\" kann nicht gefunden werden.";
// A file that is there but no picture reader could decode.
inline constexpr const char* kFileNotReadableText = "Die Datei \"%s\" kann nicht gelesen werden.";

// A picture an effect left out because the effect would have made it larger than any picture may
// be (a shadow or a border metres wide).
inline constexpr const char* kEffectSkippedText =
    "Ein Bildeffekt für \"%s\" wurde ausgelassen: das Bild würde zu groß werden.";

// Adds a warning (number -1) with the text, %s replaced by the name; nothing without a counter.
void ReportFileWarning(TErrorCounter* counter, const char* text, const std::string& name);

}  // namespace nimbra
