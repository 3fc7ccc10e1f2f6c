// A text stored alone in a sub-chunk of its own, after the fields of the base class: dummy and
// merge objects keep their text this way, so a reader skips whatever a newer writer adds to it.
#pragma once

#include <string>

#include "framework/Properties.h"
#include "storage/CSFStream.h"
#include "storage/FalseOnFailure.h"

namespace nimbra {

inline bool WriteTextSubChunk(TCSFStream& stream, const std::string& text) {
  return FalseOnFailure([&] {
    TWriteSubChunk chunk(stream);
    stream.WriteString(text);
    chunk.End();
    return true;
  });
}

inline bool ReadTextSubChunk(TCSFStream& stream, std::string& text) {
  return FalseOnFailure([&] {
    TReadSubChunk chunk(stream);
    text = stream.ReadString();
    return true;
  });
}

}  // namespace nimbra
