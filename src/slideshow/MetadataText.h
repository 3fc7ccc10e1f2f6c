// Text bytes of picture metadata, whose character set is rarely declared: cameras and tools write
// ASCII, UTF-8 or the Windows code page.
#pragma once

#include <string>
#include <string_view>

namespace nimbra {

// The bytes as UTF-8 when they are valid UTF-8, otherwise read as Windows-1252. Text in the Windows
// code page with letters beyond ASCII is almost never valid UTF-8, so the guess is safe.
std::string MetadataText(std::string_view bytes);

// UTF-16 code units in the given byte order; a lone surrogate becomes U+FFFD and an odd last byte
// is dropped.
std::string Utf16Text(std::string_view bytes, bool bigEndian);

}  // namespace nimbra
