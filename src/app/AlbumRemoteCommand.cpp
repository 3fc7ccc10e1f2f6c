#include "app/AlbumRemoteCommand.h"

#include <filesystem>
#include <iostream>
#include <system_error>

#include "storage/TextCase.h"

namespace nimbra {

namespace fs = std::filesystem;

namespace {

bool Names(const TRunningAlbum& album, const std::string& wanted) {
  if (SameText(album.Name, wanted) || album.Source == wanted) return true;
  std::error_code error;
  const fs::path full = fs::absolute(wanted, error).lexically_normal();
  if (!error && album.Source == full.string()) return true;
  const fs::path canonical = fs::weakly_canonical(wanted, error);
  return !error && album.Source == canonical.string();
}

std::string NameList(const std::vector<TRunningAlbum>& albums) {
  std::string list;
  for (const TRunningAlbum& album : albums) {
    if (!list.empty()) list += ", ";
    list += "„" + album.Name + "“";
  }
  return list;
}

}  // namespace

std::optional<TRunningAlbum> ChooseRunningAlbum(const std::vector<TRunningAlbum>& albums,
                                                const std::string& wanted, std::string& why) {
  if (albums.empty()) {
    why = "Es läuft kein Nimbra-Album.";
    return std::nullopt;
  }
  if (wanted.empty()) {
    if (albums.size() == 1) return albums.front();
    why = "Es laufen mehrere Alben: " + NameList(albums) +
          ". Bitte nennen Sie eines, z. B. nimbra --next=" + albums.front().Name;
    return std::nullopt;
  }
  std::vector<TRunningAlbum> fitting;
  for (const TRunningAlbum& album : albums) {
    if (Names(album, wanted)) fitting.push_back(album);
  }
  if (fitting.size() == 1) return fitting.front();
  if (fitting.empty()) {
    why = "Das Album „" + wanted + "“ läuft nicht. Es laufen: " + NameList(albums) + ".";
  } else {
    why = "Mehrere laufende Alben heißen „" + wanted + "“: bitte nennen Sie die Albumdatei.";
  }
  return std::nullopt;
}

int RunAlbumRemoteCommand(const std::string& command, const std::string& wanted) {
  try {
    std::string why;
    const std::optional<TRunningAlbum> album = ChooseRunningAlbum(RunningAlbums(), wanted, why);
    if (!album) {
      std::cerr << "nimbra: " << why << "\n";
      return 1;
    }
    SendAlbumCommand(*album, command);
    return 0;
  } catch (const EAlbumControlError& error) {
    std::cerr << "nimbra: " << error.what() << "\n";
    return 1;
  }
}

}  // namespace nimbra
