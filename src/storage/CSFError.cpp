#include "storage/CSFError.h"

namespace nimbra {

std::string CSFErrorText(int code) {
  switch (code) {
    case kCSFNoError: return "kein Fehler";
    case kCSFCannotOpen: return "Datei kann nicht geöffnet werden!";
    case kCSFNotFound: return "Datei kann nicht gefunden werden!";
    case kCSFNoCSFFile: return "Keine CSF-Datei!";
    case kCSFWrongChunkHeader: return "Falscher Chunkheader!";
    case kCSFWrongFileFormat: return "Falsches Dateiformat!";
    case kCSFCannotCreate: return "Datei konnte nicht erstellt werden!";
    case kCSFReadError: return "Fehler beim Lesen der Datei!";
    case kCSFWriteError: return "Fehler beim Schreiben der Datei!";
    default: return "Unbekannter Fehler!";
  }
}

}  // namespace nimbra
