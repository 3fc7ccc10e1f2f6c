// Recognising a picture format by the first bytes of its file, so that a photo is read by the
// reader of what it is rather than of what its name says (phones save HEIF pictures as ".jpg",
// and downloads often lose their extension). Formats without a signature of their own (Targa,
// PCX) have no test and are known by their extension alone.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace nimbra {

// How many bytes of a file the tests look at; a shorter file is given as it is.
constexpr size_t kPictureSignatureBytes = 32;

// True when the first bytes of a file are those of the format.
using TPictureSignatureTest = bool (*)(std::span<const uint8_t> head);

bool IsJpegSignature(std::span<const uint8_t> head);
bool IsPngSignature(std::span<const uint8_t> head);
bool IsGifSignature(std::span<const uint8_t> head);
bool IsTiffSignature(std::span<const uint8_t> head);
bool IsBmpSignature(std::span<const uint8_t> head);
bool IsJpeg2000Signature(std::span<const uint8_t> head);
bool IsWebpSignature(std::span<const uint8_t> head);
// HEIF in any of its codings: HEVC (HEIC) and AV1 (AVIF) stills, by the brands of the file-type
// box.
bool IsHeifSignature(std::span<const uint8_t> head);

}  // namespace nimbra
