#include "raster/PictureSignatures.h"

#include <algorithm>
#include <cstring>
#include <string_view>

namespace nimbra {

namespace {

bool StartsWith(std::span<const uint8_t> head, std::string_view bytes, size_t at = 0) {
  return head.size() >= at + bytes.size() &&
         std::memcmp(head.data() + at, bytes.data(), bytes.size()) == 0;
}

uint32_t BigEndian32(std::span<const uint8_t> head, size_t at) {
  return uint32_t{head[at]} << 24 | uint32_t{head[at + 1]} << 16 | uint32_t{head[at + 2]} << 8 |
         head[at + 3];
}

// The brands of stills libheif decodes; sequences (hevc, avis) carry one of these as well when
// they hold a still.
bool IsStillBrand(std::span<const uint8_t> brand) {
  for (const std::string_view still : {"heic", "heix", "heim", "heis", "mif1", "avif"}) {
    if (StartsWith(brand, still)) return true;
  }
  return false;
}

}  // namespace

bool IsJpegSignature(std::span<const uint8_t> head) {
  // Only the start-of-image marker: what follows it may be damaged, which the reader reports.
  return StartsWith(head, "\xFF\xD8");
}

bool IsPngSignature(std::span<const uint8_t> head) {
  return StartsWith(head, "\x89PNG\r\n\x1A\n");
}

bool IsGifSignature(std::span<const uint8_t> head) {
  return StartsWith(head, "GIF87a") || StartsWith(head, "GIF89a");
}

bool IsTiffSignature(std::span<const uint8_t> head) {
  return StartsWith(head, std::string_view("II*\0", 4)) ||
         StartsWith(head, std::string_view("MM\0*", 4));
}

bool IsBmpSignature(std::span<const uint8_t> head) {
  return StartsWith(head, "BM");
}

bool IsJpeg2000Signature(std::span<const uint8_t> head) {
  return StartsWith(head, std::string_view("\0\0\0\x0CjP  \r\n\x87\n", 12)) ||
         StartsWith(head, "\xFF\x4F\xFF\x51");
}

bool IsWebpSignature(std::span<const uint8_t> head) {
  return StartsWith(head, "RIFF") && StartsWith(head, "WEBP", 8);
}

bool IsHeifSignature(std::span<const uint8_t> head) {
  // The file-type box comes first: its size, "ftyp", the major brand, a version, then the
  // compatible brands as far as the box and the bytes looked at reach.
  if (!StartsWith(head, "ftyp", 4)) return false;
  const size_t boxEnd = std::min<size_t>(BigEndian32(head, 0), head.size());
  for (size_t at = 8; at + 4 <= boxEnd; at += at == 8 ? 8 : 4) {
    if (IsStillBrand(head.subspan(at, 4))) return true;
  }
  return false;
}

}  // namespace nimbra
