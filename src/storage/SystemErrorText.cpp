#include "storage/SystemErrorText.h"

#include <cerrno>
#include <cstring>

#include "storage/StreamErrors.h"

namespace nimbra {

std::string SystemErrorText(int code) {
  switch (code) {
    case ENOSPC: return "Auf dem Datenträger ist kein Platz mehr frei";
    case EDQUOT: return "Das Speicherkontingent ist erschöpft";
    case EROFS: return "Der Datenträger ist schreibgeschützt";
    case EACCES:
    case EPERM: return "Der Zugriff wurde verweigert";
    case ENOENT: return "Der Ordner oder die Datei fehlt";
    case ENOTDIR: return "Ein Teil des Pfades ist kein Ordner";
    case EISDIR: return "Der Name gehört zu einem Ordner";
    case EFBIG: return "Die Datei wird zu groß";
    case ENAMETOOLONG: return "Der Name ist zu lang";
    case EIO: return "Der Datenträger meldet einen Ein-/Ausgabefehler";
    default: return std::strerror(code);
  }
}

std::string FileErrorReason(const std::exception& error) {
  const auto* stream = dynamic_cast<const EStreamError*>(&error);
  if (stream != nullptr && stream->SystemCode() != 0) return SystemErrorText(stream->SystemCode());
  return error.what();
}

}  // namespace nimbra
