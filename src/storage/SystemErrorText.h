// What a failing file operation means, in the German of the album's messages. The system's own
// texts follow the session's language and read like a developer's notes; a user who finds the
// wallpaper unchanged wants to read that the disk is full.
#pragma once

#include <exception>
#include <string>

namespace nimbra {

// The German description of an errno value; the system's text for values without one.
std::string SystemErrorText(int code);

// Why a file could not be written or read: the German description of the system error behind a
// stream error, else the error's own message.
std::string FileErrorReason(const std::exception& error);

}  // namespace nimbra
