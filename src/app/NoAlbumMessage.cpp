#include "app/NoAlbumMessage.h"

#include <filesystem>
#include <system_error>

namespace nimbra {

namespace fs = std::filesystem;

namespace {

// Where the install rules put the README, from the folder of the installed programs.
constexpr const char* kReadmeFromProgramFolder = "../share/doc/nimbra/README.md";

std::string InstalledReadme(const std::string& ownExecutable) {
  if (ownExecutable.empty()) return {};
  std::error_code error;
  const fs::path readme =
      (fs::path(ownExecutable).parent_path() / kReadmeFromProgramFolder).lexically_normal();
  return fs::is_regular_file(readme, error) ? readme.string() : std::string();
}

}  // namespace

std::string NoAlbumMessage(const std::string& ownExecutable) {
  std::string text =
      "Nimbra zeigt die Seiten eines Fotoalbums nacheinander als Hintergrundbild des Desktops.\n"
      "\n"
      "Nimbra wurde ohne Album gestartet. So wird aus einem Ordner mit Fotos ein Album:\n"
      "\n"
      "    nimbra-kit album ORDNER --layout vier -o ALBUM\n"
      "\n"
      "Danach startet ./ALBUM das Album. Es zeigt sich als Symbol im Infobereich der "
      "Kontrollleiste; dessen Menü hat die Einstellungen, den Autostart und \"Nimbra beenden\".";
  const std::string readme = InstalledReadme(ownExecutable);
  if (!readme.empty()) text += "\n\nMehr dazu: " + readme;
  return text;
}

}  // namespace nimbra
