// How an element that reads files while it draws tells the engine's error counter what went
// wrong: the engine hands its counter over before the element draws and takes it back after. A
// missing or unreadable picture still draws nothing; the counter lets the album say why.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "framework/Interface.h"

namespace nimbra {

class TErrorCounter;
class TErrorList;

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

// The number of the warnings for pictures that could not be drawn (their file not found or not
// readable): negative as the number of any error known by its text, and told apart from the
// other warnings so that they can be counted.
inline constexpr int32_t kPictureNotDrawnErrorNr = -2;

// Adds a warning with the text, %s replaced by the name; nothing without a counter.
void ReportFileWarning(TErrorCounter* counter, const char* text, const std::string& name,
                       int32_t errorNr = -1);

// "2 Bilder konnten nicht gezeichnet werden: " and the texts of those warnings from index from
// on that have the number kPictureNotDrawnErrorNr, one after the other; empty when there are none.
std::string PicturesNotDrawnMessage(const TErrorList& warnings, int32_t from = 0);

}  // namespace nimbra
