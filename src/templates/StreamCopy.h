// Copies an object the way the system copies every stored object: written with the newest layout
// into a headerless memory stream and read back. A copy that fails keeps what was read so far;
// the callers' Assign has no way to report.
#pragma once

#include "framework/Properties.h"
#include "storage/CSFStreamWinTypes.h"
#include "storage/FalseOnFailure.h"
#include "storage/MemoryStream.h"

namespace nimbra {

template <typename Write, typename Read>
void CopyThroughStream(Write&& write, Read&& read) {
  FalseOnFailure([&] {
    TMemoryStream buffer;
    TCSFStreamWinTypes stream(buffer, CSFMode::Headerless);
    stream.SetFileType(kCopyFileType);
    stream.SetFileVersion(kCopyFileVersion);
    write(stream);
    stream.SetPosition(0);
    read(stream);
    return true;
  });
}

}  // namespace nimbra
