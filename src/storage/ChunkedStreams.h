// One write or read through a chunked stream with the Windows record types over a byte stream:
// documents, projects, objects and bags on their own all go this way.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "storage/CSFStream.h"

namespace nimbra {

// A stream of the mode (Create or Headerless) with the file type and version, handed to write and
// then released, which writes the header; false when write says so or the stream fails.
bool WriteChunked(TStream& base, CSFMode mode, int32_t fileType, int32_t fileVersion,
                  const std::function<bool(TCSFStream&)>& write);
// A headerless stream with the file type and version its readers may consult, handed to read;
// false when read says so or the stream fails.
bool ReadHeaderless(TStream& base, int32_t fileType, int32_t fileVersion,
                    const std::function<bool(TCSFStream&)>& read);

// A chunked file with the Windows record types, written to a temporary name and put in place of
// fileName only when write says so and the header is written; false otherwise, and the old file
// stays.
bool WriteChunkedFile(const std::string& fileName, int32_t fileType, int32_t fileVersion,
                      const std::function<bool(TCSFStream&)>& write);

}  // namespace nimbra
