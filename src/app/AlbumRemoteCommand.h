// `nimbra --next`, `--previous`, `--pause`, `--resume` and `--quit`: the command goes to a running
// album over the session bus. Without an album named, the one album running is meant (or, run as
// an album program, that album); with several running the user has to say which.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/AlbumControl.h"

namespace nimbra {

// The album of the running ones that `wanted` names: its name (case aside), its program or its
// slideshow file, as given or as a path relative to the current folder. With nothing wanted, the
// only album running. None when no album or several fit; `why` then says so in German.
std::optional<TRunningAlbum> ChooseRunningAlbum(const std::vector<TRunningAlbum>& albums,
                                                const std::string& wanted, std::string& why);

// Sends the command ("Next", …) to the album wanted; messages go to standard error. Yields the
// exit code: 0 done, 1 when no album could be reached.
int RunAlbumRemoteCommand(const std::string& command, const std::string& wanted);

}  // namespace nimbra
