// What the object-kind tests share: the kinds registered in a main registry of their own, an
// object's stored bytes written and read outside a document, and the stored layouts of the shared
// bases assembled by hand.
#pragma once

#include <bit>
#include <cstdint>
#include <memory>
#include <string>

#include "WireBytes.h"
#include "framework/Plugins.h"
#include "slideshow/SlideShowObject.h"

namespace nimbra::test {

// A main registry holding the slideshow kinds while it lives; the previous one comes back after.
class TKindsRegistry {
 public:
  TKindsRegistry();
  ~TKindsRegistry();
  TKindsRegistry(const TKindsRegistry&) = delete;
  TKindsRegistry& operator=(const TKindsRegistry&) = delete;

 private:
  std::unique_ptr<TPlugins> previous_;
};

// The object's fields as its WriteToStream writes them, in a headerless stream of the version.
std::string ObjectBytes(const TSlideShowObject& object, int32_t version = kSlideShowFileVersion);

struct TReadOutcome {
  bool Read = false;
  int64_t Unread = 0;  // bytes the reader left behind
};
// Reads the object's fields from the bytes as a document of the version holds them.
TReadOutcome ReadObjectBytes(TSlideShowObject& object, const std::string& bytes,
                             int32_t version = kSlideShowFileVersion);

inline TWireBytes& Double(TWireBytes& bytes, double value) {
  const auto bits = std::bit_cast<uint64_t>(value);
  for (int i = 0; i < 8; ++i) bytes.Byte(static_cast<uint8_t>(bits >> (8 * i)));
  return bytes;
}

inline TWireBytes& Single(TWireBytes& bytes, float value) {
  return bytes.Int(std::bit_cast<int32_t>(value));
}

// The active flag and the playable fields of a new object: default duration, no start time, no
// delay, no keywords, no events.
TWireBytes NewPlayableBytes();
// A new picture base: aspect kept, centred, whole screen, scaled, filled with opaque black, opaque.
TWireBytes NewBitmapBytes();
// A new extended picture base: the picture base, four absent curves and a random transition.
TWireBytes NewExtBitmapBytes();
// A typed font record as the Windows record types store it.
TWireBytes& Font(TWireBytes& bytes, const std::string& name, int32_t size, int32_t colour = 0,
                 uint8_t style = 0);

}  // namespace nimbra::test
