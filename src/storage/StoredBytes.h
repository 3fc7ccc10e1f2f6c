// Reading helpers for stored counts and raw byte strings, checked against the frame they sit in
// so a hostile length fails the read instead of allocating or looping on what is not there.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace nimbra {

class TCSFStream;

// A 32-bit count of entries that each take at least minBytesPerEntry; raises ECSFError when it is
// negative or the rest of the innermost frame cannot hold that many.
int32_t ReadCheckedCount(TCSFStream& stream, int64_t minBytesPerEntry);
// Bytes that are no text (picture metadata): a 32-bit length and the bytes as they are, with none
// of the character conversion of strings.
void WriteByteString(TCSFStream& stream, std::string_view bytes);
std::string ReadByteString(TCSFStream& stream);
// Everything from the position to the end of the innermost frame being read.
std::string ReadRemainingBytes(TCSFStream& stream);

}  // namespace nimbra
