// Control of running albums over the user's session bus, so that `nimbra --next` and friends reach
// the album in the tray. Each running album owns the bus name kAlbumBusNamePrefix + its key and
// serves the object kAlbumObjectPath with the interface kAlbumInterface:
//   Next, Previous, Pause, Resume, Quit   no arguments, no result; the album acts after replying
//   Describe → (s name, s source)         the album's name and where it came from
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "storage/NimbraError.h"

namespace nimbra {

inline constexpr std::string_view kAlbumBusNamePrefix = "de.velmora.Nimbra.Album_";
inline constexpr std::string_view kAlbumObjectPath = "/de/velmora/Nimbra/Album";
inline constexpr std::string_view kAlbumInterface = "de.velmora.Nimbra.Album";

// No session bus, or an album that did not answer; the message says which, in German.
class EAlbumControlError : public ENimbraError {
 public:
  using ENimbraError::ENimbraError;
};

// What the album does on each command; run on the thread that started the service.
struct TAlbumControlHandlers {
  std::function<void()> Next, Previous, Pause, Resume, Quit;
};

class TAlbumControlService {
 public:
  TAlbumControlService();
  ~TAlbumControlService();
  TAlbumControlService(const TAlbumControlService&) = delete;
  TAlbumControlService& operator=(const TAlbumControlService&) = delete;

  // Takes the album's bus name and serves the commands until this object goes. Raises
  // EAlbumControlError without a session bus or when another process holds the name.
  void Start(const std::string& key, const std::string& name, const std::string& source,
             TAlbumControlHandlers handlers);

 private:
  class TObject;
  std::unique_ptr<TObject> object_;
  std::string busName_;
};

struct TRunningAlbum {
  std::string BusName;
  std::string Name;
  std::string Source;
};

// The albums running in this session, by name. Raises EAlbumControlError without a session bus.
std::vector<TRunningAlbum> RunningAlbums();
// Sends a command ("Next", "Previous", "Pause", "Resume", "Quit"); raises EAlbumControlError when
// the album does not take it.
void SendAlbumCommand(const TRunningAlbum& album, std::string_view command);

}  // namespace nimbra
